// Floater: birth from the shared generator, the bound, the minimum step and death in place.
#include "math/floater.h"

#include "math/random.h"

#include <gtest/gtest.h>

// A floater with a known state, independent of the generator.
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
    EXPECT_EQ(f.maxlife, f.life);
    EXPECT_EQ(f.position, Vector(-1.50248027f, 0.0f, 1.29648566f));
    EXPECT_EQ(f.previous, f.position);
    EXPECT_EQ(SEED, 3539574622u);  // three draws in the plane

    setSeed(1);
    Floater g(true, 0.05f, 2.0f);
    EXPECT_EQ(g.position, Vector(-1.50248027f, 1.29648566f, 0.757446527f));
    EXPECT_EQ(SEED, 2960785581u);  // four draws in space
}

TEST(Floater, AgesFiveTimesFasterOutsideTheBound)
{
    Vector still(0, 0, 0);
    Floater on = placed(Vector(3, 0, 0), 1);
    EXPECT_TRUE(on.update(0.01f, 3, still));
    EXPECT_EQ(on.life, 0.99f);  // exactly on the bound counts as inside

    Floater out = placed(Vector(0, 0, -3.001f), 1);
    EXPECT_TRUE(out.update(0.01f, 3, still));
    EXPECT_EQ(out.life, 0.95f);

    // The test uses the position before the move: moving out does not count this frame.
    Floater leaving = placed(Vector(0, 3, 0), 1);
    EXPECT_TRUE(leaving.update(0.01f, 3, Vector(0, 100, 0)));
    EXPECT_EQ(leaving.life, 0.99f);
    EXPECT_EQ(leaving.position, Vector(0, 4, 0));
    EXPECT_EQ(leaving.previous, Vector(0, 3, 0));
    EXPECT_TRUE(leaving.update(0.01f, 3, Vector(0, 0, 0)));
    EXPECT_EQ(leaving.life, 0.99f - 0.05f);
}

TEST(Floater, ShortFramesMoveAndAgeByTheMinimumStep)
{
    Floater f = placed(Vector(0, 0, 0), 1);
    EXPECT_TRUE(f.update(0.0f, 3, Vector(1, 2, 0)));
    EXPECT_EQ(f.position, Vector(0.0015f, 0.003f, 0.0f));
    EXPECT_EQ(f.previous, Vector(0, 0, 0));
    EXPECT_EQ(f.life, 0.99849999f);
    EXPECT_TRUE(f.update(0.001f, 3, Vector(1, 2, 0)));
    EXPECT_EQ(f.previous, Vector(0.0015f, 0.003f, 0.0f));
}

TEST(Floater, DiesWithoutMoving)
{
    Floater f = placed(Vector(1, 1, 1), 0.0015f);
    f.previous = Vector(9, 9, 9);
    EXPECT_FALSE(f.update(0.0f, 3, Vector(5, 5, 5)));  // life reaches exactly 0
    EXPECT_EQ(f.life, 0.0f);
    EXPECT_EQ(f.position, Vector(1, 1, 1));
    EXPECT_EQ(f.previous, Vector(1, 1, 1));
}
