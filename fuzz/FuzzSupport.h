// Small helpers shared by the fuzz targets: a byte reader over the fuzzer's input, a private
// temporary folder, and a check that aborts (so libFuzzer records the input) when it fails.
#pragma once

#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace velora::fuzzing {

// Takes the input apart front to back; reads past the end give zeros and empty text.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    uint8_t byte() {
        if (rest_.empty()) return 0;
        const auto b = static_cast<uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    // Text up to the next NUL byte (which is consumed), or the rest.
    std::string_view piece() {
        const size_t nul = rest_.find('\0');
        const std::string_view text = rest_.substr(0, nul);
        rest_.remove_prefix(nul == std::string_view::npos ? rest_.size() : nul + 1);
        return text;
    }
    std::string_view rest() const { return rest_; }
    bool empty() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

// Closes a client socket whose peer has already closed, with a reset instead of the usual
// TIME_WAIT: a fuzzer opens tens of thousands of connections a minute, and as many ports left in
// TIME_WAIT would use up the local ports, so that connecting fails.
inline void closeWithoutTimeWait(int fd) {
    const linger abort{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::close(fd);
}

inline void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "check failed: %s\n", what);
        std::abort();
    }
}

// A folder in memory where the system offers one (the store syncs every write to disk, which
// would dominate the fuzzers' time), else under the temporary directory; removed when it goes.
struct TempFolder {
    TempFolder() {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "velora-fuzz-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeFile(const std::filesystem::path& file, std::string_view text) {
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(text.data(), text.size());
}

}  // namespace velora::fuzzing
