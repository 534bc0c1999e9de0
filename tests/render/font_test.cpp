// The bitmap font, its atlas and the start-up frame, drawn headless and read back (the credits
// in show_test place and space the 3D text).
#include "render_fixture.h"

#include "frame/show.h"
#include "render/font.h"

#include <GL/gl.h>
#include <algorithm>

class FontTest : public RenderTest {
protected:
    // Clears to white and writes text black at the centre of the overlay space.
    static Box written(const char* text)
    {
        show_frame(-1);  // no scene is active: a white frame with the frame's fixed state
        glColor4f(0, 0, 0, 1);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        font_write(0, 0, text);
        return darkBox(frame());
    }
};

TEST_F(FontTest, AtlasIsWhiteWithGlyphsInAlphaInTheirCells)
{
    const GlyphImage& img = bitstream_bold;
    ASSERT_TRUE(img.width == 190 && img.height == 381 && img.bytesPerPixel == 4);
    bool ink[100] = {};
    for (size_t y = 0; y < img.height; y++)
        for (size_t x = 0; x < img.width; x++) {
            const unsigned char* p = &img.pixels[(y * img.width + x) * 4];
            ASSERT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255) << x << ", " << y;
            // The cell holding this pixel: a tenth of the width and of the height each.
            size_t column = std::min<size_t>(x * 10 / img.width, 9), row = std::min<size_t>(y * 10 / img.height, 9);
            ink[row * 10 + column] |= p[3] != 0;
        }
    // The blank, then characters 33 to 121, five empty cells, and the glyphs of 122 to 126.
    for (int k = 0; k < 100; k++)
        EXPECT_EQ(ink[k], k != 0 && (k < 90 || k >= 95)) << "cell " << k;
}

TEST_F(FontTest, CodesMapToTheirCellsAndOthersDrawNothing)
{
    // 'z' (122) and '~' (126) fall on empty cells; 127 to 131 draw z { | } ~.
    EXPECT_TRUE(written("z").empty());
    EXPECT_TRUE(written("~").empty());
    Box tilde = written("\x83");
    // One glyph at the centre: x from 310 to 330 and y from 240 to 260 of 640x480 (x1.6).
    EXPECT_TRUE(tilde.left >= 496 && tilde.right <= 528) << tilde.left << " " << tilde.right;
    EXPECT_TRUE(tilde.top >= 768 - 416 && tilde.bottom <= 768 - 384) << tilde.top << " " << tilde.bottom;
    EXPECT_GT(tilde.right - tilde.left, 2 * (tilde.bottom - tilde.top));  // wide and flat

    // Codes outside 32-131 draw nothing and do not advance the pen; 'z' advances it. (A line is
    // centred on its byte count, so compare lines of equal length.)
    Box a = written("A\x84");
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(written("\x84" "A").left, a.left);
    EXPECT_NEAR(written("zA").left - a.left, 32, 1);
}

TEST_F(FontTest, PleaseWaitLandsWhereTheOverlaySpacePlacesIt)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    show_startup_frame();
    std::vector<unsigned char> f = frame();
    Box b = darkBox(f);
    // The line starts at (178, 24) of 640x480 and is 14 glyphs of 20x20 units: x 178 to 458,
    // y 24 to 44, scaled by 1.6 to the 1024x768 frame (y counted from the bottom there).
    EXPECT_TRUE(b.left >= 284 && b.right <= 733) << b.left << " " << b.right;
    EXPECT_TRUE(b.top >= 768 - 71 && b.bottom <= 768 - 38) << b.top << " " << b.bottom;
    // Readable: it spans most of its box and is drawn black.
    EXPECT_GT(b.right - b.left, 400);
    EXPECT_LT(darkest(f), 40);
}
