// The bitmap font, its atlas and the start-up frame, drawn headless and read back.
#include "render_fixture.h"

#include "frame/show.h"
#include "render/font.h"
#include "render/projection.h"

#include <GL/gl.h>
#include <cstring>

class FontTest : public RenderTest {
protected:
    // Clears to white and writes text black at the centre of the overlay space, or in 3D ten
    // units in front of the eye.
    static std::vector<unsigned char> written(const char* text, bool in3d = false)
    {
        show_frame(-1);  // no scene is active: a white frame with the frame's fixed state
        glColor4f(0, 0, 0, 1);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        if (in3d) {
            glLoadIdentity();
            glTranslatef(0, 0, -10);
            font_write3d(text);
        } else {
            font_write(0, 0, text);
        }
        return frame();
    }
};

// Whether any pixel of atlas cell k has coverage.
static bool cellHasInk(int k)
{
    const GlyphImage& img = bitstream_bold;
    int x0 = (int)(img.width * (k % 10) / 10), x1 = (int)(img.width * (k % 10 + 1) / 10);
    int y0 = (int)(img.height * (k / 10) / 10), y1 = (int)(img.height * (k / 10 + 1) / 10);
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            if (img.pixels[(y * img.width + x) * 4 + 3] != 0)
                return true;
    return false;
}

TEST_F(FontTest, AtlasIsWhiteWithGlyphsInAlphaInTheirCells)
{
    const GlyphImage& img = bitstream_bold;
    ASSERT_EQ(img.width, 190u);
    ASSERT_EQ(img.height, 381u);
    ASSERT_EQ(img.bytesPerPixel, 4u);
    for (size_t i = 0; i < (size_t)img.width * img.height; i++)
        ASSERT_TRUE(img.pixels[i * 4] == 255 && img.pixels[i * 4 + 1] == 255 && img.pixels[i * 4 + 2] == 255);
    EXPECT_FALSE(cellHasInk(0));  // the blank
    for (int k = 1; k < 90; k++)
        EXPECT_TRUE(cellHasInk(k)) << "character " << 32 + k;
    for (int k = 90; k < 95; k++)
        EXPECT_FALSE(cellHasInk(k)) << "cell " << k;
    for (int k = 95; k < 100; k++)
        EXPECT_TRUE(cellHasInk(k)) << "cell " << k;
}

TEST_F(FontTest, CodesMapToTheirCells)
{
    // 'z' (122) and '~' (126) fall on empty cells; 127 to 131 draw z { | } ~.
    EXPECT_TRUE(darkBox(written("z")).empty());
    EXPECT_TRUE(darkBox(written("~")).empty());
    Box tilde = darkBox(written("\x83"));
    ASSERT_FALSE(tilde.empty());
    // One glyph at the centre: x from 310 to 330 and y from 240 to 260 of 640x480 (x1.6).
    EXPECT_GE(tilde.left, 496);
    EXPECT_LE(tilde.right, 528);
    EXPECT_GE(tilde.top, 768 - 416);
    EXPECT_LE(tilde.bottom, 768 - 384);
    // A tilde is wide and flat.
    EXPECT_GT(tilde.right - tilde.left, 2 * (tilde.bottom - tilde.top));

    // Codes outside 32-131 draw nothing and do not advance the pen; 'z' advances it.
    // (The line is centred on its byte count, so compare lines of equal length.)
    Box a = darkBox(written("A\x84"));
    Box zA = darkBox(written("zA"));
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(darkBox(written("\x84" "A")).left, a.left);
    EXPECT_NEAR(zA.left - a.left, 32, 1);
    EXPECT_TRUE(darkBox(written("")).empty());
}

TEST_F(FontTest, Write3dAdvancesTheMatrixAndReadsSignedBytes)
{
    EXPECT_FALSE(darkBox(written("abc", true)).empty());
    float m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], 0.2f);     // scaled by 0.2
    EXPECT_FLOAT_EQ(m[12], 6.0f);    // three glyphs of 10 units, scaled
    EXPECT_FLOAT_EQ(m[14], -10.0f);
    EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_DEPTH_TEST) || glIsEnabled(GL_TEXTURE_2D));

    // Codes 128 to 131 are negative as signed bytes and draw nothing in 3D.
    EXPECT_TRUE(darkBox(written("\x80\x81\x82\x83", true)).empty());
}

TEST_F(FontTest, PleaseWaitLandsWhereTheOverlaySpacePlacesIt)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    show_startup_frame();
    std::vector<unsigned char> f = frame();
    Box b = darkBox(f);
    ASSERT_FALSE(b.empty());
    // The line starts at (178, 24) of 640x480 and is 14 glyphs of 20x20 units: x 178 to 458,
    // y 24 to 44, scaled by 1.6 to the 1024x768 frame (y counted from the bottom there).
    EXPECT_GE(b.left, 284);
    EXPECT_LE(b.right, 733);
    EXPECT_GE(b.top, 768 - 71);
    EXPECT_LE(b.bottom, 768 - 38);
    // Readable: it spans most of its box and is drawn black.
    EXPECT_GT(b.right - b.left, 400);
    EXPECT_LT(darkest(f), 40);
}

TEST_F(FontTest, ProjectionPairRestoresBothMatrices)
{
    show_frame(-1);
    glTranslatef(1, 2, 3);
    float before[2][16], after[2][16];
    glGetFloatv(GL_PROJECTION_MATRIX, before[0]);
    glGetFloatv(GL_MODELVIEW_MATRIX, before[1]);
    perspective2D(640, 480);
    // (320, 240) lands at the centre of the viewport.
    glColor4f(0, 0, 0, 1);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glPointSize(1);
    glDisable(GL_POINT_SMOOTH);
    glBegin(GL_POINTS);
    glVertex2f(320.5f, 240.5f);
    glEnd();
    glMatrixMode(GL_PROJECTION);  // perspective3D leaves model-view current whatever was current
    perspective3D();
    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetFloatv(GL_PROJECTION_MATRIX, after[0]);
    glGetFloatv(GL_MODELVIEW_MATRIX, after[1]);
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);
    Box b = darkBox(frame());
    EXPECT_EQ(b.count, 1);
    EXPECT_NEAR(b.left, 512, 1);
    EXPECT_NEAR(b.top, 384, 1);
}
