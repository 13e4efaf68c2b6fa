// Reads QR codes out of a grey picture with zbar, an implementation of its own, so that a test
// finds out whether a phone's camera could read what Velora draws. zbar does not try inverted
// pictures unless asked, so a code drawn light on dark does not read.
#pragma once

#include <zbar.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velora::testing_support {

// One byte per pixel, 0 black and 255 white, rows packed. A light border makes a quiet zone.
struct GreyPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

inline std::vector<std::string> readQrCodes(const GreyPicture& picture) {
    // zbar.h puts its C interface in this namespace when compiled as C++.
    using namespace zbar;
    zbar_image_scanner_t* scanner = zbar_image_scanner_create();
    zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
    zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
    zbar_image_t* image = zbar_image_create();
    zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(image, static_cast<unsigned>(picture.width),
                        static_cast<unsigned>(picture.height));
    zbar_image_set_data(image, picture.pixels.data(), picture.pixels.size(), nullptr);
    std::vector<std::string> found;
    if (zbar_scan_image(scanner, image) > 0) {
        for (const zbar_symbol_t* s = zbar_image_first_symbol(image); s; s = zbar_symbol_next(s))
            found.emplace_back(zbar_symbol_get_data(s), zbar_symbol_get_data_length(s));
    }
    zbar_image_destroy(image);
    zbar_image_scanner_destroy(scanner);
    return found;
}

}  // namespace velora::testing_support
