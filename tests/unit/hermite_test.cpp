// Paths at and past the ends of their point list. (The steps between points and the chord
// tangents, with the segments' argument order, are pinned by the solids' loop in platon_test.)
#include "math/hermite.h"

#include <gtest/gtest.h>

TEST(Path, StopsAtTheLastPointOrTheOnlyOne)
{
    Path p;
    for (float x : {0.0f, 1.0f, 2.0f})
        p.addpoint(Vector(x, 0, 0));
    EXPECT_EQ(p.getValue(1), Vector(2, 0, 0));
    EXPECT_EQ(p.getValue(1.25f), Vector(2, 0, 0));
    EXPECT_EQ(p.getValue(3.0f), Vector(2, 0, 0));
    // t < 0: u = -0.1, floor -1 leaves the cursor on the first point and s = 0.9.
    EXPECT_NEAR(p.getValue(-0.05f).x, 0.9f, 1e-6);

    // With one point it stays there; with none at the origin.
    Path one, none;
    one.addpoint(Vector(4, -2, 7));
    EXPECT_TRUE(one.getValue(0.7f) == Vector(4, -2, 7) && one.getValue(1) == Vector(4, -2, 7));
    EXPECT_EQ(none.getValue(0.5f), Vector(0, 0, 0));
}
