// The math library's GL drawing: the path's line strip and the solids' polygons, headless.
#include "render_fixture.h"

#include "math/hermite.h"
#include "math/platonic.h"

#include <GL/gl.h>
#include <algorithm>

class MathDrawTest : public RenderTest {
protected:
    // Plain clip space: identity matrices, no blending, depth, lighting or culling, black frame.
    static void plainState()
    {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_BLEND);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glDisable(GL_FOG);
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

    // The strip runs along y = 0.25 from x = -0.5 to x = 0.5: rows near 288, columns 256 to 768.
    std::vector<unsigned char> rgb = frame();
    int count = 0, left = HeadlessContext::WIDTH, right = -1, top = HeadlessContext::HEIGHT, bottom = -1;
    for (int y = 0; y < HeadlessContext::HEIGHT; y++)
        for (int x = 0; x < HeadlessContext::WIDTH; x++) {
            const unsigned char* px = &rgb[((size_t)y * HeadlessContext::WIDTH + x) * 3];
            if (px[0] == 255 && px[1] == 255 && px[2] == 255) {
                count++;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    EXPECT_GT(count, 400);
    EXPECT_NEAR(left, 256, 2);
    EXPECT_NEAR(right, 766, 6);  // the last vertex is at t = 0.995
    EXPECT_NEAR(top, 287, 2);
    EXPECT_NEAR(bottom, 288, 2);
}

// Triangles each solid hands to GL, read back in feedback mode: a polygon of k vertices counts
// as k - 2, however the implementation splits quads and pentagons.
static int fedBackTriangles(void (*solid)())
{
    static GLfloat buffer[65536];
    glFeedbackBuffer(65536, GL_3D, buffer);
    glRenderMode(GL_FEEDBACK);
    solid();
    int n = glRenderMode(GL_RENDER);
    int triangles = 0;
    for (int i = 0; i < n;) {
        EXPECT_EQ(buffer[i], (GLfloat)GL_POLYGON_TOKEN);
        if (buffer[i] != (GLfloat)GL_POLYGON_TOKEN)
            return -1;
        int k = (int)buffer[i + 1];
        triangles += k - 2;
        i += 2 + 3 * k;
    }
    return triangles;
}

TEST_F(MathDrawTest, SolidsDrawEveryFace)
{
    plainState();
    glScalef(0.5f, 0.5f, 0.5f);  // the cube's circumradius is sqrt(3): keep every vertex in view
    EXPECT_EQ(fedBackTriangles(tetrahedron), 4);
    EXPECT_EQ(fedBackTriangles(octahedron), 8);
    EXPECT_EQ(fedBackTriangles(hexahedron), 6 * 2);
    EXPECT_EQ(fedBackTriangles(icosahedron), 20);
    EXPECT_EQ(fedBackTriangles(dodecahedron), 12 * 3);
    glLoadIdentity();
}
