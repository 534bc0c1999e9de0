// The web GL layer's immediate mode: glBegin/glEnd and the current vertex. A block's vertices
// are kept whole and drawn at glEnd, an attribute the block never varies as a constant.
#include "render/web/gl_draw.h"
#include "render/web/gl_batch.h"
#include "render/web/gl_list.h"
#include "render/web/gl_state.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace qgl {

namespace {

GLenum primitive = 0;
bool inBeginEnd = false;
std::vector<Vtx> immediate;

// Vertex i's values of one attribute (floats of them at offset in the vertex), or, when every
// vertex has the same, that value as a constant.
Attrib attribute(const std::vector<Vtx>& v, size_t offset, int floats)
{
    Attrib a;
    const unsigned char* first = (const unsigned char*)v.data() + offset;
    a.size = floats;
    a.stride = sizeof(Vtx);
    for (size_t i = 1; i < v.size(); i++)
        if (std::memcmp(first + i * sizeof(Vtx), first, floats * sizeof(float)) != 0) {
            a.data = first;
            return a;
        }
    a.value = (const float*)first;
    return a;
}

}  // namespace

Vtx currentVertex(float x, float y, float z, float w)
{
    Vtx v;
    v.p[0] = x, v.p[1] = y, v.p[2] = z, v.p[3] = w;
    std::memcpy(v.c, S.color, sizeof v.c);
    std::memcpy(v.t, S.texcoord, sizeof v.t);
    std::memcpy(v.n, S.normal, sizeof v.n);
    return v;
}

void drawVertices(GLenum mode, const std::vector<Vtx>& v)
{
    if (v.empty())
        return;
    Vertices d;
    d.count = (int)v.size();
    d.pos.data = (const unsigned char*)v.data() + offsetof(Vtx, p);
    d.pos.size = 4;
    d.pos.stride = sizeof(Vtx);
    d.col = attribute(v, offsetof(Vtx, c), 4);
    d.tex = attribute(v, offsetof(Vtx, t), 2);
    d.nrm = attribute(v, offsetof(Vtx, n), 3);
    submit(mode, d);
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
    drawVertices(primitive, immediate);
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
