#include "platform/d3d_formats.h"

bool GetFormatLayout(D3DFORMAT format, D3DFormatLayout* layout) {
    switch (format) {
    case D3DFMT_R8G8B8:
        *layout = {0, 8, 8, 8, 0, 3};
        return true;
    case D3DFMT_A8R8G8B8:
        *layout = {8, 8, 8, 8, 0, 4};
        return true;
    case D3DFMT_X8R8G8B8:
        *layout = {0, 8, 8, 8, 8, 4};
        return true;
    case D3DFMT_R5G6B5:
        *layout = {0, 5, 6, 5, 0, 2};
        return true;
    case D3DFMT_X1R5G5B5:
        *layout = {0, 5, 5, 5, 1, 2};
        return true;
    case D3DFMT_A1R5G5B5:
        *layout = {1, 5, 5, 5, 0, 2};
        return true;
    case D3DFMT_A4R4G4B4:
        *layout = {4, 4, 4, 4, 0, 2};
        return true;
    case D3DFMT_R3G3B2:
        *layout = {0, 3, 3, 2, 0, 1};
        return true;
    case D3DFMT_A8:
        *layout = {8, 0, 0, 0, 0, 1};
        return true;
    case D3DFMT_A8R3G3B2:
        *layout = {8, 3, 3, 2, 0, 2};
        return true;
    case D3DFMT_X4R4G4B4:
        *layout = {0, 4, 4, 4, 4, 2};
        return true;
    case D3DFMT_L8:
        // A luminance byte: stored like a one-byte colour, decoded as grey.
        *layout = {0, 0, 0, 0, 8, 1};
        return true;
    default:
        return false;
    }
}

static uint32_t Expand(uint32_t value, UINT bits) {
    if (bits == 0) {
        return 0;
    }
    uint32_t max = (1u << bits) - 1;
    return (value * 255 + max / 2) / max;
}

uint32_t DecodePixel(D3DFORMAT format, const BYTE* pixel) {
    D3DFormatLayout layout{};
    if (!GetFormatLayout(format, &layout)) {
        return 0;
    }
    uint32_t packed = 0;
    for (UINT i = 0; i < layout.bytesPerPixel; ++i) {
        packed |= static_cast<uint32_t>(pixel[i]) << (8 * i);
    }
    if (format == D3DFMT_L8) {
        return 0xFF000000u | packed * 0x010101u;
    }
    uint32_t blue = packed & ((1u << layout.blue) - 1);
    uint32_t green = (packed >> layout.blue) & ((1u << layout.green) - 1);
    uint32_t red = (packed >> (layout.blue + layout.green)) & ((1u << layout.red) - 1);
    uint32_t alpha = layout.alpha == 0
                         ? 255
                         : Expand((packed >> (layout.blue + layout.green + layout.red)) &
                                      ((1u << layout.alpha) - 1),
                                  layout.alpha);
    return (alpha << 24) | (Expand(red, layout.red) << 16) | (Expand(green, layout.green) << 8) |
           Expand(blue, layout.blue);
}
