#include "platform/png_file.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

bool WritePixelsPng(const void* pixels, UINT width, UINT height, UINT pitch, const char* path) {
    if (pixels == nullptr || path == nullptr) {
        return false;
    }
    // X8R8G8B8 is SDL's RGB888: 0x00RRGGBB words with the top byte unused.
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<void*>(pixels), static_cast<int>(width), static_cast<int>(height), 32,
        static_cast<int>(pitch), SDL_PIXELFORMAT_RGB888);
    bool written = image != nullptr && IMG_SavePNG(image, path) == 0;
    SDL_FreeSurface(image);
    return written;
}

bool WriteSurfacePng(IDirect3DSurface8* surface, const char* path) {
    D3DSURFACE_DESC desc{};
    if (surface == nullptr || path == nullptr || FAILED(surface->GetDesc(&desc)) ||
        desc.Format != D3DFMT_X8R8G8B8) {
        return false;
    }
    D3DLOCKED_RECT locked{};
    if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        return false;
    }
    bool written = WritePixelsPng(locked.pBits, desc.Width, desc.Height,
                                  static_cast<UINT>(locked.Pitch), path);
    surface->UnlockRect();
    return written;
}

bool ReadPngPixels(const char* path, std::vector<uint32_t>& pixels, UINT& width, UINT& height) {
    if (path == nullptr) {
        return false;
    }
    SDL_Surface* loaded = IMG_Load(path);
    if (loaded == nullptr) {
        return false;
    }
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(loaded);
    if (converted == nullptr) {
        return false;
    }
    std::vector<uint32_t> read(static_cast<size_t>(converted->w) * converted->h);
    const auto* bytes = static_cast<const BYTE*>(converted->pixels);
    for (int y = 0; y < converted->h; ++y) {
        const BYTE* row = bytes + static_cast<size_t>(y) * converted->pitch;
        for (int x = 0; x < converted->w; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, row + static_cast<size_t>(x) * 4, sizeof pixel);
            read[static_cast<size_t>(y) * converted->w + x] = pixel & 0x00FFFFFF;
        }
    }
    width = static_cast<UINT>(converted->w);
    height = static_cast<UINT>(converted->h);
    pixels = std::move(read);
    SDL_FreeSurface(converted);
    return true;
}
