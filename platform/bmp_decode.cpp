// BMP decoding. SDL2 reads every kind of BMP file we need (palettes of 1, 4
// and 8 bits, 16-bit 555 and bit-field 565, 24 and 32 bits with or without
// masks, RLE4, RLE8, bottom-up and top-down rows). Its loader is not built
// with our sanitizers, so the header is checked here first: sizes that would
// take absurd memory and pixel data shorter than the header promises are
// refused before SDL sees the file, and the surface SDL returns is read back
// with its bounds and palette checked pixel by pixel.

#include "platform/bmp_decode.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr DWORD COMPRESSION_RGB = 0;
constexpr DWORD COMPRESSION_RLE8 = 1;
constexpr DWORD COMPRESSION_RLE4 = 2;
constexpr DWORD COMPRESSION_BITFIELDS = 3;

constexpr size_t FILE_HEADER_SIZE = 14;
constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t LARGEST_HEADER_SIZE = 124;

uint16_t ReadU16(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

uint32_t ReadU32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
           (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

// What the header says about the file, read without trusting it.
struct BmpHeader {
    int64_t width = 0;
    int64_t height = 0; // negative: rows top-down
    uint32_t bitCount = 0;
    uint32_t compression = COMPRESSION_RGB;
    uint32_t colorsUsed = 0;
    uint32_t pixelOffset = 0;
    uint32_t headerSize = 0;
};

bool ReadHeader(const uint8_t* data, size_t size, BmpHeader& header, std::string& error) {
    if (size < FILE_HEADER_SIZE + 4 || data[0] != 'B' || data[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    header.pixelOffset = ReadU32(data + 10);
    header.headerSize = ReadU32(data + 14);
    bool core = header.headerSize == CORE_HEADER_SIZE;
    if (!core &&
        (header.headerSize < INFO_HEADER_SIZE || header.headerSize > LARGEST_HEADER_SIZE)) {
        error = "unknown BMP header";
        return false;
    }
    if (size < FILE_HEADER_SIZE + header.headerSize) {
        error = "truncated BMP header";
        return false;
    }
    const uint8_t* info = data + FILE_HEADER_SIZE;
    if (core) {
        header.width = ReadU16(info + 4);
        header.height = ReadU16(info + 6);
        header.bitCount = ReadU16(info + 10);
    } else {
        header.width = static_cast<int32_t>(ReadU32(info + 4));
        header.height = static_cast<int32_t>(ReadU32(info + 8));
        header.bitCount = ReadU16(info + 14);
        header.compression = ReadU32(info + 16);
        header.colorsUsed = ReadU32(info + 32);
    }
    return true;
}

bool CheckHeader(const BmpHeader& header, size_t size, std::string& error) {
    int64_t rows = header.height < 0 ? -header.height : header.height;
    if (header.width < 1 || rows < 1) {
        error = "BMP has no pixels";
        return false;
    }
    if (header.width > BMP_MAX_SIDE || rows > BMP_MAX_SIDE ||
        static_cast<uint64_t>(header.width * rows) > BMP_MAX_PIXELS) {
        error = "BMP too large";
        return false;
    }
    uint32_t bits = header.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        error = "unsupported BMP bit depth";
        return false;
    }
    bool valid = false;
    switch (header.compression) {
    case COMPRESSION_RGB:
        valid = true;
        break;
    case COMPRESSION_RLE8:
        valid = bits == 8 && header.height > 0;
        break;
    case COMPRESSION_RLE4:
        valid = bits == 4 && header.height > 0;
        break;
    case COMPRESSION_BITFIELDS:
        valid = bits == 16 || bits == 32;
        break;
    default:
        break;
    }
    if (!valid) {
        error = "unsupported BMP compression";
        return false;
    }
    if (bits <= 8 && header.colorsUsed > (uint32_t{1} << bits)) {
        error = "BMP palette too large";
        return false;
    }
    // Uncompressed rows must all be present after the headers.
    uint64_t dataStart =
        std::max<uint64_t>(header.pixelOffset, FILE_HEADER_SIZE + header.headerSize);
    if (header.compression == COMPRESSION_RGB || header.compression == COMPRESSION_BITFIELDS) {
        uint64_t rowBytes = (static_cast<uint64_t>(header.width) * bits + 31) / 32 * 4;
        if (dataStart + rowBytes * static_cast<uint64_t>(rows) > size) {
            error = "truncated BMP pixel data";
            return false;
        }
    } else if (dataStart >= size) {
        error = "truncated BMP pixel data";
        return false;
    }
    return true;
}

// One pixel value of the surface, in the surface's own layout.
Uint32 ReadSurfacePixel(const Uint8* at, int bytesPerPixel) {
    switch (bytesPerPixel) {
    case 1:
        return at[0];
    case 2:
        return static_cast<Uint32>(at[0] | (at[1] << 8));
    case 3:
        return static_cast<Uint32>(at[0]) | (static_cast<Uint32>(at[1]) << 8) |
               (static_cast<Uint32>(at[2]) << 16);
    default:
        return ReadU32(at);
    }
}

bool CopySurface(SDL_Surface* surface, DecodedBmp& result, std::string& error) {
    const SDL_PixelFormat* format = surface->format;
    int bytesPerPixel = format->BytesPerPixel;
    if (bytesPerPixel < 1 || bytesPerPixel > 4 ||
        surface->pitch < static_cast<int64_t>(surface->w) * bytesPerPixel) {
        error = "unexpected decoded BMP layout";
        return false;
    }
    int colours = format->palette != nullptr ? format->palette->ncolors : 0;
    result.width = surface->w;
    result.height = surface->h;
    result.pixels.resize(static_cast<size_t>(surface->w) * static_cast<size_t>(surface->h));
    DWORD* out = result.pixels.data();
    for (int y = 0; y < surface->h; y++) {
        const Uint8* row = static_cast<const Uint8*>(surface->pixels) +
                           static_cast<size_t>(y) * static_cast<size_t>(surface->pitch);
        for (int x = 0; x < surface->w; x++) {
            Uint32 value =
                ReadSurfacePixel(row + static_cast<size_t>(x) * bytesPerPixel, bytesPerPixel);
            if (format->palette != nullptr && value >= static_cast<Uint32>(colours)) {
                error = "BMP pixel outside its palette";
                return false;
            }
            Uint8 red = 0;
            Uint8 green = 0;
            Uint8 blue = 0;
            SDL_GetRGB(value, format, &red, &green, &blue);
            *out++ = (static_cast<DWORD>(red) << 16) | (static_cast<DWORD>(green) << 8) | blue;
        }
    }
    return true;
}

} // namespace

bool DecodeBmp(const void* data, size_t size, DecodedBmp& result, std::string& error) {
    result = DecodedBmp{};
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    BmpHeader header;
    if (data == nullptr) {
        error = "not a BMP file";
        return false;
    }
    if (!ReadHeader(bytes, size, header, error) || !CheckHeader(header, size, error)) {
        return false;
    }
    if (size > static_cast<size_t>(INT32_MAX)) {
        error = "BMP file too large";
        return false;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (stream == nullptr) {
        error = SDL_GetError();
        return false;
    }
    SDL_Surface* surface = SDL_LoadBMP_RW(stream, 1);
    if (surface == nullptr) {
        error = SDL_GetError();
        return false;
    }
    int64_t rows = header.height < 0 ? -header.height : header.height;
    bool copied = false;
    if (surface->w != header.width || surface->h != rows) {
        error = "decoded BMP size differs from its header";
    } else if (SDL_LockSurface(surface) != 0) {
        error = SDL_GetError();
    } else {
        copied = CopySurface(surface, result, error);
        SDL_UnlockSurface(surface);
    }
    SDL_FreeSurface(surface);
    if (!copied) {
        result = DecodedBmp{};
    }
    return copied;
}
