// The program icon, drawn in code: a dark grid with a block of obstacles and
// a green path around it from a start to a goal mark.

#include <algorithm>
#include <cstdlib>

#include "platform/window_registry.h"

namespace {

constexpr int ICON_SIZE = 32;
constexpr int ICON_CELL = 8;
constexpr Uint32 ICON_BACKGROUND = 0xFF101010;
constexpr Uint32 ICON_GRID = 0xFF3A3A3A;
constexpr Uint32 ICON_OBSTACLE = 0xFF8A8A8A;
constexpr Uint32 ICON_PATH = 0xFF20D040;
constexpr Uint32 ICON_MARK = 0xFFFFFFFF;

void FillBox(Uint32* pixels, int left, int top, int right, int bottom, Uint32 colour) {
    for (int y = top; y < bottom; y++) {
        for (int x = left; x < right; x++) {
            pixels[y * ICON_SIZE + x] = colour;
        }
    }
}

// A line two pixels wide, stepped along its longer axis.
void DrawLine(Uint32* pixels, int x1, int y1, int x2, int y2, Uint32 colour) {
    int steps = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
    for (int i = 0; i <= steps; i++) {
        int x = x1 + (x2 - x1) * i / std::max(steps, 1);
        int y = y1 + (y2 - y1) * i / std::max(steps, 1);
        FillBox(pixels, x, y, x + 2, y + 2, colour);
    }
}

} // namespace

SDL_Surface* MakeProgramIcon() {
    SDL_Surface* icon =
        SDL_CreateRGBSurfaceWithFormat(0, ICON_SIZE, ICON_SIZE, 32, SDL_PIXELFORMAT_ARGB8888);
    if (icon == nullptr) {
        return nullptr;
    }
    if (icon->pitch != ICON_SIZE * 4) {
        SDL_FreeSurface(icon);
        return nullptr;
    }
    auto* pixels = static_cast<Uint32*>(icon->pixels);
    FillBox(pixels, 0, 0, ICON_SIZE, ICON_SIZE, ICON_BACKGROUND);
    for (int line = 0; line < ICON_SIZE; line += ICON_CELL) {
        FillBox(pixels, line, 0, line + 1, ICON_SIZE, ICON_GRID);
        FillBox(pixels, 0, line, ICON_SIZE, line + 1, ICON_GRID);
    }
    FillBox(pixels, 9, 9, 24, 16, ICON_OBSTACLE);
    FillBox(pixels, 9, 16, 16, 24, ICON_OBSTACLE);
    DrawLine(pixels, 4, 27, 4, 5, ICON_PATH);
    DrawLine(pixels, 4, 5, 26, 5, ICON_PATH);
    DrawLine(pixels, 26, 5, 26, 26, ICON_PATH);
    FillBox(pixels, 2, 25, 8, 31, ICON_MARK);
    FillBox(pixels, 24, 24, 30, 30, ICON_MARK);
    return icon;
}
