#include "core/screen/JpegEncoder.h"

// jpeglib.h expects size_t and FILE to be declared before it.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstring>

namespace velora {

namespace {

// Pixels per side of an MCU with 4:2:0 subsampling.
constexpr int kBlockSize = 16;

// Blocks per segment for a row of `blocks`: an even share of the row, so that restart markers
// fall on row ends too. Short segments would cost more marker bytes than they save work.
int segmentBlocksFor(int blocks) {
    constexpr int kMost = 10, kLeast = 4;
    for (int size = std::min(kMost, blocks); size >= kLeast; --size)
        if (blocks % size == 0) return size;
    return blocks;
}

bool wellFormed(const Image& image) {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() == static_cast<size_t>(image.width) * image.height * 4;
}

}  // namespace

// The libjpeg objects. A library error jumps back to the encoding call instead of ending the
// process; the compressed bytes go to a growable buffer kept across frames.
struct JpegEncoder::Codec {
    jpeg_compress_struct compress{};
    struct Errors : jpeg_error_mgr {
        std::jmp_buf jump;
    } errors;
    struct Destination : jpeg_destination_mgr {
        std::vector<uint8_t> bytes;
    } destination;
    std::vector<JSAMPROW> rows;

    Codec() {
        compress.err = jpeg_std_error(&errors);
        errors.error_exit = [](j_common_ptr info) {
            std::longjmp(static_cast<Errors*>(info->err)->jump, 1);
        };
        errors.output_message = [](j_common_ptr) {};
        jpeg_create_compress(&compress);
        destination.init_destination = [](j_compress_ptr info) {
            auto* d = static_cast<Destination*>(info->dest);
            d->bytes.resize(std::max<size_t>(d->bytes.capacity(), 1 << 16));
            d->next_output_byte = d->bytes.data();
            d->free_in_buffer = d->bytes.size();
        };
        destination.empty_output_buffer = [](j_compress_ptr info) -> boolean {
            auto* d = static_cast<Destination*>(info->dest);
            const size_t used = d->bytes.size();
            d->bytes.resize(used * 2);
            d->next_output_byte = d->bytes.data() + used;
            d->free_in_buffer = d->bytes.size() - used;
            return TRUE;
        };
        destination.term_destination = [](j_compress_ptr info) {
            auto* d = static_cast<Destination*>(info->dest);
            d->bytes.resize(d->bytes.size() - d->free_in_buffer);
        };
        compress.dest = &destination;
    }
    ~Codec() { jpeg_destroy_compress(&compress); }
};

JpegEncoder::JpegEncoder() : codec_(std::make_unique<Codec>()) {}

JpegEncoder::~JpegEncoder() = default;

std::optional<std::span<const uint8_t>> JpegEncoder::encode(const Image& image,
                                                            int qualityPercent) {
    cachedSize_.reset();
    return encodeChanged(image, qualityPercent, std::span<const Box>{});
}

std::optional<std::span<const uint8_t>> JpegEncoder::encodeChanged(const Image& image,
                                                                   int qualityPercent,
                                                                   std::span<const Box> changed) {
    if (!wellFormed(image)) return std::nullopt;
    const int quality = std::clamp(qualityPercent, 1, 100);
    const int blockRows = (image.height + kBlockSize - 1) / kBlockSize;
    const bool reuse =
        cachedSize_ == PixelSize{image.width, image.height} && cachedQuality_ == quality;
    cachedSize_.reset();
    if (!reuse) {
        segmentBlocks_ = segmentBlocksFor((image.width + kBlockSize - 1) / kBlockSize);
        columns_ = (image.width + kBlockSize - 1) / kBlockSize / segmentBlocks_;
        segments_.resize(static_cast<size_t>(blockRows) * columns_);
        if (!encodeSegments(image, 0, blockRows, 0, columns_, quality) ||
            !splitSegments(0, blockRows, 0, columns_, true))
            return std::nullopt;
    } else {
        // Per block row, the segments [first, end) that a change touches.
        std::vector<std::pair<int, int>> dirty(blockRows, {columns_, 0});
        const int segmentWidth = segmentBlocks_ * kBlockSize;
        for (const Box& box : changed) {
            const int top = std::clamp(box.top, 0, image.height);
            const int bottom = std::clamp(box.bottom, 0, image.height);
            const int left = std::clamp(box.left, 0, image.width);
            const int right = std::clamp(box.right, 0, image.width);
            if (top >= bottom || left >= right) continue;
            for (int row = top / kBlockSize; row < (bottom + kBlockSize - 1) / kBlockSize; ++row) {
                dirty[row].first = std::min(dirty[row].first, left / segmentWidth);
                dirty[row].second =
                    std::max(dirty[row].second, (right + segmentWidth - 1) / segmentWidth);
            }
        }
        // Runs of touched block rows are compressed together, over all the segments they touch.
        const auto touched = [&](int row) { return dirty[row].first < dirty[row].second; };
        for (int first = 0; first < blockRows;) {
            if (!touched(first)) {
                ++first;
                continue;
            }
            int end = first, firstColumn = columns_, endColumn = 0;
            for (; end < blockRows && touched(end); ++end) {
                firstColumn = std::min(firstColumn, dirty[end].first);
                endColumn = std::max(endColumn, dirty[end].second);
            }
            if (!encodeSegments(image, first, end, firstColumn, endColumn, quality) ||
                !splitSegments(first, end, firstColumn, endColumn, false))
                return std::nullopt;
            first = end;
        }
    }
    cachedSize_ = PixelSize{image.width, image.height};
    cachedQuality_ = quality;
    assemble();
    return std::span<const uint8_t>(file_);
}

// Compresses the segments [firstColumn, endColumn) of block rows [firstRow, endRow) as a
// picture of their own, with a restart marker after each segment.
bool JpegEncoder::encodeSegments(const Image& image, int firstRow, int endRow, int firstColumn,
                                 int endColumn, int quality) {
    Codec& c = *codec_;
    const int top = firstRow * kBlockSize;
    const int height = std::min(image.height, endRow * kBlockSize) - top;
    const int left = firstColumn * segmentBlocks_ * kBlockSize;
    const int width = std::min(image.width, endColumn * segmentBlocks_ * kBlockSize) - left;
    const size_t pitch = static_cast<size_t>(image.width) * 4;
    c.rows.resize(height);
    for (int y = 0; y < height; ++y)
        c.rows[y] = const_cast<JSAMPROW>(image.pixels.data() + (top + y) * pitch + left * 4);

    if (setjmp(c.errors.jump)) {
        jpeg_abort_compress(&c.compress);
        return false;
    }
    c.compress.image_width = static_cast<JDIMENSION>(width);
    c.compress.image_height = static_cast<JDIMENSION>(height);
    c.compress.input_components = 4;
    // The pad byte of each pixel is ignored: screen pictures carry no transparency.
    c.compress.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&c.compress);
    jpeg_set_quality(&c.compress, quality, TRUE);
    c.compress.comp_info[0].h_samp_factor = 2;
    c.compress.comp_info[0].v_samp_factor = 2;
    c.compress.restart_interval = static_cast<unsigned>(segmentBlocks_);
    jpeg_start_compress(&c.compress, TRUE);
    while (c.compress.next_scanline < c.compress.image_height) {
        jpeg_write_scanlines(&c.compress, c.rows.data() + c.compress.next_scanline,
                             c.compress.image_height - c.compress.next_scanline);
    }
    jpeg_finish_compress(&c.compress);
    return true;
}

// Cuts the last compressed picture into its segments' bytes, stored as the segments
// [firstColumn, endColumn) of block rows [firstRow, endRow).
bool JpegEncoder::splitSegments(int firstRow, int endRow, int firstColumn, int endColumn,
                                bool keepHeader) {
    const std::vector<uint8_t>& bytes = codec_->destination.bytes;
    // Marker segments up to and including the start of scan.
    size_t at = 2;
    while (true) {
        if (at + 4 > bytes.size() || bytes[at] != 0xFF) return false;
        const uint8_t marker = bytes[at + 1];
        at += 2 + (bytes[at + 2] << 8 | bytes[at + 3]);
        if (marker == 0xDA) break;
    }
    if (keepHeader) header_.assign(bytes.begin(), bytes.begin() + at);
    // Entropy-coded data: 0xFF 0x00 is a stuffed byte; restart markers separate the segments.
    const int width = endColumn - firstColumn;
    const int count = (endRow - firstRow) * width;
    int segment = 0;
    size_t start = at;
    while (at + 1 < bytes.size()) {
        const uint8_t* found = static_cast<const uint8_t*>(
            std::memchr(bytes.data() + at, 0xFF, bytes.size() - 1 - at));
        if (!found) return false;
        at = found - bytes.data();
        const uint8_t next = bytes[at + 1];
        if (next == 0x00) {
            at += 2;
            continue;
        }
        const bool restart = next >= 0xD0 && next <= 0xD7;
        if (!restart && next != 0xD9) return false;
        if (segment >= count) return false;
        const size_t index = static_cast<size_t>(firstRow + segment / width) * columns_ +
                             firstColumn + segment % width;
        segments_[index].assign(bytes.begin() + start, bytes.begin() + at);
        ++segment;
        at += 2;
        start = at;
        if (!restart) break;
    }
    return segment == count;
}

void JpegEncoder::assemble() {
    file_.assign(header_.begin(), header_.end());
    for (size_t row = 0; row < segments_.size(); ++row) {
        file_.insert(file_.end(), segments_[row].begin(), segments_[row].end());
        const bool last = row + 1 == segments_.size();
        file_.push_back(0xFF);
        file_.push_back(last ? 0xD9 : static_cast<uint8_t>(0xD0 + row % 8));
    }
}

}  // namespace velora
