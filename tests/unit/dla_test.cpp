// The aggregate: both growths agree, the lattice's edge rules hold, and the show's aggregate is
// fixed.
#include "scenes/dla.h"

#include "math/random.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

// The expected checksums below come from a separate Python model of the growth, written from the
// description of the walk: the C library's rand() called through ctypes, randFloat and the weight
// emulated in float32. Should the walk or the weight change, regenerate them with that model.
// FNV-1a 64 over the bytes of positions, previous, colors (xyz each) and alphas, particle by particle.
static uint64_t checksum(const DLASystem& s)
{
    uint64_t h = 1469598103934665603ull;
    auto feed = [&](float v) {
        unsigned char b[4];
        std::memcpy(b, &v, 4);
        for (unsigned char c : b)
            h = (h ^ c) * 1099511628211ull;
    };
    for (int i = 0; i < s.count; i++) {
        const Vector* v[3] = {&s.positions[i], &s.previous[i], &s.colors[i]};
        for (const Vector* p : v) {
            feed(p->x);
            feed(p->y);
            feed(p->z);
        }
        feed(s.alphas[i]);
    }
    return h;
}

// The show's aggregate: dla_init reseeds both generators, so no earlier init changes it.
static const uint64_t CHECKSUM_SHOW = 0x4f66dc8156a8d8abull;

// Grows from srand(seed) after `skip` rand() draws (which moves glibc's rear index off 0) and
// returns what the growth leaves: the aggregate's size and checksum, the next three rand()
// draws and the randFloat state.
static std::vector<uint64_t> grow(DLAGrowth growth, unsigned seed, int skip, int count)
{
    srand(seed);
    for (int i = 0; i < skip; i++)
        rand();
    setSeed(16981);
    DLASystem s(count, growth);
    std::vector<uint64_t> left = {(uint64_t)s.count, checksum(s)};
    for (int k = 0; k < 3; k++)
        left.push_back((uint64_t)rand());
    left.push_back(SEED);
    return left;
}

// The counting growth walks on the C library's own generator state; it must give the same
// aggregate as the plain neighbour test drawing through rand(), and hand rand() back exactly
// where those draws would have left it. (The model's checksum pins the show's growth below.)
TEST(DLA, BothGrowthsGiveTheSameAggregateAndLeaveBothGeneratorsAlike)
{
    struct Case { unsigned seed; int skip, count; } cases[] = {{6501, 0, 2000}, {777, 13, 500}};
    for (const Case& c : cases) {
        std::vector<uint64_t> plain = grow(DLA_NEIGHBOUR_TEST, c.seed, c.skip, c.count);
        EXPECT_EQ(grow(DLA_NEIGHBOUR_COUNTS, c.seed, c.skip, c.count), plain) << c.seed;
    }
}

TEST(DLA, NoWalkerIsReleasedBelowOneAndSafegetKeepsNeighboursInside)
{
    for (DLAGrowth growth : {DLA_NEIGHBOUR_TEST, DLA_NEIGHBOUR_COUNTS})
        for (int count : {0, -3}) {
            srand(42);
            const int expected = rand();
            srand(42);
            setSeed(5);
            DLASystem s(count, growth);
            EXPECT_EQ(rand(), expected);
            EXPECT_EQ(SEED, 5u);
        }
    // Inside means all 26 neighbours inside the 100-cell lattice: 1 to 98 on every axis.
    EXPECT_TRUE(DLASystem::safeget(1, 1, 1) && DLASystem::safeget(98, 50, 98));
    EXPECT_FALSE(DLASystem::safeget(0, 50, 50) || DLASystem::safeget(50, 99, 50) || DLASystem::safeget(50, 50, -1));
}

// The show's aggregate after dla_init, pinned whole by the model's checksum: a walker that
// moved, stuck or drew differently changes it.
TEST(DLA, InitGrowsTheShowsAggregate)
{
    setSeed(16981);
    for (int i = 0; i < 2 * 25000; i++)
        randFloat();
    const uint32_t seedAfter = SEED;

    dla_init();
    ASSERT_NE(DLAList, nullptr);
    ASSERT_EQ(DLAList->getNodeCount(), 1);
    DLAList->goToStart();
    const DLASystem& s = *static_cast<DLASystem*>(DLAList->getCurrent());
    ASSERT_EQ(s.count, 25000);
    EXPECT_EQ(checksum(s), CHECKSUM_SHOW);
    EXPECT_EQ(SEED, seedAfter);  // two randFloat draws per walker
    dla_free();  // the sanitizer build checks that it releases the system it holds
    EXPECT_EQ(DLAList, nullptr);
}
