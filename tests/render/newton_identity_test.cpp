// The Newton fractal scene sends its squares as one vertex array. The reference below is the
// scene's drawing as it was first written, one glVertex call per corner inside a glBegin(GL_QUADS)
// block that sets the colour first; both must give the same pixels and current colour.
#include "render_fixture.h"

#include "frame/show.h"
#include "frame/timeline.h"
#include "math/vector.h"
#include "scenes/newton.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <vector>

static void newtonImmediate(float t)
{
    static std::vector<float> grid(NEWTON_SIZE * NEWTON_SIZE);
    float fade = calcSaturate(t, 0.0f, 1.0f, 6.0f);
    glLoadIdentity();
    gluLookAt(0, 0, -160, 0, 0, 0, 0, 1, 0);
    glRotatef(30.0f * t, 0.2f, 0.1f, 0.54f);
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    float a = (float)(newtonQuarter(t) - 1) * 0.25f;
    float e = calcSaturate(t, a, a + 0.25f, 8.0f);
    newtonGrid(t, grid.data());
    glBegin(GL_QUADS);
    glColor4f(0, 0, 0, fade * e);
    for (int i = 0; i < NEWTON_SIZE; i++)
        for (int j = 0; j < NEWTON_SIZE; j++) {
            Vector p(130.0f * ((float)j / 100.0f - 0.5f), 130.0f * ((float)i / 100.0f - 0.5f), 0.0f);
            float h = newtonHalfSize(grid[i * NEWTON_SIZE + j]);
            Vector v0 = p + Vector(-h, -h, 0), v1 = p + Vector(h, -h, 0);
            Vector v2 = p + Vector(h, h, 0), v3 = p + Vector(-h, h, 0);
            glVertex3fv(&v0.x);
            glVertex3fv(&v1.x);
            glVertex3fv(&v2.x);
            glVertex3fv(&v3.x);
        }
    glEnd();
}

TEST_F(ShowRenderTest, NewtonVertexArrayDrawsTheSamePixelsAsOneCallPerCorner)
{
    // The middle of each quarter, each with its own function pair, and one late in a quarter.
    for (int time : {69500, 76500, 83500, 90500, 92000}) {
        float before[4], after[4];
        std::vector<unsigned char> reference = alone(newtonImmediate, 3, time);
        glGetFloatv(GL_CURRENT_COLOR, before);
        std::vector<unsigned char> arrays = alone(newton, 3, time);
        glGetFloatv(GL_CURRENT_COLOR, after);
        EXPECT_FALSE(allWhite(arrays)) << time;
        EXPECT_TRUE(reference == arrays) << "frame at " << time << " ms differs";
        for (int c = 0; c < 4; c++)
            EXPECT_EQ(before[c], after[c]) << time;
    }
}
