#include "platform/sim/RecordingMacPoster.h"

namespace velora::sim {

void RecordingMacPoster::post(const macos::CGEventRecord& event) {
    using namespace macos;
    switch (event.type) {
        case kCGEventMouseMoved:
        case kCGEventLeftMouseDragged:
        case kCGEventRightMouseDragged:
        case kCGEventOtherMouseDragged:
            pointer = event.location;
            break;
        default:
            break;
    }
    posted.push_back(event);
}

}  // namespace velora::sim
