// Complex: the quotient by the reciprocal and its guard, and the half-plane angle.
#include "math/complex.h"

#include <gtest/gtest.h>

#define EXPECT_COMPLEX(c, r, i) \
    do { Complex c_ = (c); EXPECT_EQ(c_.re, r); EXPECT_EQ(c_.im, i); } while (0)

// The fractal's step z - f / g: the quotient multiplies by the reciprocal, and a divisor whose
// squared size is below 0.00001 gives 1000000 + 1000000 i.
TEST(Complex, QuotientUsesTheReciprocalAndItsGuard)
{
    EXPECT_COMPLEX(Complex(1, 2) * Complex(3, 4), -5.0f, 10.0f);
    EXPECT_COMPLEX(Complex(-5, 10) / Complex(3, 4), 1.0f, 2.0f);
    // 3 * (1/13) rounds to 0.230769247f; 3 / 13 would give 0.230769232f.
    EXPECT_COMPLEX(Complex(1, 0) / Complex(3, 2), 0.230769247f, -0.153846160f);
    EXPECT_COMPLEX(Complex(5, 5) / Complex(0.001f, 0.001f), 1000000.0f, 1000000.0f);
}

// The fractal's value is the angle where a point ends: atan(im / re), a half-plane angle.
TEST(Complex, AngleIsHalfPlane)
{
    EXPECT_EQ(Complex(-1, 1).angle(), -0.785398185f);  // -pi/4, not 3pi/4
    EXPECT_EQ(Complex(0, 1).angle(), 1.57079637f);
}
