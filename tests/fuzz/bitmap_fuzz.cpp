// libFuzzer target for the BMP decoder behind LoadImageA: any input must either
// decode to a consistent picture or be refused with a reason, never crash or
// touch memory it does not own.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/bmp_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedBmp decoded;
    std::string error;
    if (!DecodeBmp(data, size, decoded, error)) {
        if (error.empty() || !decoded.pixels.empty()) {
            std::abort();
        }
        return 0;
    }
    if (decoded.width < 1 || decoded.height < 1 || decoded.width > BMP_MAX_SIDE ||
        decoded.height > BMP_MAX_SIDE ||
        decoded.pixels.size() != static_cast<size_t>(decoded.width) * decoded.height) {
        std::abort();
    }
    // Reading every pixel lets the address checker vouch for the whole buffer;
    // the unused top byte must always be clear.
    DWORD seen = 0;
    for (DWORD pixel : decoded.pixels) {
        seen |= pixel;
    }
    if ((seen & 0xFF000000) != 0) {
        std::abort();
    }
    return 0;
}
