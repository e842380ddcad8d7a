#include "platform/picture_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

PictureFit FitPicture(int pictureWidth, int pictureHeight, int outputWidth, int outputHeight) {
    PictureFit fit;
    if (pictureWidth <= 0 || pictureHeight <= 0 || outputWidth <= 0 || outputHeight <= 0) {
        return fit;
    }
    fit.pictureWidth = pictureWidth;
    fit.pictureHeight = pictureHeight;
    fit.outputWidth = outputWidth;
    fit.outputHeight = outputHeight;

    // Compare the aspects in 64-bit integers so an exact fit stays exact.
    int64_t width = outputWidth;
    int64_t height = outputHeight;
    if (int64_t{outputWidth} * pictureHeight <= int64_t{outputHeight} * pictureWidth) {
        height = (int64_t{outputWidth} * pictureHeight * 2 + pictureWidth) / (2 * pictureWidth);
    } else {
        width = (int64_t{outputHeight} * pictureWidth * 2 + pictureHeight) / (2 * pictureHeight);
    }
    width = std::max<int64_t>(width, 1);
    height = std::max<int64_t>(height, 1);
    fit.place.left = static_cast<LONG>((outputWidth - width) / 2);
    fit.place.top = static_cast<LONG>((outputHeight - height) / 2);
    fit.place.right = fit.place.left + static_cast<LONG>(width);
    fit.place.bottom = fit.place.top + static_cast<LONG>(height);
    return fit;
}

// One axis of MapToPicture: the centre of the window pixel, in output pixels,
// then in picture pixels.
static bool MapAxis(int windowSize, int outputSize, LONG placeStart, LONG placeEnd, int pictureSize,
                    int windowPosition, LONG* picturePosition) {
    if (windowSize <= 0 || placeEnd <= placeStart) {
        return false;
    }
    double output = (windowPosition + 0.5) * outputSize / windowSize;
    if (output < placeStart || output >= placeEnd) {
        return false;
    }
    double position = std::floor((output - placeStart) * pictureSize / (placeEnd - placeStart));
    *picturePosition = static_cast<LONG>(std::clamp(position, 0.0, pictureSize - 1.0));
    return true;
}

bool MapToPicture(const PictureFit& fit, int windowWidth, int windowHeight, int windowX,
                  int windowY, POINT* picture) {
    POINT mapped{};
    if (picture == nullptr ||
        !MapAxis(windowWidth, fit.outputWidth, fit.place.left, fit.place.right, fit.pictureWidth,
                 windowX, &mapped.x) ||
        !MapAxis(windowHeight, fit.outputHeight, fit.place.top, fit.place.bottom, fit.pictureHeight,
                 windowY, &mapped.y)) {
        return false;
    }
    *picture = mapped;
    return true;
}
