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

void VertexBatch::draw(GLenum mode, int count) const
{
    if (count <= 0)
        return;
    glDrawArrays(mode, 0, count);
    if (colours)
        glColor4fv(colours + 4 * (count - 1));
}
