// The map-picture packer: every pixel is read from the bitmap and packed from
// its 8-bit red, green and blue values by the channel widths of the target
// format, dropping low bits (no rounding, no dithering). Alpha and filler bits
// are written as 0.

#include "search/map_surface.h"

#include <cstring>

#include "platform/gdi.h"

namespace {

struct ChannelWidths {
    D3DFORMAT format;
    UINT red, green, blue, alpha, unused;
};

constexpr ChannelWidths FORMAT_WIDTHS[] = {
    {D3DFMT_R8G8B8, 8, 8, 8, 0, 0},   {D3DFMT_A8R8G8B8, 8, 8, 8, 8, 0},
    {D3DFMT_X8R8G8B8, 8, 8, 8, 0, 8}, {D3DFMT_R5G6B5, 5, 6, 5, 0, 0},
    {D3DFMT_X1R5G5B5, 5, 5, 5, 0, 1}, {D3DFMT_A1R5G5B5, 5, 5, 5, 1, 0},
    {D3DFMT_A4R4G4B4, 4, 4, 4, 4, 0}, {D3DFMT_R3G3B2, 3, 3, 2, 0, 0},
    {D3DFMT_A8, 0, 0, 0, 8, 0},       {D3DFMT_A8R3G3B2, 3, 3, 2, 8, 0},
    {D3DFMT_X4R4G4B4, 4, 4, 4, 0, 4},
};

ChannelWidths WidthsOf(D3DFORMAT format) {
    for (const ChannelWidths& widths : FORMAT_WIDTHS) {
        if (widths.format == format) {
            return widths;
        }
    }
    return {format, 0, 0, 0, 0, 0};
}

// The shifts that pack a GDI colour value into a surface pixel, worked out
// once per surface.
struct PixelPacking {
    UINT redRight, greenRight, blueRight;
    UINT redLeft, greenLeft;
};

// Reads every pixel of the bitmap selected into the device context and writes
// it packed into the locked surface. BYTES, the pixel size, is a constant here
// so that each pixel's copy is a plain store rather than a call.
template <UINT BYTES>
void PackPixels(HDC deviceContext, const BITMAP& bmp, const D3DLOCKED_RECT& lockrect,
                const PixelPacking& packing) {
    auto* pBits = static_cast<BYTE*>(lockrect.pBits);
    for (LONG y = 0; y < bmp.bmHeight; y++) {
        BYTE* row = pBits + static_cast<size_t>(y) * lockrect.Pitch;
        for (LONG x = 0; x < bmp.bmWidth; x++) {
            COLORREF colour = GetPixel(deviceContext, x, y);
            // A channel of width 0 shifts right by 8 and so contributes nothing.
            DWORD red = ((colour & 0xFF) >> packing.redRight) << packing.redLeft;
            DWORD green = (((colour >> 8) & 0xFF) >> packing.greenRight) << packing.greenLeft;
            DWORD blue = ((colour >> 16) & 0xFF) >> packing.blueRight;
            DWORD dwColor = red | green | blue;
            // The lowest bytes first: the machine is little endian like the surface.
            std::memcpy(row + static_cast<size_t>(x) * BYTES, &dwColor, BYTES);
        }
    }
}

} // namespace

UINT FormatRedBits(D3DFORMAT format) {
    return WidthsOf(format).red;
}
UINT FormatGreenBits(D3DFORMAT format) {
    return WidthsOf(format).green;
}
UINT FormatBlueBits(D3DFORMAT format) {
    return WidthsOf(format).blue;
}
UINT FormatAlphaBits(D3DFORMAT format) {
    return WidthsOf(format).alpha;
}
UINT FormatUnusedBits(D3DFORMAT format) {
    return WidthsOf(format).unused;
}

IDirect3DSurface8* LoadImageSurface(IDirect3DDevice8* device, const char* fileName,
                                    D3DFORMAT format) {
    if (device == nullptr) {
        return nullptr;
    }
    HDC deviceContext = CreateCompatibleDC(nullptr);
    HBITMAP bitmap =
        static_cast<HBITMAP>(LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    BITMAP bmp{};
    IDirect3DSurface8* pSurface = nullptr;
    // Without a bitmap there is no size to make a surface from.
    if (bitmap != nullptr && GetObjectA(bitmap, 24, &bmp) > 0) {
        HGDIOBJ previous = SelectObject(deviceContext, bitmap);
        if (FAILED(device->CreateImageSurface(static_cast<UINT>(bmp.bmWidth),
                                              static_cast<UINT>(bmp.bmHeight), format,
                                              &pSurface))) {
            pSurface = nullptr;
        }

        // The shifts and the pixel size are the same for every pixel.
        const UINT redBits = FormatRedBits(format);
        const UINT greenBits = FormatGreenBits(format);
        const UINT blueBits = FormatBlueBits(format);
        const PixelPacking packing{8 - redBits, 8 - greenBits, 8 - blueBits, greenBits + blueBits,
                                   blueBits};
        const UINT bytesPerPixel =
            (FormatUnusedBits(format) + FormatAlphaBits(format) + redBits + greenBits + blueBits) /
            8;

        D3DLOCKED_RECT lockrect{};
        if (pSurface != nullptr && SUCCEEDED(pSurface->LockRect(&lockrect, nullptr, 0))) {
            // A format outside the table has no bytes per pixel: every pixel is
            // still read, and nothing is written.
            switch (bytesPerPixel) {
            case 1:
                PackPixels<1>(deviceContext, bmp, lockrect, packing);
                break;
            case 2:
                PackPixels<2>(deviceContext, bmp, lockrect, packing);
                break;
            case 3:
                PackPixels<3>(deviceContext, bmp, lockrect, packing);
                break;
            case 4:
                PackPixels<4>(deviceContext, bmp, lockrect, packing);
                break;
            default:
                PackPixels<0>(deviceContext, bmp, lockrect, packing);
                break;
            }
            pSurface->UnlockRect();
        }
        SelectObject(deviceContext, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(deviceContext);
    return pSurface;
}
