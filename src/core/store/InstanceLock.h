// One Velora per user: an exclusive lock on "velora.lock" in the settings folder, held for the
// life of the object. The holder writes its process id into the file, so that a second start can
// name the instance that runs.
#pragma once

#include <sys/types.h>

#include <filesystem>

namespace velora {

class InstanceLock {
public:
    // Takes the lock, creating the folder and the file as needed. Where the file cannot be made
    // at all (a read-only disk, say) the lock counts as held: nothing is there to guard.
    explicit InstanceLock(const std::filesystem::path& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool held() const { return held_; }
    // The process id of the instance that holds the lock, when this one could not take it; 0 when
    // it has not written its id yet.
    pid_t holder() const { return holder_; }
    // Where the running tray shell listens for "show your status".
    std::filesystem::path statusSocket() const { return folder_ / "velora.sock"; }

private:
    std::filesystem::path folder_;
    int fd_ = -1;
    bool held_ = false;
    pid_t holder_ = 0;
};

}  // namespace velora
