// The Platonic solids' tables and their immediate-mode drawing.
#include "math/platonic.h"

#include <GL/gl.h>

static const float a = 0.52573f;
static const float b = 0.85065f;
static const float s = 0.57735f;
static const float t = 0.93417f;
static const float u = 0.35682f;

Vector tetravertices[4] = {
    Vector(-1, -1, -1), Vector(1, 1, -1), Vector(1, -1, 1), Vector(-1, 1, 1),
};

Vector octavertices[6] = {
    Vector(1, 0, 0), Vector(0, -1, 0), Vector(-1, 0, 0),
    Vector(0, 1, 0), Vector(0, 0, 1),  Vector(0, 0, -1),
};

Vector cubevertices[8] = {
    Vector(-1, -1, -1), Vector(1, -1, -1), Vector(1, 1, -1), Vector(-1, 1, -1),
    Vector(-1, -1, 1),  Vector(1, -1, 1),  Vector(1, 1, 1),  Vector(-1, 1, 1),
};

Vector icosavertices[12] = {
    Vector(0, -a, b),  Vector(b, 0, a),   Vector(b, 0, -a), Vector(-b, 0, -a),
    Vector(-b, 0, a),  Vector(-a, b, 0),  Vector(a, b, 0),  Vector(a, -b, 0),
    Vector(-a, -b, 0), Vector(0, -a, -b), Vector(0, a, -b), Vector(0, a, b),
};

Vector dodecavertices[20] = {
    Vector(-s, -s, s), Vector(t, u, 0),   Vector(t, -u, 0),  Vector(-t, u, 0),
    Vector(-t, -u, 0), Vector(0, t, u),   Vector(0, t, -u),  Vector(u, 0, -t),
    Vector(-u, 0, -t), Vector(0, -t, -u), Vector(0, -t, u),  Vector(u, 0, t),
    Vector(-u, 0, t),  Vector(s, s, -s),  Vector(s, s, s),   Vector(-s, s, -s),
    Vector(-s, s, s),  Vector(s, -s, -s), Vector(s, -s, s),  Vector(-s, -s, -s),
};

const int tetrafaces[4][3] = {{1, 2, 3}, {1, 0, 2}, {3, 2, 0}, {0, 1, 3}};

const int octafaces[8][3] = {
    {4, 0, 1}, {4, 1, 2}, {4, 2, 3}, {4, 3, 0}, {5, 1, 0}, {5, 2, 1}, {5, 3, 2}, {5, 0, 3},
};

const int cubefaces[6][4] = {
    {0, 1, 2, 3}, {5, 4, 7, 6}, {6, 2, 1, 5}, {3, 7, 4, 0}, {7, 3, 2, 6}, {5, 1, 0, 4},
};

const int icosafaces[20][3] = {
    {6, 2, 1},  {2, 7, 1},  {5, 4, 3},  {8, 3, 4},  {11, 5, 6}, {10, 6, 5}, {2, 10, 9},
    {3, 9, 10}, {9, 8, 7},  {0, 7, 8},  {1, 0, 11}, {4, 11, 0}, {10, 2, 6}, {11, 6, 1},
    {10, 5, 3}, {11, 4, 5}, {9, 7, 2},  {0, 1, 7},  {8, 9, 3},  {0, 8, 4},
};

const int dodecafaces[12][5] = {
    {1, 2, 18, 11, 14}, {1, 13, 7, 17, 2}, {3, 4, 19, 8, 15},   {3, 16, 12, 0, 4},
    {3, 15, 6, 5, 16},  {1, 14, 5, 6, 13}, {2, 17, 9, 10, 18},  {4, 0, 10, 9, 19},
    {7, 8, 19, 9, 17},  {6, 15, 8, 7, 13}, {5, 14, 11, 12, 16}, {10, 0, 12, 11, 18},
};

Vector faceNormal(const Vector* vertices, const int* face)
{
    Vector p0 = vertices[face[0]];
    Vector p1 = vertices[face[1]];
    Vector p2 = vertices[face[2]];
    Vector n = (p2 - p0).crossProduct(p1 - p0);
    n.normalize();
    return n;
}

// The normal and the K vertices of each face, inside the caller's glBegin.
template <int K>
static void emitFaces(const Vector* vertices, const int (*faces)[K], int faceCount)
{
    for (int f = 0; f < faceCount; f++) {
        Vector n = faceNormal(vertices, faces[f]);
        glNormal3fv(&n.x);
        for (int i = 0; i < K; i++)
            glVertex3fv(&vertices[faces[f][i]].x);
    }
}

void tetrahedron()
{
    glBegin(GL_TRIANGLES);
    emitFaces(tetravertices, tetrafaces, 4);
    glEnd();
}

void octahedron()
{
    glBegin(GL_TRIANGLES);
    emitFaces(octavertices, octafaces, 8);
    glEnd();
}

void hexahedron()
{
    glBegin(GL_QUADS);
    emitFaces(cubevertices, cubefaces, 6);
    glEnd();
}

void icosahedron()
{
    glBegin(GL_TRIANGLES);
    emitFaces(icosavertices, icosafaces, 20);
    glEnd();
}

void dodecahedron()
{
    for (int f = 0; f < 12; f++) {
        glBegin(GL_POLYGON);
        emitFaces(dodecavertices, dodecafaces + f, 1);
        glEnd();
    }
}
