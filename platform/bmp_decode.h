#pragma once
// Turns the bytes of a BMP file into 32-bit pixels. Used by LoadImageA and, on
// its own, by the bitmap fuzz target.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win_types.h"

// Larger files are refused before any pixel memory is taken.
constexpr LONG BMP_MAX_SIDE = 16384;
constexpr size_t BMP_MAX_PIXELS = size_t{1} << 26;

struct DecodedBmp {
    LONG width = 0;
    LONG height = 0;
    std::vector<DWORD> pixels; // rows top-down, each pixel 0x00RRGGBB
};

// Decodes a whole BMP file held in memory. On failure returns false, leaves
// result empty and puts a short reason in error.
bool DecodeBmp(const void* data, size_t size, DecodedBmp& result, std::string& error);
