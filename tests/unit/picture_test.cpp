// The picture's place in a drawable: the largest 4:3 rectangle, centred, and its scale.
#include "render/picture.h"

#include <gtest/gtest.h>

TEST(Picture, FitsTheLargestCentredFourByThreeRectangle)
{
    struct Case { int w, h, x, y, width, height; float scale; } cases[] = {
        {1024, 768, 0, 0, 1024, 768, 1.0f},        // the design size: nothing moves or scales
        {1920, 1080, 240, 0, 1440, 1080, 1.40625f}, // wide: bars left and right
        {3840, 2160, 480, 0, 2880, 2160, 2.8125f},
        {1280, 1024, 0, 32, 1280, 960, 1.25f},      // narrower than 4:3: bars above and below
        {2048, 1536, 0, 0, 2048, 1536, 2.0f},
        {1366, 768, 171, 0, 1024, 768, 1.0f},       // odd margins round down on the left
        {100, 100, 0, 12, 100, 75, 75.0f / 768.0f},
    };
    for (const Case& c : cases) {
        Picture p = picture_fit(c.w, c.h);
        EXPECT_TRUE(p.x == c.x && p.y == c.y && p.width == c.width && p.height == c.height && p.scale == c.scale &&
                    p.fillsDrawable() == (c.w == c.width && c.h == c.height))
            << c.w << "x" << c.h << ": " << p.width << "x" << p.height << " at " << p.x << ", " << p.y << " scale "
            << p.scale;
    }
}
