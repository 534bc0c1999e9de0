// Floaters and the flow that walks them: birth from the shared generator, the bound, the minimum
// step and death in place; the walk's cursor rules, replacements and its end on a long step.
#include "math/floater.h"

#include "math/random.h"
#include "scenes/flow.h"

#include <gtest/gtest.h>
#include <vector>

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

static std::vector<Floater*> contents(Lista* list)
{
    std::vector<Floater*> v;
    list->goToStart();
    for (int i = 0; i < list->getNodeCount(); i++, list->goForward())
        v.push_back((Floater*)list->getCurrent());
    return v;
}

// A flow of n particles at x = 0, 0.5, 1, ... with life 1, bound 6.7, moving at twice the field.
static std::vector<Floater*> row(Flow& flow, int n)
{
    flow = Flow{n, false, 6.7f, 0.05f, 2.0f, 1.0f};
    flowInit(flow);
    std::vector<Floater*> v = contents(flow.floaterlist);
    for (int i = 0; i < n; i++) {
        v[i]->position = v[i]->previous = Vector(0.5f * i, 0, 0);
        v[i]->life = v[i]->maxlife = 1.0f;
    }
    return v;
}

static Vector outward(float x, float, float) { return Vector(x, 0, 0); }

TEST(Flow, ADeadParticleIsReplacedAtTheEndAndItsSuccessorSkipped)
{
    Flow flow;
    std::vector<Floater*> before = row(flow, 6);
    before[2]->life = 0.001f;
    setSeed(99);
    Floater expectedBirth(false, 0.05f, 6.7f);
    uint32_t seedAfterBirth = SEED;
    setSeed(99);
    int n = flowAdvance(flow, 0.01f, outward);

    std::vector<Floater*> after = contents(flow.floaterlist);
    Floater* newborn = after.back();
    EXPECT_EQ(after, (std::vector<Floater*>{before[0], before[1], before[3], before[4], before[5], newborn}));
    EXPECT_EQ(SEED, seedAfterBirth);  // one birth
    // The first is never visited; the one after the dead one is passed over this frame.
    EXPECT_EQ(before[0]->life, 1.0f);
    EXPECT_EQ(before[3]->life, 1.0f);
    EXPECT_EQ(before[3]->position, Vector(1.5f, 0, 0));
    // The others move by the step times the speed times the field at their position.
    EXPECT_EQ(before[1]->life, 0.99f);
    EXPECT_EQ(before[1]->position, Vector(0.51f, 0, 0));
    // The newborn is reached in the same frame.
    EXPECT_EQ(newborn->previous, expectedBirth.position);
    EXPECT_LT(newborn->life, expectedBirth.life);
    EXPECT_EQ(std::vector<Floater*>(flow.drawn, flow.drawn + n),
              (std::vector<Floater*>{before[1], before[4], before[5], newborn}));
    flowFree(flow);
}

TEST(Flow, TheWalkEndsOnTheLastParticleAndAStepLongerThanAnyLifeEndsItToo)
{
    Flow flow;
    std::vector<Floater*> before = row(flow, 3);
    before[1]->position = Vector(6.7f, 0, 0);
    before[2]->life = 0.001f;
    // When the last dies its newborn is visited.
    ASSERT_EQ(flowAdvance(flow, 0.01f, outward), 2);
    EXPECT_EQ(flow.drawn[0], before[1]);
    EXPECT_EQ(flow.drawn[1], flow.floaterlist->getLast());
    EXPECT_EQ(before[1]->life, 0.99f);  // on the edge of the radius: the normal rate
    // Every particle, and every newborn, dies on this step; the frame still ends.
    EXPECT_EQ(flowAdvance(flow, 1.1f, outward), 0);
    EXPECT_EQ(flow.floaterlist->getNodeCount(), 3);
    // Just below the longest life a newborn may survive, and the walk goes on until the last does.
    int n = flowAdvance(flow, 0.3f, outward);
    ASSERT_GT(n, 0);
    EXPECT_EQ(flow.drawn[n - 1], flow.floaterlist->getLast());
    EXPECT_EQ(flow.floaterlist->getNodeCount(), 3);
    flowFree(flow);
}
