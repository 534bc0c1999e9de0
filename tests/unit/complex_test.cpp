// Complex: quotients by reciprocal, the division guards and the half-plane angle.
#include "math/complex.h"

#include <gtest/gtest.h>

#define EXPECT_COMPLEX(c, r, i) \
    do { Complex c_ = (c); EXPECT_EQ(c_.re, r); EXPECT_EQ(c_.im, i); } while (0)

TEST(Complex, QuotientUsesTheReciprocalAndItsGuard)
{
    EXPECT_COMPLEX(Complex(1, 2) * Complex(3, 4), -5.0f, 10.0f);
    EXPECT_COMPLEX(Complex(-5, 10) / Complex(3, 4), 1.0f, 2.0f);
    // 3 * (1/13) rounds to 0.230769247f; 3 / 13 would give 0.230769232f.
    EXPECT_COMPLEX(Complex(1, 0) / Complex(3, 2), 0.230769247f, -0.153846160f);
    EXPECT_COMPLEX(Complex(5, 5) / Complex(0.001f, 0.001f), 1000000.0f, 1000000.0f);

    Complex a(5, 5);
    EXPECT_COMPLEX(a /= Complex(0.001f, 0.001f), 1000000.0f, 1000000.0f);
    EXPECT_COMPLEX(a, 5.0f, 5.0f);  // left unchanged by the guard
    EXPECT_COMPLEX(a /= Complex(3, 4), 1.4f, -0.199999988f);  // -5 * (1/25), not -5 / 25
}

TEST(Complex, ScalarGuardIncludesTheThresholdAndNegatives)
{
    EXPECT_COMPLEX(Complex(5, 5) / 0.0001f, 0.0f, 0.0f);
    EXPECT_COMPLEX(Complex(5, 5) / -3.0f, 0.0f, 0.0f);
    EXPECT_COMPLEX(Complex(5, 5) / 0.5f, 10.0f, 10.0f);
    Complex a(5, 5);
    EXPECT_COMPLEX(a /= 0.0001f, 0.0f, 0.0f);
    EXPECT_COMPLEX(a, 5.0f, 5.0f);
}

TEST(Complex, AngleIsHalfPlaneAndPowerFollowsIt)
{
    EXPECT_EQ(Complex(-1, 1).angle(), -0.785398185f);  // -pi/4, not 3pi/4
    EXPECT_EQ(Complex(0, 1).angle(), 1.57079637f);
    EXPECT_COMPLEX(Complex(-1, 0).power(1), 1.0f, 0.0f);  // not (-1, 0)
    EXPECT_COMPLEX(Complex(4, 0).power(0.5f), 2.0f, 0.0f);
}
