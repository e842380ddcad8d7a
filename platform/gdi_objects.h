#pragma once
// Inside the graphics stand-in: the objects behind the handles and the table
// that maps handles to them. Shared by the bitmap and font pieces only.

#include <memory>
#include <vector>

#include "platform/gdi.h"

// Pixels held in the display's format, 0x00RRGGBB, one DWORD each.
struct GdiBitmap {
    LONG width = 0;
    LONG height = 0;
    // DIB sections asked for with a positive height keep their rows bottom-up.
    bool bottomUp = false;
    bool isSection = false;
    std::vector<DWORD> pixels;

    bool Contains(LONG x, LONG y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Row y counted from the top; y must be inside the bitmap.
    DWORD* Row(LONG y) {
        LONG stored = bottomUp ? height - 1 - y : y;
        return pixels.data() + static_cast<size_t>(stored) * static_cast<size_t>(width);
    }
};

// Defined by the font piece; the table only keeps fonts alive.
struct GdiFont;

struct GdiDeviceContext {
    HGDIOBJ bitmap = nullptr; // always a bitmap handle, the empty stand-in at first
    HGDIOBJ font = nullptr;   // always a font handle, the empty stand-in at first
    COLORREF textColor = 0x00000000;
    COLORREF backgroundColor = 0x00FFFFFF;
    UINT textAlign = TA_TOP;
    int mapMode = MM_TEXT;
};

// Adds an object to the table and returns its new handle.
HGDIOBJ AddGdiBitmap(std::unique_ptr<GdiBitmap> bitmap);
HGDIOBJ AddGdiFont(std::shared_ptr<GdiFont> font);

// The live object behind a handle, or null when the handle is unknown, stale or
// of another kind. The empty stand-ins selected into a new context are a
// 0 x 0 bitmap and a font with no face (null GdiFont).
GdiBitmap* FindGdiBitmap(HGDIOBJ handle);
GdiFont* FindGdiFont(HGDIOBJ handle);
GdiDeviceContext* FindGdiDeviceContext(HDC dc);
// The bitmap selected into a context, or null when the context is unknown.
// The pixel reader calls it hundreds of thousands of times per map load with
// one context, so it remembers its last answer until an object is added,
// deleted or selected.
GdiBitmap* FindSelectedBitmap(HDC dc);
