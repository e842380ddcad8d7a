// Bitmaps of the graphics stand-in: BMP files loaded into the display's 32-bit
// format, DIB sections, and reading single pixels.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/bmp_decode.h"
#include "platform/gdi_objects.h"

namespace {

// The largest file worth reading: the biggest bitmap we accept, uncompressed
// at 32 bits per pixel, with room for its headers.
constexpr long MAX_FILE_BYTES = static_cast<long>(BMP_MAX_PIXELS * 4 + 4096);

thread_local std::string LastLoadError;

bool ReadWholeFile(const char* name, std::vector<unsigned char>& bytes, std::string& error) {
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = false;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        length = std::ftell(file);
    }
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        error = "cannot read file";
    } else if (length > MAX_FILE_BYTES) {
        error = "file too large for a bitmap";
    } else {
        bytes.resize(static_cast<size_t>(length));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
        if (!ok) {
            error = "cannot read file";
        }
    }
    std::fclose(file);
    return ok;
}

HGDIOBJ LoadBitmapFile(const char* name, std::string& error) {
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(name, bytes, error)) {
        return nullptr;
    }
    DecodedBmp decoded;
    if (!DecodeBmp(bytes.data(), bytes.size(), decoded, error)) {
        return nullptr;
    }
    auto bitmap = std::make_unique<GdiBitmap>();
    bitmap->width = decoded.width;
    bitmap->height = decoded.height;
    bitmap->pixels = std::move(decoded.pixels);
    return AddGdiBitmap(std::move(bitmap));
}

} // namespace

HGDIOBJ LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
    LastLoadError.clear();
    if (instance != nullptr || name == nullptr || type != IMAGE_BITMAP || width != 0 ||
        height != 0 || flags != LR_LOADFROMFILE) {
        LastLoadError = "unsupported image request";
        return nullptr;
    }
    return LoadBitmapFile(name, LastLoadError);
}

const char* GetLastImageLoadError() {
    return LastLoadError.c_str();
}

COLORREF GetPixel(HDC dc, int x, int y) {
    GdiBitmap* bitmap = FindSelectedBitmap(dc);
    if (bitmap == nullptr || !bitmap->Contains(x, y)) {
        return CLR_INVALID;
    }
    DWORD pixel = bitmap->Row(y)[x];
    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD) {
    if (bits != nullptr) {
        *bits = nullptr;
    }
    if (info == nullptr || bits == nullptr || section != nullptr || usage != DIB_RGB_COLORS) {
        return nullptr;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    int64_t width = header.biWidth;
    int64_t rows = header.biHeight < 0 ? -static_cast<int64_t>(header.biHeight) : header.biHeight;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 ||
        header.biBitCount != 32 || header.biCompression != BI_RGB || width < 1 || rows < 1 ||
        width > BMP_MAX_SIDE || rows > BMP_MAX_SIDE ||
        static_cast<uint64_t>(width * rows) > BMP_MAX_PIXELS) {
        return nullptr;
    }
    auto bitmap = std::make_unique<GdiBitmap>();
    bitmap->width = static_cast<LONG>(width);
    bitmap->height = static_cast<LONG>(rows);
    bitmap->bottomUp = header.biHeight > 0;
    bitmap->isSection = true;
    bitmap->pixels.assign(static_cast<size_t>(width * rows), 0);
    *bits = bitmap->pixels.data();
    return static_cast<HBITMAP>(AddGdiBitmap(std::move(bitmap)));
}
