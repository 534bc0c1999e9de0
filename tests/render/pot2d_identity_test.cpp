// The potential field scene sends each layer of squares as a vertex array. The reference below
// is the scene's drawing as it was first written, one glVertex call per corner inside a single
// glBegin(GL_QUADS) block with the colour set per layer; both must give the same pixels and
// leave the same current colour.
#include "render_fixture.h"

#include "frame/show.h"
#include "frame/timeline.h"
#include "math/vector.h"
#include "scenes/pot2d.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

static void pot2dImmediate(float t)
{
    static int piirrettava = 0;
    float fade = calcSaturate(t, 0.0f, 1.0f, 6.0f);
    glLoadIdentity();
    gluLookAt(0, 0, 70.0f * (float)std::cos((double)(18.0f * t)) - 160.0f, 0, 0, 0, 0, 1, 0);
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    pot2dField(t, potgrid[piirrettava % POT2D_LAYERS]);
    piirrettava = (piirrettava + 1) % POT2D_LAYERS;
    glRotatef(40.0f * t + 12.0f, 0.1f, 0.13f, 0.7f);
    glBegin(GL_QUADS);
    for (int k = 0; k < POT2D_LAYERS; k++) {
        glColor4f(0, 0, 0, fade * (0.2f * ((float)k / 16.0f) + 0.2f));
        const float* grid = potgrid[(piirrettava + k) % POT2D_LAYERS];
        for (int i = 0; i < POT2D_SIZE; i++)
            for (int j = 0; j < POT2D_SIZE; j++) {
                Vector p(90.0f * ((float)j / 55.0f - 0.5f), 90.0f * ((float)i / 55.0f - 0.5f),
                         15.0f * (float)k);
                float s = 1.5f * grid[i * POT2D_SIZE + j];
                Vector v0 = p + Vector(-s, -s, 0), v1 = p + Vector(s, -s, 0);
                Vector v2 = p + Vector(s, s, 0), v3 = p + Vector(-s, s, 0);
                glVertex3fv(&v0.x);
                glVertex3fv(&v1.x);
                glVertex3fv(&v2.x);
                glVertex3fv(&v3.x);
            }
    }
    glEnd();
}

class Pot2dIdentity : public ShowRenderTest {
protected:
    // The frame after sixteen frames at 60 fps ending at `last`: by then every grid of the ring
    // holds one of these frames' fields, in the same order whichever grid the ring began at.
    static std::vector<unsigned char> sixteenFrames(void (*draw)(float), int last, float colour[4])
    {
        for (int n = 15; n >= 0; n--) {
            show_frame(244500);  // a cleared frame with the loop's GL state
            draw(laskePos(last - n * 1000 / 60, timeline[2]));
        }
        glGetFloatv(GL_CURRENT_COLOR, colour);
        return frame();
    }
};

TEST_F(Pot2dIdentity, VertexArraysDrawTheSamePixelsAsOneCallPerCorner)
{
    // Waves, the cross-fade between the fields, rings, and the fade-out.
    for (int last : {44000, 52000, 53000, 61000, 65500}) {
        float before[4], after[4];
        std::vector<unsigned char> reference = sixteenFrames(pot2dImmediate, last, before);
        std::vector<unsigned char> arrays = sixteenFrames(pot2d, last, after);
        EXPECT_FALSE(allWhite(arrays)) << last;
        EXPECT_TRUE(reference == arrays) << "frame at " << last << " ms differs";
        for (int c = 0; c < 4; c++)
            EXPECT_EQ(before[c], after[c]) << last;
        GLboolean vertexArray = GL_TRUE;
        glGetBooleanv(GL_VERTEX_ARRAY, &vertexArray);
        EXPECT_FALSE(vertexArray);
    }
    // An empty ring again for the tests that follow in this process.
    pot2d_free();
    pot2d_init();
}
