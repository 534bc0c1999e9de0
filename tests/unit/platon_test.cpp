// The Platonic solids' layout: where the loop starts and closes, and the number of generator draws the init makes (the later scenes' layouts depend on it).
// Expected values were worked out separately from the generator's and the path's equations.
#include "scenes/platon.h"

#include "math/random.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>

static platonStruct* solid(int k)
{
    platonstructs->goToNode(k);
    return static_cast<platonStruct*>(platonstructs->getCurrent());
}

TEST(Platon, LayoutOfTheLoop)
{
    setSeed(1);  // the init seeds the generator itself
    platon_init();
    // 34 draws for the path, then 12 per solid.
    EXPECT_EQ(SEED, 1942783703u);
    ASSERT_EQ(platonstructs->getNodeCount(), PLATON_COUNT);

    // The first solid sits on the loop's first point, pushed 5 back.
    const platonStruct* first = solid(0);
    EXPECT_EQ(first->position, Vector(-0.21892302f, -0.94246316f, -5.2526574f));
    EXPECT_FLOAT_EQ(first->rotationStart.x, 0.14612776f);
    EXPECT_FLOAT_EQ(first->rotationStart.z, 0.21210068f);
    EXPECT_FLOAT_EQ(first->rotationEnd.y, 0.84539157f);
    // The last lies on the closing segment, just short of the first point.
    const platonStruct* last = solid(PLATON_COUNT - 1);
    EXPECT_NEAR(last->position.x, -0.22318766f, 1e-6);
    EXPECT_NEAR(last->position.y, -0.93973655f, 1e-6);
    EXPECT_NEAR(last->position.z, -5.2533512f, 1e-6);
    EXPECT_FLOAT_EQ(last->rotationEnd.y, 1.4770645f);

    platon_free();
    EXPECT_EQ(platonstructs, nullptr);
}
