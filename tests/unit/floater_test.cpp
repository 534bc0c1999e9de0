// Floater: birth from the shared generator, the bound, the minimum step and death in place.
#include "math/floater.h"

#include "math/random.h"

#include <gtest/gtest.h>

static Floater placed(Vector p, float life)
{
    Floater f(true, 0.05f, 1.0f);
    f.position = f.previous = p;
    f.life = f.maxlife = life;
    return f;
}

TEST(Floater, BirthDrawsLifeThenPosition)
{
    setSeed(1);
    Floater f(false, 0.05f, 2.0f);
    EXPECT_EQ(f.life, 0.14596492f);
    EXPECT_EQ(f.position, Vector(-1.50248027f, 0.0f, 1.29648566f));
    EXPECT_EQ(f.previous, f.position);
    setSeed(1);
    Floater g(true, 0.05f, 2.0f);
    EXPECT_EQ(g.position, Vector(-1.50248027f, 1.29648566f, 0.757446527f));
}

TEST(Floater, AgesFiveTimesFasterOutsideTheBoundTestedBeforeTheMove)
{
    Floater on = placed(Vector(3, 0, 0), 1);
    EXPECT_TRUE(on.update(0.01f, 3, Vector(100, 0, 0)));
    EXPECT_EQ(on.life, 0.99f);  // on the bound is inside, and moving out counts next frame
    EXPECT_EQ(on.position, Vector(4, 0, 0));
    EXPECT_TRUE(on.update(0.01f, 3, Vector(0, 0, 0)));
    EXPECT_EQ(on.life, 0.939999998f);

    Floater out = placed(Vector(0, -3.001f, 0), 1);
    EXPECT_TRUE(out.update(0.01f, 3, Vector(0, 0, 0)));
    EXPECT_EQ(out.life, 0.949999988f);
}

TEST(Floater, ShortFramesMoveByTheMinimumStepAndDeathLeavesItInPlace)
{
    Floater f = placed(Vector(0, 0, 0), 0.003f);
    EXPECT_TRUE(f.update(0.0f, 3, Vector(1, 2, 0)));
    EXPECT_EQ(f.position, Vector(0.0015f, 0.003f, 0.0f));
    EXPECT_EQ(f.life, 0.0015f);
    EXPECT_FALSE(f.update(0.001f, 3, Vector(5, 5, 5)));  // life reaches exactly 0
    EXPECT_EQ(f.life, 0.0f);
    EXPECT_EQ(f.position, Vector(0.0015f, 0.003f, 0.0f));
    EXPECT_EQ(f.previous, f.position);
}
