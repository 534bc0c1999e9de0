// Vertex batches draw long point and line runs in several draws: the pixels must be those of one
// glBegin/glEnd block of the same vertices and colours, where the draws meet too.
#include "render/batch.h"
#include "render_fixture.h"

#include <GL/gl.h>
#include <cmath>
#include <vector>

class BatchRenderTest : public RenderTest {
protected:
    // A spiral of n vertices over the whole frame, with a colour each (dark, translucent, varying),
    // drawn smooth and blended so that every overlap and every seam shows in the pixels.
    void SetUp() override
    {
        vertices.clear();
        colours.clear();
        for (int i = 0; i < n; i++) {
            float a = 0.05f * (float)i, r = 0.2f + 3.6f * (float)i / (float)n;
            vertices.push_back(Vector(r * std::cos(a), r * std::sin(a), 0));
            float c[4] = {0.5f * (float)(i % 7) / 7, 0.3f * (float)(i % 5) / 5, 0.4f * (float)(i % 3) / 3,
                          0.3f + 0.5f * (float)(i % 11) / 11};
            colours.insert(colours.end(), c, c + 4);
        }
    }

    void begin(GLenum mode, float size)
    {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-4, 4, -3, 3, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(mode == GL_POINTS ? GL_POINT_SMOOTH : GL_LINE_SMOOTH);
        glPointSize(size);
        glLineWidth(size);
    }

    std::vector<unsigned char> immediate(GLenum mode, int count, float size)
    {
        begin(mode, size);
        glBegin(mode);
        for (int i = 0; i < count; i++) {
            glColor4fv(&colours[4 * i]);
            glVertex3f(vertices[i].x, vertices[i].y, vertices[i].z);
        }
        glEnd();
        return afterwards();
    }

    std::vector<unsigned char> batched(GLenum mode, int count, float size)
    {
        begin(mode, size);
        VertexBatch(vertices.data(), colours.data()).draw(mode, count);
        return afterwards();
    }

    // The frame, and a point drawn after the block without a colour of its own: it takes the
    // last vertex's colour either way.
    std::vector<unsigned char> afterwards()
    {
        glPointSize(40);
        glBegin(GL_POINTS);
        glVertex3f(-3.5f, 2.5f, 0);
        glEnd();
        return frame();
    }

    const int n = 2501;
    std::vector<Vector> vertices;
    std::vector<float> colours;
};

// Counts around the size the draws are cut at and well past it, odd ones for lines (the lone
// last vertex is no line), a strip whose pieces must share their end vertices.
TEST_F(BatchRenderTest, LongRunsDrawAsOneBlock)
{
    struct Case {
        GLenum mode;
        float size;
    } cases[] = {{GL_POINTS, 3}, {GL_LINES, 3}, {GL_LINE_STRIP, 2}};
    for (const Case& c : cases)
        for (int count : {599, 600, 601, 1199, 1200, 1201, 2501}) {
            EXPECT_TRUE(batched(c.mode, count, c.size) == immediate(c.mode, count, c.size))
                << "mode " << c.mode << ", " << count << " vertices";
        }
}
