#pragma once
// The pixel formats the device knows: their channel widths and sizes, and the
// decoding of a stored pixel to 0xAARRGGBB for texture sampling.

#include <cstdint>

#include "platform/direct3d.h"

// Channel widths in bits; within a pixel the channels lie, from the most
// significant end, as alpha or X, red, green, blue.
struct D3DFormatLayout {
    UINT alpha;
    UINT red;
    UINT green;
    UINT blue;
    UINT unused;
    UINT bytesPerPixel;
};

// The layout of a colour format the device can store, or false for any other.
bool GetFormatLayout(D3DFORMAT format, D3DFormatLayout* layout);

// One stored pixel as 0xAARRGGBB. Channels the format lacks read 0, a missing
// alpha reads 255; an n-bit channel v becomes round(v x 255 / (2^n - 1)).
uint32_t DecodePixel(D3DFORMAT format, const BYTE* pixel);
