// The cells scene sends its sheet of squares as one vertex array. The reference below is the
// scene as it was first written, one glVertex3f call per corner inside a glBegin(GL_QUADS) block
// that sets the colour first; both must give the same pixels and current colour.
#include "render_fixture.h"

#include "frame/timeline.h"
#include "math/vector.h"
#include "render/font.h"
#include "scenes/cell.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

static void cellImmediate(float pos)
{
    float a = calcSaturate(pos, 0.0f, 1.0f, 26.0f);
    glLoadIdentity();
    gluLookAt(20 + 70 * pos, 0, -(25 * pos + 140), 0, 0, 0, 0, 1, 0);
    glRotatef(20 * pos, 0.2f, 0.1f, 0.54f);
    glRotatef(-45, 0, 1, 0);
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    int k = (int)(19 * pos);
    float f = 19 * pos - k;
    cellMove(cellitems, k + 1, pos);
    cellField(cgrid, cellitems, k + 1);
    float s = calcPosFloat(pos, 0.9f, 1.0f);
    float S = (float)std::pow((double)(s * 3.14592f * 0.5f), 29.0) * 360 + 160;
    float h = calcPosFloat(pos, 0.0f, 0.1f) * 1.3f;

    glBegin(GL_QUADS);
    glColor4f(0, 0, 0, a);
    for (int y = 0; y < CELL_GRID; y++)
        for (int x = 1; x < CELL_GRID; x++) {
            float g = cgrid[y * CELL_GRID + x - 1] - cgrid[y * CELL_GRID + x];
            float e = g * h + 0.3f;
            Vector c = Vector((float)x / 120 - 0.5f, (float)y / 120 - 0.5f, -0.04f * g) * S;
            glVertex3f(c.x - e, c.y - e, c.z);
            glVertex3f(c.x + e, c.y - e, c.z);
            glVertex3f(c.x + e, c.y + e, c.z);
            glVertex3f(c.x - e, c.y + e, c.z);
        }
    glEnd();

    int first = 2 * k + 1;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1, 0, 0, calcSaturate(f, 0.0f, 1.0f, 1.0f));
    glPushMatrix();
    glScalef(2.5f, 2.5f, 2.5f);
    glRotatef(180, 0, 1, 0);
    glTranslatef(-3.2f, 0, 0);
    glPushMatrix();
    font_write3d(greetings[first]);
    glPopMatrix();
    glPushMatrix();
    glTranslatef(0, -1.9f, 0);
    if (first + 1 < CELL_GREETINGS)
        font_write3d(greetings[first + 1]);
    glPopMatrix();
    glPopMatrix();
}

TEST_F(ShowRenderTest, CellSheetAsAVertexArrayDrawsTheSamePixels)
{
    // Growing slopes, a few centres, many centres (squares turned inside out), flying apart.
    for (int time : {132600, 134000, 138500, 143000, 144300}) {
        float before[4], after[4];
        std::vector<unsigned char> reference = alone(cellImmediate, 7, time);
        glGetFloatv(GL_CURRENT_COLOR, before);
        std::vector<unsigned char> arrays = alone(cell, 7, time);
        glGetFloatv(GL_CURRENT_COLOR, after);
        EXPECT_FALSE(allWhite(arrays)) << time;
        EXPECT_TRUE(reference == arrays) << "frame at " << time << " ms differs";
        for (int c = 0; c < 4; c++)
            EXPECT_EQ(before[c], after[c]) << time;
    }
}
