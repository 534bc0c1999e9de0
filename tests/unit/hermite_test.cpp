// Paths: points reached at even steps, chord tangents (which also fix the segments' argument
// order) and the ends of the point list.
#include "math/hermite.h"

#include <gtest/gtest.h>

static void addAll(Path& p, std::initializer_list<float> xs)
{
    for (float x : xs)
        p.addpoint(Vector(x, 0, 0));
}

TEST(Path, ReachesItsPointsAtEvenStepsAndStopsAtTheLastOrTheOnlyOne)
{
    Path p;
    addAll(p, {0, 1, 2});
    EXPECT_EQ(p.getValue(0.25f), Vector(0.5f, 0, 0));
    EXPECT_EQ(p.getValue(0.5f), Vector(1, 0, 0));
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

TEST(Path, TangentsAreTheChordsOfThisAndTheNextSegment)
{
    Path p;
    addAll(p, {0, 1, 3});
    // Tangents 1 and 2 (an averaged Catmull-Rom tangent, 1.5, would give 0.4375).
    EXPECT_EQ(p.getValue(0.25f).x, 0.375f);
    // Last segment: tangents 2 and 0, arriving at rest.
    EXPECT_EQ(p.getValue(0.75f).x, 2.25f);
}
