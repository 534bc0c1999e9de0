// Hermite segments and paths: argument order, chord tangents and the ends of the point list.
#include "math/hermite.h"

#include <gtest/gtest.h>

static Path* collinear()
{
    Path* p = new Path();
    p->addpoint(Vector(0, 0, 0));
    p->addpoint(Vector(1, 0, 0));
    p->addpoint(Vector(2, 0, 0));
    return p;
}

TEST(HermiteCurve, EndsAreTheSecondAndFourthArguments)
{
    HermiteCurve c;
    // value(p0, m0, m1, p1, t): the fourth argument is the end point, not a tangent.
    EXPECT_EQ(c.value(3, 100, -50, 7, 0), 3.0f);
    EXPECT_EQ(c.value(3, 100, -50, 7, 1), 7.0f);
    EXPECT_EQ(c.value(0, 1, -1, 0, 0.5f), 0.25f);  // h10 - h11 at s = 0.5

    Vector p0(1, 2, 3), m0(1, 0, 0), m1(0, 1, 0), p1(4, 5, 6);
    HermiteCurve d(p0, m0, m1, p1);
    EXPECT_EQ(d.getValue(0), p0);
    EXPECT_EQ(d.getValue(1), p1);
}

TEST(Path, CollinearPointsAreReachedAtEvenSteps)
{
    Path* p = collinear();
    EXPECT_EQ(p->pointCount, 3);
    EXPECT_EQ(p->getValue(0), Vector(0, 0, 0));
    EXPECT_EQ(p->getValue(0.25f), Vector(0.5f, 0, 0));
    EXPECT_EQ(p->getValue(0.5f), Vector(1, 0, 0));
    EXPECT_EQ(p->getValue(1), Vector(2, 0, 0));
    // Past the end every point of the segment is the last point, both tangents zero.
    EXPECT_EQ(p->getValue(1.25f), Vector(2, 0, 0));
    EXPECT_EQ(p->getValue(3.0f), Vector(2, 0, 0));
    delete p;
}

TEST(Path, TangentsAreTheChordsOfThisAndTheNextSegment)
{
    Path p;
    p.addpoint(Vector(0, 0, 0));
    p.addpoint(Vector(1, 0, 0));
    p.addpoint(Vector(3, 0, 0));
    // First segment: tangents 1 and 2 (an averaged Catmull-Rom tangent, 1.5, would give 0.4375).
    EXPECT_EQ(p.getValue(0.25f).x, 0.375f);
    // Last segment: tangents 2 and 0, so the path arrives at rest.
    EXPECT_EQ(p.getValue(0.75f).x, 2.25f);
}

TEST(Path, NegativeParameterEvaluatesTheFirstSegmentAtTheFraction)
{
    Path* p = collinear();
    // u = -0.1: floor -1 leaves the cursor on the first point and s = 0.9.
    EXPECT_NEAR(p->getValue(-0.05f).x, 0.9f, 1e-6);
    delete p;
}

TEST(Path, OnePointOrNone)
{
    Path p;
    EXPECT_EQ(p.getValue(0.5f), Vector(0, 0, 0));
    p.addpoint(Vector(4, -2, 7));
    EXPECT_EQ(p.getValue(0), Vector(4, -2, 7));
    EXPECT_EQ(p.getValue(0.7f), Vector(4, -2, 7));
    EXPECT_EQ(p.getValue(1), Vector(4, -2, 7));
    EXPECT_EQ(p.points->getNodeCount(), 1);
}

TEST(Lerp, IsUnclamped)
{
    Vector a(1, 2, 3), b(3, 6, -1);
    EXPECT_EQ(lerpVector(a, b, 0.5f), Vector(2, 4, 1));
    EXPECT_EQ(lerpVector(a, b, 2), Vector(5, 10, -5));
    EXPECT_EQ(lerpVector(a, b, 0), a);
}
