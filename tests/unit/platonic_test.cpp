// The Platonic solids' tables and the normals sent with their faces.
#include "math/platonic.h"

#include <cmath>
#include <gtest/gtest.h>

struct Solid {
    const char* name;
    const Vector* vertices;
    int vertexCount;
    const int* faces;
    int faceCount, k;
    float circumradius;
};

static const Solid solids[] = {
    {"tetrahedron", tetravertices, 4, &tetrafaces[0][0], 4, 3, std::sqrt(3.0f)},
    {"octahedron", octavertices, 6, &octafaces[0][0], 8, 3, 1.0f},
    {"cube", cubevertices, 8, &cubefaces[0][0], 6, 4, std::sqrt(3.0f)},
    {"icosahedron", icosavertices, 12, &icosafaces[0][0], 20, 3, 1.0f},
    {"dodecahedron", dodecavertices, 20, &dodecafaces[0][0], 12, 5, 1.0f},
};

// Checks the transcribed tables: every vertex on the circumsphere and used, every face a flat
// regular polygon of the solid's edge length, listed clockwise from outside: the face's normal,
// y negated back, points away from the centre.
TEST(Platonic, TablesDescribeRegularSolidsWoundClockwiseFromOutside)
{
    // Normals of unit length, y negated: 4 / sqrt(48) for each component of (4, -4, 4).
    EXPECT_EQ(faceNormal(tetravertices, tetrafaces[0]), Vector(0.577350259f, -0.577350259f, 0.577350259f));
    for (const Solid& s : solids) {
        SCOPED_TRACE(s.name);
        std::vector<int> uses(s.vertexCount, 0);
        for (int v = 0; v < s.vertexCount; v++)
            EXPECT_NEAR(s.vertices[v].length(), s.circumradius, 2e-5);
        float edge = (s.vertices[s.faces[1]] - s.vertices[s.faces[0]]).length();
        for (int f = 0; f < s.faceCount; f++) {
            const int* face = s.faces + f * s.k;
            Vector p0 = s.vertices[face[0]];
            Vector n = faceNormal(s.vertices, face);
            Vector outward(n.x, -n.y, n.z);
            Vector centre;
            for (int i = 0; i < s.k; i++) {
                ASSERT_GE(face[i], 0);
                ASSERT_LT(face[i], s.vertexCount);
                uses[face[i]]++;
                Vector p = s.vertices[face[i]];
                Vector q = s.vertices[face[(i + 1) % s.k]];
                EXPECT_NEAR((q - p).length(), edge, 1e-4) << "face " << f;
                EXPECT_NEAR((p - p0).dotProduct(outward), 0.0f, 1e-4) << "face " << f;
                centre += p;
            }
            EXPECT_GT(centre.dotProduct(outward), 0.0f) << "face " << f;
        }
        for (int v = 0; v < s.vertexCount; v++)
            EXPECT_EQ(uses[v], s.faceCount * s.k / s.vertexCount) << "vertex " << v;
    }
}
