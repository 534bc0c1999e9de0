// The Fibonacci trees: the table, the shape of each tree and the colours of growing levels.
#include "scenes/fibotree.h"
#include "scenes/scenes.h"

#include "math/random.h"

#include <gtest/gtest.h>

// Seven levels with 1, 1, 2, 3, 5, 8, 13 children per parent, built depth first; a branch of
// level l is 0.8 (7 - l) long and starts at its parent's end.
TEST(Fibotree, TreesBranchByFibonacciNumbersDepthFirst)
{
    setSeed(93186752);  // the state the show's first user of the generator finds
    fibotree_init();
    EXPECT_EQ(fibonaccinumbers[6], 13);
    EXPECT_EQ(fibonaccinumbers[46], -1323752223);  // F(46) wraps: 2971215073 - 2^32

    const int perLevel[7] = {1, 1, 2, 6, 30, 240, 3120};
    for (int t = 0; t < FIBO_TREES; t += 33) {
        Lista* list = trees[t]->branches;
        ASSERT_EQ(list->getNodeCount(), 3400);
        int count[7] = {0};
        const FiboBranch* parent[7] = {nullptr};
        list->goToStart();
        for (int i = 0; i < 3400; i++, list->goForward()) {
            const FiboBranch* b = (const FiboBranch*)list->getCurrent();
            ASSERT_TRUE(b->level >= 0 && b->level <= 6);
            count[b->level]++;
            EXPECT_NEAR((b->to - b->from).length(), 0.8f * (7 - b->level), 2e-5f);
            Vector start = b->level ? parent[b->level - 1]->to : Vector(0, 0, 0);
            ASSERT_TRUE(b->from == start) << "branch " << i;
            parent[b->level] = b;
        }
        for (int l = 0; l < 7; l++)
            EXPECT_EQ(count[l], perLevel[l]) << "tree " << t << " level " << l;
        float length = trees[t]->end - trees[t]->start;
        EXPECT_TRUE(length >= 0.0999f && length <= 0.2001f) << length;
    }
    // Tree 0's root from the first two draws: theta = u1 * 3.141592, phi = 2 u2 * 3.141592.
    const FiboBranch* root = (const FiboBranch*)trees[0]->branches->getFirst();
    EXPECT_NEAR(root->to.x, -0.6088517308235168f, 1e-6f);
    EXPECT_NEAR(root->to.y, -1.577532410621643f, 1e-6f);
    EXPECT_NEAR(root->to.z, 5.338603973388672f, 1e-6f);
    fibotree_free();
}

TEST(Fibotree, WholeLevelsBlackTheGrowingOneBlueTheRestHidden)
{
    // a just above 1/7: g = 7a = 1.05, L = 1, frac 0.05, A = 0.7a = 0.105.
    float rgba[4];
    ASSERT_TRUE(fiboBranchColour(0, 1, 0.05f, 0.105f, rgba));
    EXPECT_TRUE(rgba[2] == 0.0f && rgba[3] == 0.105f * 7 / 6);
    ASSERT_TRUE(fiboBranchColour(1, 1, 0.05f, 0.105f, rgba));
    EXPECT_TRUE(rgba[2] == 1.0f && rgba[3] == 0.05f * 0.105f * 6 / 6);
    EXPECT_FALSE(fiboBranchColour(2, 1, 0.05f, 0.105f, rgba));
}
