// The web GL layer's draw path: glBegin/glEnd and the current vertex, and the one draw every
// primitive ends in, which turns quads, quad strips, polygons and line loops into what WebGL
// draws and widens lines into instanced screen-space quads two endpoints wide.
#include "render/web/gl_state.h"

#include <cstddef>
#include <cstring>

namespace qgl {

namespace {

GLuint vao = 0, vbo = 0, cornerVbo = 0;
GLenum primitive = 0;
bool inBeginEnd = false;
std::vector<Vtx> immediate;

void pointer(GLuint attr, int floats, size_t stride, size_t offset, int divisor)
{
    glEnableVertexAttribArray(attr);
    glVertexAttribPointer(attr, floats, GL_FLOAT, GL_FALSE, (GLsizei)stride, (const void*)offset);
    glVertexAttribDivisor(attr, divisor);
}

}  // namespace

void makeDrawBuffers()
{
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glGenBuffers(1, &cornerVbo);
    // A line's four corners: (0 at the first end, 1 at the second; -1 and 1 across).
    const float corners[8] = {0, -1, 0, 1, 1, -1, 1, 1};
    glBindBuffer(GL_ARRAY_BUFFER, cornerVbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof corners, corners, GL_STATIC_DRAW);
}

Vtx currentVertex(float x, float y, float z, float w)
{
    Vtx v;
    v.p[0] = x, v.p[1] = y, v.p[2] = z, v.p[3] = w;
    std::memcpy(v.c, S.color, sizeof v.c);
    std::memcpy(v.t, S.texcoord, sizeof v.t);
    std::memcpy(v.n, S.normal, sizeof v.n);
    return v;
}

void draw(GLenum mode, std::vector<Vtx>& v)
{
    int n = (int)v.size();
    if (n == 0)
        return;
    if (mode == GL_QUADS) {
        std::vector<Vtx> tri;
        tri.reserve(n / 4 * 6);
        for (int q = 0; q + 3 < n; q += 4) {
            const int order[6] = {0, 1, 2, 0, 2, 3};
            for (int k : order)
                tri.push_back(v[q + k]);
        }
        v.swap(tri);
        mode = GL_TRIANGLES;
        n = (int)v.size();
    } else if (mode == GL_QUAD_STRIP) {
        mode = GL_TRIANGLE_STRIP;
    } else if (mode == GL_POLYGON) {
        mode = GL_TRIANGLE_FAN;
    } else if (mode == GL_LINE_LOOP) {
        v.push_back(v[0]);
        mode = GL_LINE_STRIP;
        n++;
    }
    int kind = mode == GL_POINTS ? 1 : mode == GL_LINES || mode == GL_LINE_STRIP ? 2 : 0;
    int instances = mode == GL_LINES ? n / 2 : n - 1;
    if (kind == 2 && instances <= 0)
        return;
    if (n == 0)
        return;

    glUseProgram(program);
    sendState(kind);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(v.size() * sizeof(Vtx)), v.data(), GL_STREAM_DRAW);
    const size_t sz = sizeof(Vtx);
    if (kind == 2) {
        size_t stride = mode == GL_LINES ? 2 * sz : sz;
        pointer(A_POS, 4, stride, offsetof(Vtx, p), 1);
        pointer(A_COL, 4, stride, offsetof(Vtx, c), 1);
        pointer(A_POS1, 4, stride, sz + offsetof(Vtx, p), 1);
        pointer(A_COL1, 4, stride, sz + offsetof(Vtx, c), 1);
        glDisableVertexAttribArray(A_TEX);
        glDisableVertexAttribArray(A_NRM);
        glBindBuffer(GL_ARRAY_BUFFER, cornerVbo);
        pointer(A_CORNER, 2, 0, 0, 0);
        glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, instances);
        return;
    }
    pointer(A_POS, 4, sz, offsetof(Vtx, p), 0);
    pointer(A_COL, 4, sz, offsetof(Vtx, c), 0);
    pointer(A_TEX, 2, sz, offsetof(Vtx, t), 0);
    pointer(A_NRM, 3, sz, offsetof(Vtx, n), 0);
    glDisableVertexAttribArray(A_POS1);
    glDisableVertexAttribArray(A_COL1);
    glDisableVertexAttribArray(A_CORNER);
    glDrawArrays(mode, 0, n);
}

}  // namespace qgl

using namespace qgl;

void qgl_Begin(GLenum mode)
{
    RECORD(qgl_Begin(mode));
    primitive = mode;
    inBeginEnd = true;
    immediate.clear();
}

void qgl_End()
{
    RECORD(qgl_End());
    if (!inBeginEnd) {
        raise(GL_INVALID_OPERATION);
        return;
    }
    inBeginEnd = false;
    draw(primitive, immediate);
}

void qgl_Vertex4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w)
{
    RECORD(qgl_Vertex4f(x, y, z, w));
    immediate.push_back(currentVertex(x, y, z, w));
}

void qgl_Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    RECORD(qgl_Color4f(r, g, b, a));
    S.color[0] = r, S.color[1] = g, S.color[2] = b, S.color[3] = a;
}

void qgl_Normal3f(GLfloat x, GLfloat y, GLfloat z)
{
    RECORD(qgl_Normal3f(x, y, z));
    S.normal[0] = x, S.normal[1] = y, S.normal[2] = z;
}

void qgl_TexCoord2f(GLfloat s, GLfloat t)
{
    RECORD(qgl_TexCoord2f(s, t));
    S.texcoord[0] = s, S.texcoord[1] = t;
}

void qgl_PointSize(GLfloat size)
{
    RECORD(qgl_PointSize(size));
    S.pointSize = size;
}

void qgl_LineWidth(GLfloat width)
{
    RECORD(qgl_LineWidth(width));
    S.lineWidth = width;
}
