// The first line of a connection: a screen request or a greeting. The request's width and
// quality go through the streamer's limits and frame-size arithmetic for a display whose size
// also comes from the input.
#include <algorithm>

#include "FuzzSupport.h"
#include "core/net/Protocol.h"
#include "core/screen/ScreenStreamer.h"

using namespace velora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::Reader in(data, size);
    const int displayWidth = (in.byte() << 8 | in.byte()) - 1024;
    const int displayHeight = (in.byte() << 8 | in.byte()) - 1024;
    const std::string_view line = in.rest();

    const ScreenRequest request = parseScreenRequest(line, "Phone");
    fuzzing::check(!request.token.empty() && request.token.find(' ') == std::string::npos,
                   "screen token is one word");
    const int maxW = static_cast<int>(std::clamp<int64_t>(request.width, 320, 1920));
    const PixelSize frame = ScreenStreamer::frameSize({displayWidth, displayHeight}, maxW);
    if (frame.width != 0 || frame.height != 0) {
        fuzzing::check(frame.width > 0 && frame.width <= maxW && frame.width <= displayWidth,
                       "frame width within the display and the request");
        // A display without height (or a negative one) gives frames of no rows.
        fuzzing::check(frame.height >= 0 && frame.height <= std::max(displayHeight, 0),
                       "frame height within the display");
    }

    const Greeting greeting = parseGreeting(line);
    fuzzing::check(!greeting.token.empty() && !greeting.version.empty(),
                   "greeting token and version are never empty");
    return 0;
}
