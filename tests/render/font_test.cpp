// The bitmap font and the start-up frame, drawn headless and read back.
#include "render_fixture.h"

#include "frame/show.h"
#include "render/font.h"

#include <GL/gl.h>

class FontTest : public RenderTest {};

TEST_F(FontTest, PleaseWaitLandsWhereTheOverlaySpacePlacesIt)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    show_startup_frame();
    Box b = darkBox(frame());
    ASSERT_FALSE(b.empty());
    // The line starts at (178, 24) of 640x480 and is 14 glyphs of 20x20 units: x 178 to 458,
    // y 24 to 44, scaled by 1.6 to the 1024x768 frame (y counted from the bottom there).
    EXPECT_GE(b.left, 284);
    EXPECT_LE(b.right, 733);
    EXPECT_GE(b.top, 768 - 71);
    EXPECT_LE(b.bottom, 768 - 38);
    // Readable: it spans most of its box and is drawn black.
    EXPECT_GT(b.right - b.left, 400);
    EXPECT_LT(darkest(frame()), 40);
}
