// Complex: products and quotients, the division guards and the half-plane angle.
#include "math/complex.h"

#include <gtest/gtest.h>

static void expectComplex(Complex c, float re, float im)
{
    EXPECT_EQ(c.re, re);
    EXPECT_EQ(c.im, im);
}

TEST(Complex, ProductAndQuotient)
{
    expectComplex(Complex(1, 2) * Complex(3, 4), -5, 10);
    expectComplex(Complex(-5, 10) / Complex(3, 4), 1, 2);
    // Formed with the reciprocal of |b|^2 = 13: 3 * (1/13) rounds to 0.230769247f, where
    // dividing 3 by 13 directly would give 0.230769232f.
    expectComplex(Complex(1, 0) / Complex(3, 2), 0.230769247f, -0.153846160f);

    Complex a(1, 2);
    Complex r = a *= Complex(3, 4);
    expectComplex(a, -5, 10);
    r.re = 0;
    EXPECT_EQ(a.re, -5.0f);
}

TEST(Complex, QuotientByATinyNumberIsTheFixedLargeValue)
{
    expectComplex(Complex(5, 5) / Complex(0.001f, 0.001f), 1000000, 1000000);
    expectComplex(Complex(0, 0) / Complex(0, 0), 1000000, 1000000);

    Complex a(5, 5);
    expectComplex(a /= Complex(0.001f, 0.001f), 1000000, 1000000);
    expectComplex(a, 5, 5);
    expectComplex(a /= Complex(3, 4), 1.4f, -0.199999988f);  // -5 * (1/25), not -5 / 25
}

TEST(Complex, ScalarDivisionGuardIncludesTheThresholdAndNegatives)
{
    expectComplex(Complex(5, 5) / 0.0001f, 0, 0);
    expectComplex(Complex(5, 5) / -3.0f, 0, 0);
    expectComplex(Complex(5, 5) / 0.5f, 10, 10);
    EXPECT_NE((Complex(1, 1) / 0.00010001f).re, 0.0f);

    Complex a(5, 5);
    expectComplex(a /= 0.0001f, 0, 0);
    expectComplex(a, 5, 5);
    expectComplex(a /= 0.5f, 10, 10);
    expectComplex(a, 10, 10);
}

TEST(Complex, AngleIsHalfPlane)
{
    EXPECT_EQ(Complex(-1, 1).angle(), -0.785398185f);  // -pi/4, not 3pi/4
    EXPECT_EQ(Complex(0, 1).angle(), 1.57079637f);
    EXPECT_EQ(Complex(1, 0).angle(), 0.0f);
    EXPECT_EQ(Complex(3, 4).abs(), 5.0f);
}

TEST(Complex, PowerUsesTheHalfPlaneAngle)
{
    expectComplex(Complex(-1, 0).power(1), 1, 0);  // not (-1, 0)
    Complex sq = Complex(0, 1).power(2);
    EXPECT_NEAR(sq.re, -1.0f, 1e-6);
    EXPECT_NEAR(sq.im, 0.0f, 1e-6);
    expectComplex(Complex(4, 0).power(0.5f), 2, 0);
}
