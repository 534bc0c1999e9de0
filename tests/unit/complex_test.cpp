// Complex: the quotient by the reciprocal (its guard and the half-plane angle are pinned by the
// fractal's values in newton_test).
#include "math/complex.h"

#include <gtest/gtest.h>

#define EXPECT_COMPLEX(c, r, i) \
    do { Complex c_ = (c); EXPECT_EQ(c_.re, r); EXPECT_EQ(c_.im, i); } while (0)

// The fractal's step z - f / g: the quotient multiplies by the reciprocal.
TEST(Complex, QuotientUsesTheReciprocal)
{
    EXPECT_COMPLEX(Complex(1, 2) * Complex(3, 4), -5.0f, 10.0f);
    EXPECT_COMPLEX(Complex(-5, 10) / Complex(3, 4), 1.0f, 2.0f);
    // 3 * (1/13) rounds to 0.230769247f; 3 / 13 would give 0.230769232f.
    EXPECT_COMPLEX(Complex(1, 0) / Complex(3, 2), 0.230769247f, -0.153846160f);
}
