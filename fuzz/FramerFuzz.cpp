// The session's line framer: however the bytes are cut into reads, the same lines come out, and
// every line is non-empty, free of LF, trimmed and valid UTF-8.
#include <limits>

#include "FuzzSupport.h"
#include "common/Utf8.h"
#include "core/Text.h"
#include "core/net/Protocol.h"

using namespace velora;

namespace {

std::vector<std::string> drain(LineFramer& framer) {
    std::vector<std::string> lines;
    while (auto line = framer.next()) lines.push_back(std::move(*line));
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::Reader in(data, size);
    const uint8_t cut = in.byte();
    const size_t limit = 1 + in.byte() * 4;
    const std::string_view bytes = in.rest();

    LineFramer whole(std::numeric_limits<size_t>::max());
    whole.append(bytes);
    const std::vector<std::string> expected = drain(whole);
    for (const std::string& line : expected) {
        fuzzing::check(!line.empty(), "empty line");
        fuzzing::check(line.find('\n') == std::string::npos, "LF inside a line");
        fuzzing::check(utf8::sanitize(line) == line, "line is not valid UTF-8");
        fuzzing::check(text::trimWhitespaceAndNewlines(line) == line, "line not trimmed");
    }

    // The same bytes in reads of 1 to 256 bytes, with the limit high and then low.
    const size_t step = 1 + cut;
    LineFramer pieces(std::numeric_limits<size_t>::max());
    LineFramer limited(limit);
    std::vector<std::string> got, gotLimited;
    bool overflow = false;
    for (size_t at = 0; at < bytes.size(); at += step) {
        const std::string_view chunk = bytes.substr(at, step);
        pieces.append(chunk);
        for (auto& line : drain(pieces)) got.push_back(std::move(line));
        if (!overflow) {
            limited.append(chunk);
            for (auto& line : drain(limited)) gotLimited.push_back(std::move(line));
            overflow = limited.overflowed();
        }
    }
    fuzzing::check(got == expected, "lines depend on how the bytes were read");
    fuzzing::check(gotLimited.size() <= expected.size() &&
                       std::equal(gotLimited.begin(), gotLimited.end(), expected.begin()),
                   "a limited framer gave other lines");
    return 0;
}
