#pragma once
// The basic value and handle types of the platform the program was designed
// against, declared here for our own stand-ins. Only what the program and the
// stand-ins use exists.

#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = int32_t;
using ULONG = uint32_t;
using LONGLONG = int64_t;
using BOOL = int;
using FLOAT = float;
using HRESULT = int32_t;
using COLORREF = DWORD;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = WORD;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

struct SIZE {
    LONG cx;
    LONG cy;
};

struct LARGE_INTEGER {
    LONGLONG QuadPart;
};

constexpr WORD LOWORD(uintptr_t value) {
    return static_cast<WORD>(value & 0xFFFF);
}
constexpr WORD HIWORD(uintptr_t value) {
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

// Handles are pointers to distinct incomplete types, so one kind cannot be
// passed where another is expected. Generic GDI objects and instances are
// untyped, as bitmaps and fonts both go through SelectObject and DeleteObject.
struct HWND__;
struct HDC__;
struct HBITMAP__;
struct HFONT__;
struct HBRUSH__;
struct HCURSOR__;
struct HICON__;
struct HMENU__;
struct HINSTANCE__;
using HWND = HWND__*;
using HDC = HDC__*;
using HBITMAP = HBITMAP__*;
using HFONT = HFONT__*;
using HBRUSH = HBRUSH__*;
using HCURSOR = HCURSOR__*;
using HICON = HICON__*;
using HMENU = HMENU__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
using HGDIOBJ = void*;
using LPVOID = void*;
using LPCSTR = const char*;
using LPSTR = char*;
