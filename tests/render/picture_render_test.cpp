// The picture at twice the size looks the same: drawn at 2048x1536 and reduced to 1024x768 by
// averaging each 2x2 block, a frame has the ink and the colours of the 1024x768 frame.
#include "frame/show.h"
#include "lib/glcontext.h"
#include "render/picture.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

// The lower left width x height pixels of the colour buffer, RGB, bottom row first.
static std::vector<unsigned char> readPixels(int width, int height)
{
    std::vector<unsigned char> rgb((size_t)width * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

// Ink: how far from white a frame is, summed over pixels and channels, per pixel; and the mean
// of each channel.
struct Look {
    double ink;
    double mean[3];
};
static Look lookOf(const std::vector<double>& rgb)
{
    Look l{0, {0, 0, 0}};
    for (size_t i = 0; i < rgb.size(); i++) {
        l.ink += 255.0 - rgb[i];
        l.mean[i % 3] += rgb[i];
    }
    size_t pixels = rgb.size() / 3;
    l.ink /= pixels;
    for (double& m : l.mean)
        m /= pixels;
    return l;
}

TEST(PictureRender, TwiceTheSizeHasTheSameInkAndColours)
{
    HeadlessContext gl;
    ASSERT_TRUE(gl.open(2048, 1536)) << gl.error();
    show_resources_init();
    show_init();
    // Points, thin and wide lines, quads and text, from scenes that need no earlier frames, and
    // how far the ink may differ. The aggregate's 5-pixel smooth points come out darker when
    // twice as large: llvmpipe's smoothing takes about half a pixel off every point's radius,
    // a larger share of a small point. A size left unscaled would halve the ink or worse.
    struct At { int time; double tolerance; } ats[] = {
        {33500, 0.1}, {76500, 0.1}, {99500, 0.1}, {112500, 0.1}, {125500, 0.45},
        {138500, 0.1}, {152000, 0.1}, {185000, 0.15}, {208437, 0.1},
    };
    for (const At& at : ats) {
        const int time = at.time;
        SCOPED_TRACE(time);
        // The small frame: a 1024x768 drawable, the lower left corner of the pbuffer.
        picture_set_drawable(1024, 768);
        show_frame(time);
        std::vector<unsigned char> small = readPixels(1024, 768);
        picture_set_drawable(2048, 1536);
        show_frame(time);
        std::vector<unsigned char> large = readPixels(2048, 1536);

        std::vector<double> reduced(small.size()), smallRgb(small.begin(), small.end());
        for (int y = 0; y < 768; y++)
            for (int x = 0; x < 1024; x++)
                for (int c = 0; c < 3; c++) {
                    auto px = [&](int xx, int yy) { return (double)large[((size_t)yy * 2048 + xx) * 3 + c]; };
                    reduced[((size_t)y * 1024 + x) * 3 + c] =
                        (px(2 * x, 2 * y) + px(2 * x + 1, 2 * y) + px(2 * x, 2 * y + 1) + px(2 * x + 1, 2 * y + 1)) / 4;
                }
        Look a = lookOf(smallRgb), b = lookOf(reduced);
        ASSERT_GT(a.ink, 1.0);
        EXPECT_NEAR(b.ink / a.ink, 1.0, at.tolerance) << "ink " << a.ink << " at 1024x768, " << b.ink << " reduced";
        for (int c = 0; c < 3; c++)
            EXPECT_NEAR(b.mean[c], a.mean[c], 3.0) << "channel " << c;
    }
    show_free();
    show_resources_free();
}
