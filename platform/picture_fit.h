#pragma once
// Where a presented picture lies in a window, and which picture pixel a mouse
// position falls on. A picture is scaled to fill the window as far as its
// aspect allows and centred; the rest stays black. A picture of the window's
// own size lies exactly on it, one pixel to one pixel.

#include "platform/win_types.h"

struct PictureFit {
    int pictureWidth = 0;
    int pictureHeight = 0;
    int outputWidth = 0; // the drawable area, in device pixels
    int outputHeight = 0;
    RECT place = {}; // the picture's part of the output, right and bottom exclusive
};

// An empty place when any size is not positive.
PictureFit FitPicture(int pictureWidth, int pictureHeight, int outputWidth, int outputHeight);

// Maps a mouse position in window coordinates (the window being windowWidth x
// windowHeight, which differs from the output on high-density displays) to the
// picture pixel under it. False when the position is off the picture.
bool MapToPicture(const PictureFit& fit, int windowWidth, int windowHeight, int windowX,
                  int windowY, POINT* picture);
