// Vertex arrays for the scenes' geometry: the lines, points and quads of a glBegin/glEnd block
// sent as client arrays with glDrawArrays, drawing the same primitives in the same order.
#ifndef QUENRASTILAN_RENDER_BATCH_H
#define QUENRASTILAN_RENDER_BATCH_H

#include "math/vector.h"

#include <GL/gl.h>

// While a batch lives, GL draws from its arrays: the constructor pushes the client array state
// and enables the vertex array (and the colour array when given colours), the destructor pops
// it, leaving the client arrays as they were. The arrays stay the caller's.
class VertexBatch {
public:
    // Vertices one Vector apart and, when `colours` is not null, four floats (RGBA) per vertex;
    // without colours the vertices are drawn in the current colour.
    explicit VertexBatch(const Vector* vertices, const float* colours = nullptr);
    // Vertices of `size` packed floats each (2 for x, y), drawn in the current colour.
    VertexBatch(int size, const float* vertices);
    ~VertexBatch();
    VertexBatch(const VertexBatch&) = delete;
    VertexBatch& operator=(const VertexBatch&) = delete;

    // Points the vertex array at other vertices of the same layout.
    void setVertices(const Vector* vertices);
    // glDrawArrays(mode, 0, count), points, lines and line strips in draws of at most 600
    // vertices (a strip's pieces share their end vertices); nothing at all for count <= 0.
    // With colours, the last vertex's colour is then made current: glColor before each vertex
    // would have left it so, and a draw that follows without setting a colour relies on it
    // (after glDrawArrays with a colour array GL leaves the current colour undefined).
    void draw(GLenum mode, int count) const;

private:
    const float* colours;
};

#endif
