#pragma once
// The map picture the frame copies to the back buffer, and the rectangle of
// that copy; both are made by GridSearch::LoadMap.

#include "platform/direct3d.h"

// Null when the last map could not be read: the frame then skips the copy.
extern IDirect3DSurface8* MapSurface;
extern RECT MapCopyRect;
