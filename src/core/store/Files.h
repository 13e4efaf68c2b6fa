// Whole-file reads and crash-safe whole-file writes for the settings, the log and the autostart
// entry. POSIX calls only, so the same code serves Linux and the macOS profile.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velora::files {

// The whole content of `file`, or none when it cannot be read. `missing` (when given) tells
// whether the failure was that the file does not exist.
std::optional<std::string> readWhole(const std::filesystem::path& file, bool* missing = nullptr);

// Replaces `file` with `bytes` so that a crash leaves either the old or the new content: a
// temporary file in the same folder with `mode`, synced, renamed over `file`, then the folder
// synced. The temporary file is removed on failure. True when the new content is in place.
bool writeAtomically(const std::filesystem::path& file, std::string_view bytes, mode_t mode);

// Writes all of `bytes` to an open descriptor, retrying short writes. True on success.
bool writeAll(int fd, std::string_view bytes);

// Creates `folder` with `mode` (its parents with the default mode) unless it exists. True when it
// is a folder afterwards.
bool makeFolder(const std::filesystem::path& folder, mode_t mode);

}  // namespace velora::files
