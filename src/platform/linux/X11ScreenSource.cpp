#include "platform/linux/X11ScreenSource.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>
#include <X11/extensions/Xrandr.h>
#include <libyuv/planar_functions.h>
#include <libyuv/scale_argb.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <span>
#include <string_view>
#include <utility>

namespace velora::linux_ {

namespace {

// Xlib hands protocol errors to one process-wide handler. A capture connection expects some (a
// grab racing a resolution change, a refused shared-memory attach): they are counted for that
// connection and otherwise ignored. Errors on any other connection go to the earlier handler.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display_(display) {
        static std::once_flag installed;
        std::call_once(installed,
                       [] { registry().previous = XSetErrorHandler(&ErrorTrap::handle); });
        std::lock_guard lock(registry().mutex);
        registry().errors[display_] = 0;
    }
    ~ErrorTrap() {
        std::lock_guard lock(registry().mutex);
        registry().errors.erase(display_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Errors received so far; call after a round trip so that the server's answers are in.
    int errors() const {
        std::lock_guard lock(registry().mutex);
        return registry().errors[display_];
    }

private:
    struct Registry {
        std::mutex mutex;
        std::map<Display*, int> errors;
        XErrorHandler previous = nullptr;
    };
    static Registry& registry() {
        static Registry instance;
        return instance;
    }
    static int handle(Display* display, XErrorEvent* event) {
        XErrorHandler previous = nullptr;
        {
            std::lock_guard lock(registry().mutex);
            auto found = registry().errors.find(display);
            if (found != registry().errors.end()) {
                ++found->second;
                return 0;
            }
            previous = registry().previous;
        }
        return previous ? previous(display, event) : 0;
    }

    Display* display_;
};

struct Area {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Area&) const = default;
};

// The primary RandR monitor (else the first), within the root window; the whole root without
// RandR 1.5 monitors.
Area mainArea(Display* display, Window root) {
    Window ignored;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, root, &ignored, &x, &y, &width, &height, &border, &depth)) return {};
    const Area whole{0, 0, static_cast<int>(width), static_cast<int>(height)};

    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
        !XRRQueryVersion(display, &major, &minor) || major * 100 + minor < 105)
        return whole;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    if (!monitors) return whole;
    Area area = whole;
    if (count > 0) {
        const XRRMonitorInfo* chosen = std::find_if(
            monitors, monitors + count, [](const XRRMonitorInfo& m) { return m.primary; });
        if (chosen == monitors + count) chosen = monitors;
        const int left = std::max(chosen->x, 0), top = std::max(chosen->y, 0);
        const int right = std::min(chosen->x + chosen->width, whole.width);
        const int bottom = std::min(chosen->y + chosen->height, whole.height);
        area = {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
    }
    XRRFreeMonitors(monitors);
    return area;
}

// The scaler reads B, G, R, X bytes: 32-bit little-endian pixels with 8-bit channels. Screens
// of other depths (16 bits, say) cannot be captured.
bool scalerReads(const XImage& image, const Visual& visual) {
    return image.bits_per_pixel == 32 && image.byte_order == LSBFirst &&
           visual.red_mask == 0xFF0000 && visual.green_mask == 0xFF00 && visual.blue_mask == 0xFF;
}

// Blends a premultiplied ARGB pixel over a BGRA one.
void blend(uint8_t* dst, unsigned long argb) {
    const unsigned alpha = (argb >> 24) & 0xFF;
    for (int c = 0; c < 3; ++c) {
        const unsigned src = (argb >> (8 * c)) & 0xFF;
        dst[c] = static_cast<uint8_t>(std::min(255u, src + dst[c] * (255 - alpha) / 255));
    }
}

class X11ScreenSource final : public ScreenSource {
public:
    explicit X11ScreenSource(Display* display);
    ~X11ScreenSource() override;
    X11ScreenSource(const X11ScreenSource&) = delete;
    X11ScreenSource& operator=(const X11ScreenSource&) = delete;

    PixelSize pixelSize() override;
    std::optional<Image> capture(PixelSize size) override;
    const Image* captureInPlace(PixelSize size, std::vector<PictureRows>& changed) override;
    bool unchangedSinceLastCapture() override;

private:
    bool refresh(PixelSize size, std::vector<PictureRows>& changed);
    std::vector<Area> takeDamage();
    bool prepare(const Area& area);
    bool attachShared(const Area& area);
    void release();
    bool grab(const Area& part);
    PictureRows scale(const Area& part);
    void erasePointer(std::vector<PictureRows>& changed);
    void drawPointer(std::vector<PictureRows>& changed);
    void drainEvents();

    Display* display_;
    ErrorTrap trap_;
    Window root_;
    Visual* visual_;
    int depth_;
    bool shmUsable_ = false;
    int damageEvent_ = 0;
    Damage damage_ = 0;
    int fixesEvent_ = 0;
    bool fixes_ = false;
    // Receives the damaged area at each capture, so only that part is grabbed and scaled again.
    XserverRegion damageParts_ = 0;

    std::optional<Area> area_;
    // The grabbed area at full size: a shared segment (with as much again for partial grabs
    // behind it) or client memory.
    Area grabbed_;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    bool shared_ = false;
    // The grabbed area scaled to the frame size, the pointer drawn in, and what the pointer
    // covers (frame coordinates, packed rows) for taking it out again before the next update.
    Image picture_;
    Area pointerArea_;
    std::vector<uint8_t> underPointer_;
    // The two pictures above show the screen as of the last capture, apart from its damage.
    bool current_ = false;

    // What the last capture showed, for telling whether anything changed since.
    bool captured_ = false;
    bool damaged_ = true;
    int pointerX_ = 0;
    int pointerY_ = 0;
};

X11ScreenSource::X11ScreenSource(Display* display)
    : display_(display),
      trap_(display),
      root_(DefaultRootWindow(display)),
      visual_(DefaultVisual(display, DefaultScreen(display))),
      depth_(DefaultDepth(display, DefaultScreen(display))) {
    // Shared memory only works with a server on this machine.
    const std::string_view name = DisplayString(display_);
    shmUsable_ =
        XShmQueryExtension(display_) && (name.starts_with(':') || name.starts_with("unix:"));
    int errorBase = 0, major = 0, minor = 0;
    if (XDamageQueryExtension(display_, &damageEvent_, &errorBase))
        damage_ = XDamageCreate(display_, root_, XDamageReportNonEmpty);
    fixes_ = XFixesQueryExtension(display_, &fixesEvent_, &errorBase) &&
             XFixesQueryVersion(display_, &major, &minor) && major >= 2;
    if (fixes_) {
        XFixesSelectCursorInput(display_, root_, XFixesDisplayCursorNotifyMask);
        if (damage_) damageParts_ = XFixesCreateRegion(display_, nullptr, 0);
    }
}

X11ScreenSource::~X11ScreenSource() {
    release();
    if (damageParts_) XFixesDestroyRegion(display_, damageParts_);
    if (damage_) XDamageDestroy(display_, damage_);
    XCloseDisplay(display_);
}

PixelSize X11ScreenSource::pixelSize() {
    area_ = mainArea(display_, root_);
    return {area_->width, area_->height};
}

std::optional<Image> X11ScreenSource::capture(PixelSize size) {
    std::vector<PictureRows> changed;
    const Image* picture = captureInPlace(size, changed);
    if (!picture) return std::nullopt;
    return *picture;
}

const Image* X11ScreenSource::captureInPlace(PixelSize size, std::vector<PictureRows>& changed) {
    changed.clear();
    if (size.width <= 0 || size.height <= 0) return nullptr;
    captured_ = false;
    erasePointer(changed);
    if (!refresh(size, changed)) {
        // Most likely the screen changed size under the grab: look again next time.
        current_ = false;
        area_.reset();
        return nullptr;
    }
    drawPointer(changed);
    captured_ = true;
    // In order and merged, so that no row is compared twice.
    std::sort(changed.begin(), changed.end(),
              [](const PictureRows& a, const PictureRows& b) { return a.begin < b.begin; });
    size_t merged = 0;
    for (const PictureRows& rows : changed) {
        if (merged > 0 && rows.begin <= changed[merged - 1].end) {
            changed[merged - 1].end = std::max(changed[merged - 1].end, rows.end);
        } else {
            changed[merged++] = rows;
        }
    }
    changed.resize(merged);
    return &picture_;
}

// Brings the grabbed and the scaled picture up to date: only the damaged parts when they are
// known, else all of it. Adds the frame rows that were scaled again to `changed`.
bool X11ScreenSource::refresh(PixelSize size, std::vector<PictureRows>& changed) {
    // Whatever is drawn from here on shows up in the next answer of unchangedSinceLastCapture().
    drainEvents();
    if (!area_) area_ = mainArea(display_, root_);
    const std::vector<Area> parts = takeDamage();
    damaged_ = false;

    if (current_ && damageParts_ && grabbed_ == *area_ &&
        PixelSize{picture_.width, picture_.height} == size) {
        for (const Area& part : parts) {
            if (!grab(part)) return false;
            changed.push_back(scale(part));
        }
        return true;
    }
    current_ = false;
    if (!(image_ && grabbed_ == *area_) && !prepare(*area_)) return false;
    const Area whole{0, 0, grabbed_.width, grabbed_.height};
    if (!grab(whole)) return false;
    picture_.width = size.width;
    picture_.height = size.height;
    picture_.pixels.assign(static_cast<size_t>(size.width) * size.height * 4, 0);
    scale(whole);
    changed.assign(1, {0, size.height});
    current_ = true;
    return true;
}

// The area drawn on since the last call, in grabbed-area coordinates; the damage is cleared.
std::vector<Area> X11ScreenSource::takeDamage() {
    std::vector<Area> parts;
    if (!damageParts_) return parts;
    XDamageSubtract(display_, damage_, None, damageParts_);
    int count = 0;
    XRectangle bounds;
    XRectangle* rects = XFixesFetchRegionAndBounds(display_, damageParts_, &count, &bounds);
    if (!rects || !area_) return parts;
    // Many small pieces cost a round trip each; their bounding box costs one.
    constexpr int kMostPieces = 16;
    const std::span<const XRectangle> pieces =
        count > kMostPieces ? std::span<const XRectangle>(&bounds, 1)
                            : std::span<const XRectangle>(rects, static_cast<size_t>(count));
    for (const XRectangle& r : pieces) {
        const Area area = *area_;
        const int left = std::max<int>(r.x, area.x), top = std::max<int>(r.y, area.y);
        const int right = std::min(r.x + r.width, area.x + area.width);
        const int bottom = std::min(r.y + r.height, area.y + area.height);
        if (right > left && bottom > top)
            parts.push_back({left - area.x, top - area.y, right - left, bottom - top});
    }
    XFree(rects);
    return parts;
}

bool X11ScreenSource::unchangedSinceLastCapture() {
    if (!captured_ || !damage_) return false;
    // The pointer query is a round trip: every event the server sent before it has arrived.
    Window rootReturn, child;
    int x = 0, y = 0, winX = 0, winY = 0;
    unsigned mask = 0;
    XQueryPointer(display_, root_, &rootReturn, &child, &x, &y, &winX, &winY, &mask);
    drainEvents();
    return !damaged_ && (!fixes_ || (x == pointerX_ && y == pointerY_));
}

void X11ScreenSource::drainEvents() {
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == damageEvent_ + XDamageNotify ||
            (fixes_ && event.type == fixesEvent_ + XFixesCursorNotify))
            damaged_ = true;
    }
}

// Sets up a reused grab buffer for `area`: a shared segment where possible, else client memory.
bool X11ScreenSource::prepare(const Area& area) {
    release();
    if (area.width <= 0 || area.height <= 0) return false;
    if (!(shmUsable_ && attachShared(area))) {
        image_ = XCreateImage(display_, visual_, depth_, ZPixmap, 0, nullptr, area.width,
                              area.height, 32, 0);
        if (image_) {
            image_->data = static_cast<char*>(
                std::malloc(static_cast<size_t>(image_->bytes_per_line) * area.height));
        }
        if (!image_ || !image_->data) {
            release();
            return false;
        }
    }
    if (!scalerReads(*image_, *visual_)) {
        release();
        return false;
    }
    grabbed_ = area;
    return true;
}

bool X11ScreenSource::attachShared(const Area& area) {
    image_ = XShmCreateImage(display_, visual_, depth_, ZPixmap, nullptr, &shm_, area.width,
                             area.height);
    if (!image_) return false;
    // Twice the picture: the second half receives partial grabs.
    const size_t bytes = static_cast<size_t>(image_->bytes_per_line) * area.height;
    shm_.shmid = shmget(IPC_PRIVATE, 2 * bytes, IPC_CREAT | 0600);
    if (shm_.shmid < 0) {
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
    }
    shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
    shm_.readOnly = False;
    const int before = trap_.errors();
    const bool attached = shm_.shmaddr != reinterpret_cast<char*>(-1) &&
                          XShmAttach(display_, &shm_) && (XSync(display_, False), true) &&
                          trap_.errors() == before;
    // Marked for removal at once, so the segment goes away with the last attachment.
    shmctl(shm_.shmid, IPC_RMID, nullptr);
    if (!attached) {
        if (shm_.shmaddr != reinterpret_cast<char*>(-1)) shmdt(shm_.shmaddr);
        image_->data = nullptr;
        XDestroyImage(image_);
        image_ = nullptr;
        shmUsable_ = false;
        return false;
    }
    shared_ = true;
    return true;
}

void X11ScreenSource::release() {
    current_ = false;
    if (!image_) return;
    if (shared_) {
        XShmDetach(display_, &shm_);
        XSync(display_, False);
        shmdt(shm_.shmaddr);
        image_->data = nullptr;
        shared_ = false;
    }
    XDestroyImage(image_);
    image_ = nullptr;
}

// Grabs `part` of the area (area coordinates) into the full-size picture.
bool X11ScreenSource::grab(const Area& part) {
    const int x = grabbed_.x + part.x, y = grabbed_.y + part.y;
    if (!shared_) {
        return XGetSubImage(display_, root_, x, y, part.width, part.height, AllPlanes, ZPixmap,
                            image_, part.x, part.y) != nullptr;
    }
    if (part == Area{0, 0, grabbed_.width, grabbed_.height})
        return XShmGetImage(display_, root_, image_, x, y, AllPlanes);
    // The server writes a part packed, row after row. Whole rows land in place; a narrower part
    // goes to the spare half and is copied in place. A part at least half as wide as the area
    // costs less as whole rows: the server's copy of the rest is shorter than the placing copy.
    const bool wholeRows = 2 * part.width >= grabbed_.width;
    char* const at =
        wholeRows ? image_->data + static_cast<size_t>(image_->bytes_per_line) * part.y
                  : image_->data + static_cast<size_t>(image_->bytes_per_line) * grabbed_.height;
    XImage* piece = XShmCreateImage(display_, visual_, depth_, ZPixmap, at, &shm_,
                                    wholeRows ? grabbed_.width : part.width, part.height);
    if (!piece) return false;
    const bool ok = XShmGetImage(display_, root_, piece, wholeRows ? grabbed_.x : x, y, AllPlanes);
    if (ok && !wholeRows) {
        libyuv::ARGBCopy(reinterpret_cast<const uint8_t*>(piece->data), piece->bytes_per_line,
                         reinterpret_cast<uint8_t*>(image_->data) +
                             static_cast<size_t>(part.y) * image_->bytes_per_line + part.x * 4,
                         image_->bytes_per_line, part.width, part.height);
    }
    piece->data = nullptr;
    XDestroyImage(piece);
    return ok;
}

// Scales the frame pixels that `part` of the area (area coordinates) contributes to; returns
// their rows.
PictureRows X11ScreenSource::scale(const Area& part) {
    const auto* source = reinterpret_cast<const uint8_t*>(image_->data);
    const int width = picture_.width, height = picture_.height;
    const double sx = static_cast<double>(width) / grabbed_.width;
    const double sy = static_cast<double>(height) / grabbed_.height;
    // A filter tap reaches one source pixel beyond its footprint; two frame pixels of margin
    // cover it at any reduction. The scaler works through a row in vector chunks from the clip's
    // left edge and finishes a row's odd end with plain code that rounds differently: columns
    // aligned to the chunks compute every pixel as a whole-picture scale does.
    constexpr int kChunk = 16;
    const int left = std::max(0, static_cast<int>(std::floor(part.x * sx)) - 2) / kChunk * kChunk;
    const int top = std::max(0, static_cast<int>(std::floor(part.y * sy)) - 2);
    const int right =
        std::min(width, (static_cast<int>(std::ceil((part.x + part.width) * sx)) + 2 + kChunk - 1) /
                            kChunk * kChunk);
    const int bottom =
        std::min(height, static_cast<int>(std::ceil((part.y + part.height) * sy)) + 2);
    libyuv::ARGBScaleClip(source, image_->bytes_per_line, grabbed_.width, grabbed_.height,
                          picture_.pixels.data(), width * 4, width, height, left, top, right - left,
                          bottom - top, libyuv::kFilterBox);
    return {top, bottom};
}

// Puts back what the pointer drawn at the last capture covered.
void X11ScreenSource::erasePointer(std::vector<PictureRows>& changed) {
    const Area area = std::exchange(pointerArea_, Area{});
    if (area.width <= 0 || area.height <= 0) return;
    const size_t pitch = static_cast<size_t>(area.width) * 4;
    for (int y = 0; y < area.height; ++y) {
        std::memcpy(picture_.pixels.data() +
                        (static_cast<size_t>(area.y + y) * picture_.width + area.x) * 4,
                    underPointer_.data() + y * pitch, pitch);
    }
    changed.push_back({area.y, area.y + area.height});
}

// Draws the pointer at its place in the scaled picture, itself scaled alike, after keeping what
// it covers.
void X11ScreenSource::drawPointer(std::vector<PictureRows>& changed) {
    if (!fixes_) return;
    XFixesCursorImage* cursor = XFixesGetCursorImage(display_);
    if (!cursor) return;
    pointerX_ = cursor->x;
    pointerY_ = cursor->y;
    const double sx = static_cast<double>(picture_.width) / grabbed_.width;
    const double sy = static_cast<double>(picture_.height) / grabbed_.height;
    const int left = static_cast<int>(std::floor((cursor->x - cursor->xhot - grabbed_.x) * sx));
    const int top = static_cast<int>(std::floor((cursor->y - cursor->yhot - grabbed_.y) * sy));
    const int width = std::max(1, static_cast<int>(std::lround(cursor->width * sx)));
    const int height = std::max(1, static_cast<int>(std::lround(cursor->height * sy)));
    const int x0 = std::max(0, left), x1 = std::min(picture_.width, left + width);
    const int y0 = std::max(0, top), y1 = std::min(picture_.height, top + height);
    if (x1 > x0 && y1 > y0) {
        pointerArea_ = {x0, y0, x1 - x0, y1 - y0};
        const size_t pitch = static_cast<size_t>(pointerArea_.width) * 4;
        underPointer_.resize(pitch * pointerArea_.height);
        for (int y = y0; y < y1; ++y) {
            uint8_t* out = picture_.pixels.data() + static_cast<size_t>(y) * picture_.width * 4;
            std::memcpy(underPointer_.data() + (y - y0) * pitch, out + x0 * 4, pitch);
            const unsigned long* row =
                cursor->pixels + ((y - top) * cursor->height / height) * cursor->width;
            for (int x = x0; x < x1; ++x) {
                const unsigned long argb = row[(x - left) * cursor->width / width];
                if (argb >> 24) blend(out + static_cast<size_t>(x) * 4, argb);
            }
        }
        changed.push_back({y0, y1});
    }
    XFree(cursor);
}

}  // namespace

std::unique_ptr<ScreenSource> makeX11ScreenSource(const char* display) {
    Display* connection = XOpenDisplay(display);
    if (!connection) return nullptr;
    return std::make_unique<X11ScreenSource>(connection);
}

bool x11ScreenCapturable(const char* display) {
    Display* connection = XOpenDisplay(display);
    if (!connection) return false;
    bool capturable = false;
    {
        ErrorTrap trap(connection);
        XImage* pixel =
            XGetImage(connection, DefaultRootWindow(connection), 0, 0, 1, 1, AllPlanes, ZPixmap);
        // A screen whose pixels the scaler cannot read would only ever give empty views.
        capturable = pixel != nullptr &&
                     scalerReads(*pixel, *DefaultVisual(connection, DefaultScreen(connection)));
        if (pixel) XDestroyImage(pixel);
    }
    XCloseDisplay(connection);
    return capturable;
}

}  // namespace velora::linux_
