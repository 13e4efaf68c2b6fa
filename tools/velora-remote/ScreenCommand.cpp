#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Commands.h"
#include "Control.h"
#include "ExitCode.h"
#include "JpegInfo.h"

namespace remote {
namespace {

// A frame longer than this is a broken stream, not a picture.
constexpr uint32_t kMaxFrame = 64u * 1024 * 1024;

struct ViewStats {
    int64_t frames = 0;
    int64_t keepAlives = 0;
    int64_t bytes = 0;
    std::optional<JpegSize> size;
    Clock::time_point start = Clock::now();
    Clock::time_point lastFrame = start;  // when the last picture (or the header) came

    // The rate over the whole view, so that a still screen shows as the trickle it is.
    void print() const {
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        double rate = seconds > 0 ? static_cast<double>(frames) / seconds : 0.0;
        std::string shape =
            size ? std::to_string(size->width) + "x" + std::to_string(size->height) : "?";
        std::printf("frames %lld (%s), %.1f fps, %lld bytes, keep-alives %lld\n",
                    static_cast<long long>(frames), shape.c_str(), rate,
                    static_cast<long long>(bytes), static_cast<long long>(keepAlives));
        std::fflush(stdout);
    }
};

uint32_t bigEndian32(const std::string& b) {
    auto at = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(b[i])); };
    return at(0) << 24 | at(1) << 16 | at(2) << 8 | at(3);
}

bool writeFrame(const std::filesystem::path& dir, int64_t number, const std::string& jpeg) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05lld.jpg", static_cast<long long>(number));
    std::ofstream out(dir / name, std::ios::binary);
    out.write(jpeg.data(), static_cast<std::streamsize>(jpeg.size()));
    return static_cast<bool>(out);
}

// Reads the answer to the screen request: kOk once the "SCREEN W H" header is printed.
int readHeader(Connection& conn, const Settings& settings) {
    auto header = conn.readLine(deadlineAfter(replyTimeout(settings)));
    if (header.status != ReadStatus::ok) return readFailure(header, "a screen header");
    if (!header.data.starts_with("SCREEN ")) return refusal(header.data);
    std::printf("%s\n", printable(header.data).c_str());
    std::fflush(stdout);
    return kOk;
}

// Receives frames until enough pictures came. A still screen sends only keep-alives, so
// --timeout without a picture ends the view too; so does silence when nothing is acknowledged.
int receiveFrames(Connection& conn, const Settings& settings, ViewStats& stats) {
    const auto patience = std::chrono::duration_cast<Clock::duration>(replyTimeout(settings));
    while (stats.frames < settings.frames) {
        const auto deadline = deadlineAfter(replyTimeout(settings));
        auto length = conn.readBytes(4, deadline);
        if (length.status == ReadStatus::timeout && settings.noAck) return kOk;
        if (length.status != ReadStatus::ok) return readFailure(length, "the next frame");
        uint32_t size = bigEndian32(length.data);
        if (size > kMaxFrame) return fail(kFailure, "frame length " + std::to_string(size));
        auto payload = conn.readBytes(size, deadline);
        if (payload.status != ReadStatus::ok) return readFailure(payload, "the rest of a frame");
        if (!settings.noAck && !conn.sendLine("A")) {
            return fail(kClosed, "the computer closed the connection");
        }
        if (size == 0) {
            ++stats.keepAlives;
            if (Clock::now() - stats.lastFrame >= patience) return kOk;
            continue;
        }
        ++stats.frames;
        stats.bytes += size;
        stats.lastFrame = Clock::now();
        if (!stats.size) stats.size = jpegSize(payload.data);
        if (settings.outDir && !writeFrame(*settings.outDir, stats.frames, payload.data)) {
            return fail(kFailure, "cannot write a frame into " + *settings.outDir);
        }
    }
    return kOk;
}

}  // namespace

int runScreen(const Settings& settings) {
    const std::string& host = settings.operands[0];
    if (settings.outDir) {
        std::error_code ec;
        std::filesystem::create_directories(*settings.outDir, ec);
        if (ec) return fail(kFailure, "cannot create " + *settings.outDir + ": " + ec.message());
    }
    int code = kOk;
    auto token = tokenFor(settings, host, code);
    if (!token) return code;
    auto conn = connectControl(settings, host);
    if (!conn) return kUnreachable;
    std::string request = "SCREEN " + *token + " " + std::to_string(settings.width) + " " +
                          std::to_string(settings.quality) + " " + wireName(settings.name);
    if (!conn->sendLine(request)) return fail(kClosed, "the computer closed the connection");
    if (int header = readHeader(*conn, settings); header != kOk) return header;
    ViewStats stats;
    code = receiveFrames(*conn, settings, stats);
    stats.print();
    return code;
}

}  // namespace remote
