// The math library's GL drawing: the path's line strip, headless.
#include "render_fixture.h"

#include "math/hermite.h"

#include <GL/gl.h>

class MathDrawTest : public RenderTest {
protected:
    // Plain clip space (identity matrices), nothing blended, depth-tested, lit or fogged, black frame.
    static void plainState()
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        for (GLenum cap : {GL_BLEND, GL_DEPTH_TEST, GL_LIGHTING, GL_FOG})
            glDisable(cap);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
};

TEST_F(MathDrawTest, PathDrawsAWhiteStripAndRestoresColourAndTexturing)
{
    plainState();
    glEnable(GL_TEXTURE_2D);
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);

    Path p;
    p.addpoint(Vector(-0.5f, 0.25f, 0));
    p.addpoint(Vector(0, 0.25f, 0));
    p.addpoint(Vector(0.5f, 0.25f, 0));
    p.draw();

    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.25f);
    EXPECT_EQ(colour[2], 0.75f);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_TEXTURE_2D);

    // The strip runs along y = 0.25 from x = -0.5 to x = 0.5: row 287 or 288, columns 256 to 766
    // (the last vertex is at t = 0.995).
    std::vector<unsigned char> rgb = frame();
    auto white = [&](int x, int y) { return rgb[((size_t)y * HeadlessContext::WIDTH + x) * 3] == 255; };
    EXPECT_TRUE(white(512, 287) || white(512, 288));
    EXPECT_TRUE(white(260, 287) || white(260, 288));
    EXPECT_FALSE(white(250, 287) || white(250, 288));
    EXPECT_FALSE(white(512, 280) || white(512, 296));
}
