#pragma once
// The map picture: a bitmap file converted, pixel by pixel, into an image
// surface of a given pixel format, so the frame can copy it to the back buffer.

#include "platform/direct3d.h"

// Width in bits of each channel of a format; 0 for formats the packer does not know.
UINT FormatRedBits(D3DFORMAT format);
UINT FormatGreenBits(D3DFORMAT format);
UINT FormatBlueBits(D3DFORMAT format);
UINT FormatAlphaBits(D3DFORMAT format);
UINT FormatUnusedBits(D3DFORMAT format);

// Loads the bitmap file and returns a new surface of its size in the given
// format, of which the caller holds the one reference. Returns null when the
// file is not a readable bitmap or the surface cannot be made. A format the
// packer does not know gives a surface whose pixels are left as created.
IDirect3DSurface8* LoadImageSurface(IDirect3DDevice8* device, const char* fileName,
                                    D3DFORMAT format);
