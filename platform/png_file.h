#pragma once
// PNG pictures of surfaces, for tests, golden frames and brassel-cli.

#include <cstdint>
#include <vector>

#include "platform/direct3d.h"

// Writes an X8R8G8B8 surface (the back buffer, for instance) to a PNG file
// as opaque RGB. False, with nothing written, for another format, a locked
// surface or a file that cannot be written.
bool WriteSurfacePng(IDirect3DSurface8* surface, const char* path);

// Writes height rows of width X8R8G8B8 pixels, pitch bytes apart, to a PNG
// file; false when it cannot be written.
bool WritePixelsPng(const void* pixels, UINT width, UINT height, UINT pitch, const char* path);

// Reads a PNG file into 0x00RRGGBB pixels, row-major, width x height of them.
// False, with the outputs untouched, when the file cannot be read.
bool ReadPngPixels(const char* path, std::vector<uint32_t>& pixels, UINT& width, UINT& height);
