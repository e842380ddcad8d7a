// The glyph atlas: GDI draws characters 32 to 126 white on black into a DIB
// section, packed left to right in rows, and the blue channel of every pixel
// becomes the 4-bit coverage of a white A4R4G4B4 texel.

#include <cstdint>

#include "platform/gdi.h"
#include "render/text_font.h"

namespace {

// Atlas side for a font height in points: big fonts need room for 95 glyphs.
UINT AtlasSideForPoints(UINT pointSize) {
    if (pointSize > 40) {
        return 1024;
    }
    if (pointSize > 20) {
        return 512;
    }
    return 256;
}

// A white texel whose alpha is the coverage held in the blue byte of a DIB
// pixel; no coverage gives a fully empty texel.
uint16_t CoverageTexel(DWORD dibPixel) {
    const uint16_t alpha = static_cast<uint16_t>((dibPixel & 0xFF) >> 4);
    return alpha != 0 ? static_cast<uint16_t>((alpha << 12) | 0x0FFF) : 0;
}

} // namespace

HRESULT TextFont::CreateGlyphAtlas(IDirect3DDevice8* device) {
    if (device == nullptr) {
        return AtlasResult = E_FAIL;
    }
    Device = device;
    AtlasScale = 1.0f;
    if (GlyphTexture != nullptr) {
        GlyphTexture->Release();
        GlyphTexture = nullptr;
    }

    // A device that cannot hold the chosen size gets the largest atlas it
    // can, and the glyphs are drawn smaller into it and stretched on screen.
    AtlasWidth = AtlasSideForPoints(PointSize);
    AtlasHeight = AtlasWidth;
    D3DCAPS8 d3dCaps{};
    Device->GetDeviceCaps(&d3dCaps);
    if (AtlasWidth > d3dCaps.MaxTextureWidth) {
        AtlasScale = static_cast<float>(d3dCaps.MaxTextureWidth) / static_cast<float>(AtlasWidth);
        AtlasWidth = d3dCaps.MaxTextureWidth;
        AtlasHeight = d3dCaps.MaxTextureWidth;
    }

    HRESULT hr = Device->CreateTexture(AtlasWidth, AtlasHeight, 1, 0, D3DFMT_A4R4G4B4,
                                       D3DPOOL_MANAGED, &GlyphTexture);
    if (FAILED(hr)) {
        GlyphTexture = nullptr;
        return AtlasResult = hr;
    }

    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = static_cast<LONG>(AtlasWidth);
    bmi.bmiHeader.biHeight = -static_cast<LONG>(AtlasHeight); // rows top-down
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;

    HDC hDC = CreateCompatibleDC(nullptr);
    void* pBits = nullptr;
    HBITMAP hbmBitmap = CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    const DWORD* pBitmapBits = static_cast<const DWORD*>(pBits);
    // Without pixels there is nothing to draw into or to read back.
    if (hbmBitmap == nullptr || pBitmapBits == nullptr) {
        DeleteDC(hDC);
        return AtlasResult = E_FAIL;
    }
    SetMapMode(hDC, MM_TEXT);

    // The font's pixel height at the atlas scale: 8 points at 96 pixels per
    // inch is an 11-pixel em.
    const int logPixelsY =
        static_cast<int>(static_cast<float>(GetDeviceCaps(hDC, LOGPIXELSY)) * AtlasScale);
    const int pixelHeight = -MulDiv(static_cast<int>(PointSize), logPixelsY, 72);
    HFONT hFont = CreateFontA(pixelHeight, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              VARIABLE_PITCH, FaceName);
    if (hFont == nullptr) {
        DeleteObject(hbmBitmap);
        DeleteDC(hDC);
        return AtlasResult = E_FAIL;
    }

    SelectObject(hDC, hbmBitmap);
    SelectObject(hDC, hFont);
    SetTextColor(hDC, RGB(255, 255, 255));
    SetBkColor(hDC, 0);
    SetTextAlign(hDC, TA_TOP);

    // Cells left to right, one texel of background between neighbours and
    // between rows.
    UINT x = 0;
    UINT y = 0;
    for (UINT c = FIRST_GLYPH; c < FIRST_GLYPH + GLYPH_COUNT - 1; c++) {
        const char str[2] = {static_cast<char>(c), 0};
        SIZE size{0, 0};
        GetTextExtentPoint32A(hDC, str, 1, &size);
        const UINT cx = static_cast<UINT>(size.cx);
        const UINT cy = static_cast<UINT>(size.cy);
        if (x + cx + 1 > AtlasWidth) {
            x = 0;
            y += cy + 1;
        }
        ExtTextOutA(hDC, static_cast<int>(x), static_cast<int>(y), ETO_OPAQUE, nullptr, str, 1,
                    nullptr);
        float* rect = GlyphRects[c - FIRST_GLYPH];
        rect[0] = static_cast<float>(x) / static_cast<float>(AtlasWidth);
        rect[1] = static_cast<float>(y) / static_cast<float>(AtlasHeight);
        rect[2] = static_cast<float>(x + cx) / static_cast<float>(AtlasWidth);
        rect[3] = static_cast<float>(y + cy) / static_cast<float>(AtlasHeight);
        x += cx + 1;
    }

    D3DLOCKED_RECT d3dlr{};
    hr = GlyphTexture->LockRect(0, &d3dlr, nullptr, 0);
    if (SUCCEEDED(hr)) {
        BYTE* pDstRow = static_cast<BYTE*>(d3dlr.pBits);
        for (UINT row = 0; row < AtlasHeight; row++) {
            uint16_t* pDst16 = reinterpret_cast<uint16_t*>(pDstRow);
            for (UINT column = 0; column < AtlasWidth; column++) {
                pDst16[column] = CoverageTexel(pBitmapBits[AtlasWidth * row + column]);
            }
            pDstRow += d3dlr.Pitch;
        }
        GlyphTexture->UnlockRect(0);
    }

    DeleteObject(hbmBitmap);
    DeleteDC(hDC);
    DeleteObject(hFont);
    return AtlasResult = hr;
}
