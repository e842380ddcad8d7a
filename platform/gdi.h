#pragma once
// Our stand-in for the platform's graphics device interface: memory device
// contexts, bitmaps read from BMP files, 32-bit DIB sections, and anti-aliased
// text drawn into them. Only the calls the program makes exist.
//
// Handles come from one table that never reuses a value, so a stale handle, or
// a handle of another kind than a call expects, is refused instead of used.
// Like the rest of the program, the table is meant for one thread.

#include "platform/win_types.h"

// A colour 0x00BBGGRR; red is the lowest byte.
constexpr COLORREF RGB(BYTE red, BYTE green, BYTE blue) {
    return static_cast<COLORREF>(red) | (static_cast<COLORREF>(green) << 8) |
           (static_cast<COLORREF>(blue) << 16);
}

// GetPixel's answer for a point outside the bitmap, or a device context with
// no bitmap selected. No colour has its top byte set, so it never reads as 0.
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
// The failure value of the calls that return a previous setting.
constexpr UINT GDI_ERROR = 0xFFFFFFFF;

// ---- Device contexts and objects ----

// A new memory device context. It starts with no bitmap (GetPixel gives
// CLR_INVALID) and no usable font; the stand-ins it holds are what
// SelectObject hands back the first time. The argument is ignored.
HDC CreateCompatibleDC(HDC reference);
BOOL DeleteDC(HDC dc);

// Selects a bitmap or a font into the device context and returns the object of
// that kind selected before, or null for an unknown, stale or foreign handle.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

// Frees a bitmap or font. An object still selected into a device context is
// taken out of it first (the context falls back to its empty stand-in), so no
// context is ever left holding a freed object.
BOOL DeleteObject(HGDIOBJ object);

struct BITMAP {
    LONG bmType;       // always 0
    LONG bmWidth;      // pixels
    LONG bmHeight;     // pixels, positive
    LONG bmWidthBytes; // bytes from one row to the next
    WORD bmPlanes;     // always 1
    WORD bmBitsPixel;  // always 32
    LPVOID bmBits;     // the pixels of a DIB section; null for a loaded bitmap
};

// Copies the bitmap's BITMAP record into buffer: at most size bytes and at most
// sizeof(BITMAP), so a caller asking for the first 24 bytes gets the width,
// height, row bytes, planes and bits per pixel. Returns the bytes copied;
// sizeof(BITMAP) with a null buffer; 0 for anything but a bitmap.
int GetObjectA(HGDIOBJ object, int size, LPVOID buffer);

// ---- Bitmaps ----

constexpr UINT IMAGE_BITMAP = 0;
constexpr UINT LR_LOADFROMFILE = 0x0010;

// Reads a BMP file (1, 4, 8, 16, 24 or 32 bits per pixel, palettes, bit-field
// masks, RLE4 and RLE8, rows bottom-up or top-down) at its own size into a
// bitmap held in the display's 32-bit colour format. Only type IMAGE_BITMAP
// with LR_LOADFROMFILE, width and height 0 and no instance is supported.
// Returns the bitmap handle, or null for a missing, truncated, corrupt or
// absurdly large file.
HGDIOBJ LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);

// Why the last LoadImageA of this thread gave null, in a few words ("" after a
// successful load). Our own addition, for the map loader's message.
const char* GetLastImageLoadError();

// The colour of one pixel of the bitmap selected into the device context, as
// 0x00BBGGRR; CLR_INVALID outside the bitmap or with no bitmap selected.
COLORREF GetPixel(HDC dc, int x, int y);

constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // negative: rows top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

// A bitmap whose pixels the caller reads directly: 32 bits per pixel, BI_RGB,
// one plane, DIB_RGB_COLORS, no section handle. Each pixel is 0x00RRGGBB, blue
// in the lowest byte; rows are top-down when biHeight is negative. The pixels
// start out black. *bits receives their address, or null when the request is
// refused (then the result is null too).
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD offset);

// ---- Device settings ----

constexpr int MM_TEXT = 1;
// Only MM_TEXT (one logical unit per pixel, y downwards) exists; returns the
// previous mode, or 0 when refused.
int SetMapMode(HDC dc, int mode);

constexpr int LOGPIXELSY = 90;
// LOGPIXELSY is 96 logical pixels per inch; any other index gives 0.
int GetDeviceCaps(HDC dc, int index);

// number * numerator / denominator worked out in 64 bits and rounded to the
// nearest integer, halves away from zero; -1 when denominator is 0 or the
// result does not fit in an int.
int MulDiv(int number, int numerator, int denominator);

// ---- Fonts and text ----

constexpr DWORD DEFAULT_CHARSET = 1;
constexpr DWORD OUT_DEFAULT_PRECIS = 0;
constexpr DWORD CLIP_DEFAULT_PRECIS = 0;
constexpr DWORD ANTIALIASED_QUALITY = 4;
constexpr DWORD VARIABLE_PITCH = 2;

// A font found by face name through fontconfig; an unknown name gets
// fontconfig's best match. A negative height is the em height in pixels, a
// positive one the cell height (ascent + descent), 0 a 12-pixel em; sizes
// beyond 1024 pixels are drawn at a 1024-pixel em. Weight (400 normal, 700
// bold) and italic choose the style; glyphs are always anti-aliased, and the
// width, angles, underline, strike-out, character set, precision and pitch
// arguments are accepted and ignored. Null only when no face at all can be
// had.
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName);

// Colours text is drawn with; each returns the previous colour, or CLR_INVALID
// for a bad device context. A new context draws black text on white.
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetBkColor(HDC dc, COLORREF colour);

constexpr UINT TA_TOP = 0;
constexpr UINT TA_LEFT = 0;
// Only top-left alignment (the reference point is the top-left corner of the
// text's cell) exists; returns the previous alignment, or GDI_ERROR when
// refused.
UINT SetTextAlign(HDC dc, UINT align);

// cx: the sum of the characters' advance widths; cy: the cell height, the
// font's ascent + descent. FALSE without a font or with a negative count.
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int count, SIZE* size);

constexpr UINT ETO_OPAQUE = 0x0002;

// Draws text with the top-left corner of its cell at (x, y) into the bitmap
// selected into the context. With ETO_OPAQUE the cell (and rect, if given) is
// first filled with the background colour; each glyph is then blended over it
// in the text colour by its anti-aliased coverage, so white on black leaves the
// coverage 0-255 in every colour byte. Drawing is clipped to the bitmap.
// Per-character spacing (dx) is not supported and must be null.
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                 const INT* dx);
