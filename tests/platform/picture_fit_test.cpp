#include <gtest/gtest.h>

#include <vector>

#include "platform/picture_fit.h"

namespace {

struct MouseCase {
    int x, y;
    bool onPicture;
    LONG pictureX, pictureY;
};

struct FitCase {
    const char* what;
    int outputWidth, outputHeight; // the window is as large as its output unless told
    int windowWidth, windowHeight;
    RECT place;
    std::vector<MouseCase> mice;
};

// An 800 x 600 picture in windows of several shapes: where it lies, and which
// picture pixel each mouse position falls on. Edges must never map to 800 or
// 600, and the black bars must map to nothing.
TEST(PictureFit, PlacesThePictureAndMapsTheMouseBack) {
    const FitCase cases[] = {
        {"window of the picture's size",
         800,
         600,
         800,
         600,
         {0, 0, 800, 600},
         {{0, 0, true, 0, 0},
          {799, 599, true, 799, 599},
          {123, 456, true, 123, 456},
          {800, 10, false, 0, 0},
          {10, 600, false, 0, 0},
          {-1, 10, false, 0, 0}}},
        {"wide display: bars left and right",
         1280,
         800,
         1280,
         800,
         {106, 0, 1173, 800},
         {{105, 400, false, 0, 0},
          {106, 0, true, 0, 0},
          {1172, 799, true, 799, 599},
          {1173, 400, false, 0, 0},
          {640, 400, true, 400, 300}}},
        {"same aspect, larger",
         1024,
         768,
         1024,
         768,
         {0, 0, 1024, 768},
         {{1023, 767, true, 799, 599}, {512, 384, true, 400, 300}}},
        {"tall window: bars above and below",
         800,
         1000,
         800,
         1000,
         {0, 200, 800, 800},
         {{0, 199, false, 0, 0}, {0, 200, true, 0, 0}, {799, 799, true, 799, 599}}},
        {"output twice the window (high-density display)",
         1600,
         1200,
         800,
         600,
         {0, 0, 1600, 1200},
         {{10, 20, true, 10, 20}, {799, 599, true, 799, 599}}},
    };
    for (const FitCase& fitCase : cases) {
        SCOPED_TRACE(fitCase.what);
        PictureFit fit = FitPicture(800, 600, fitCase.outputWidth, fitCase.outputHeight);
        EXPECT_EQ(fit.place.left, fitCase.place.left);
        EXPECT_EQ(fit.place.top, fitCase.place.top);
        EXPECT_EQ(fit.place.right, fitCase.place.right);
        EXPECT_EQ(fit.place.bottom, fitCase.place.bottom);
        for (const MouseCase& mouse : fitCase.mice) {
            SCOPED_TRACE(testing::Message() << "mouse " << mouse.x << ", " << mouse.y);
            POINT picture{-7, -7};
            ASSERT_EQ(MapToPicture(fit, fitCase.windowWidth, fitCase.windowHeight, mouse.x, mouse.y,
                                   &picture),
                      mouse.onPicture);
            if (mouse.onPicture) {
                EXPECT_EQ(picture.x, mouse.pictureX);
                EXPECT_EQ(picture.y, mouse.pictureY);
            } else {
                EXPECT_EQ(picture.x, -7) << "a refused position leaves the point alone";
            }
        }
    }
}

TEST(PictureFit, EmptySizesMapNothing) {
    const int sizes[][4] = {{0, 600, 800, 600}, {800, 600, 0, 600}, {800, -1, 800, 600}};
    for (const auto& size : sizes) {
        PictureFit fit = FitPicture(size[0], size[1], size[2], size[3]);
        POINT picture{};
        EXPECT_FALSE(MapToPicture(fit, 800, 600, 10, 10, &picture));
    }
    PictureFit fit = FitPicture(800, 600, 800, 600);
    POINT picture{};
    EXPECT_FALSE(MapToPicture(fit, 0, 0, 10, 10, &picture));
    EXPECT_FALSE(MapToPicture(fit, 800, 600, 10, 10, nullptr));
}

} // namespace
