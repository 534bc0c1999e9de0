// Vector and Matrix: the operations the scenes rely on, with the exact values they give (the
// cross product and normalisation, used only for the solids' face normals, in platonic_test).
#include "math/vector.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Matrix, RotationFollowsTheTableInFloat)
{
    Matrix m;
    EXPECT_EQ(m.makeRotation(0, 0, 0), Matrix(1, 0, 0, 0, 1, 0, 0, 0, 1));

    // A general rotation: the triple products are formed in float, not double.
    float a = 0.3f, b = -1.1f, c = 2.0f;
    m.makeRotation(a, b, c);
    float ca = (float)std::cos((double)a), sa = (float)std::sin((double)a);
    float sb = (float)std::sin((double)b);
    float cc = (float)std::cos((double)c), sc = (float)std::sin((double)c);
    EXPECT_EQ(m.m[3], sa * sb * cc - ca * sc);
    EXPECT_EQ(m.m[7], ca * sb * sc - sa * cc);
    EXPECT_NEAR((Vector(1, 2, 3) * m).length(), Vector(1, 2, 3).length(), 1e-5);  // a rotation
    // The up vector of a small roll: (sin phi, cos phi, 0).
    m.makeRotation(0, 0, 0.02f);
    EXPECT_EQ(Vector(0, 1, 0) * m, Vector((float)std::sin(0.02f), (float)std::cos(0.02f), 0));
}

TEST(Matrix, ScaleAndTheInPlaceProductFromTheOldComponents)
{
    Matrix scale;
    scale.makeScale(2, 3, 4);
    EXPECT_EQ(Vector(1, 1, 1) * scale, Vector(2, 3, 4));
    Matrix swap(0, 1, 0, 1, 0, 0, 0, 0, 1);
    Vector v(1, 2, 3);
    v *= swap;
    EXPECT_EQ(v, Vector(2, 1, 3));
}
