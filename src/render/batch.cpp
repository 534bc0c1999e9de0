// Vertex batches: the client array state around a scene's glDrawArrays, and the current colour
// after it.
#include "render/batch.h"

VertexBatch::VertexBatch(const Vector* vertices, const float* colours_) : colours(colours_)
{
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vector), vertices);
    if (colours) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_FLOAT, 0, colours);
    }
}

VertexBatch::VertexBatch(int size, const float* vertices) : colours(nullptr)
{
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(size, GL_FLOAT, 0, vertices);
}

VertexBatch::~VertexBatch() { glPopClientAttrib(); }

void VertexBatch::setVertices(const Vector* vertices)
{
    glVertexPointer(3, GL_FLOAT, sizeof(Vector), vertices);
}

// Points and lines (drawn smooth, or wider than a pixel) go through the primitive stages of
// Mesa's software renderer, which resets a field of every vertex of the draw each time its small
// vertex buffer fills: one draw costs the square of its size. Cut into draws of this many
// vertices (a multiple of 1 and 2), a frame of 50000 points costs a fifth of one draw of them,
// and the renderer's per-draw buffers are small enough to be reused rather than taken from the
// kernel afresh. Filled quads do not take that path, and cutting them only adds draws.
static const int CHUNK = 600;

void VertexBatch::draw(GLenum mode, int count) const
{
    if (count <= 0)
        return;
    if (mode == GL_LINE_STRIP) {
        // Strips that share their end vertices draw the same segments, in the same order.
        for (int first = 0; first < count - 1; first += CHUNK - 1)
            glDrawArrays(mode, first, count - first < CHUNK ? count - first : CHUNK);
    } else if (mode == GL_POINTS || mode == GL_LINES) {
        // Whole lines only: a lone last vertex is left out, as GL leaves it out.
        int whole = mode == GL_LINES ? count - count % 2 : count;
        for (int first = 0; first < whole; first += CHUNK)
            glDrawArrays(mode, first, whole - first < CHUNK ? whole - first : CHUNK);
    } else {
        glDrawArrays(mode, 0, count);
    }
    if (colours)
        glColor4fv(colours + 4 * (count - 1));
}
