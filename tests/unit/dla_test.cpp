// The aggregate: both growths agree, the lattice rules hold, and the show's aggregate is fixed.
#include "scenes/dla.h"

#include "math/random.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>

#include <cmath>
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

// srand(6501), setSeed(16981), 2000 walkers.
static const uint64_t CHECKSUM_2000 = 0x034278ed0611f758ull;
// The show's aggregate: dla_init reseeds both generators, so no earlier init changes it.
static const uint64_t CHECKSUM_SHOW = 0x4f66dc8156a8d8abull;

static bool sameArrays(const DLASystem& a, const DLASystem& b)
{
    size_t n = (size_t)a.count;
    return a.count == b.count && !std::memcmp(a.positions, b.positions, n * sizeof(Vector))
           && !std::memcmp(a.previous, b.previous, n * sizeof(Vector))
           && !std::memcmp(a.colors, b.colors, n * sizeof(Vector))
           && !std::memcmp(a.alphas, b.alphas, n * sizeof(float));
}

struct Grown {
    DLASystem* system;
    int randAfter[3];
    uint32_t seedAfter;
};

// Grows from srand(seed) after `skip` rand() draws (which moves glibc's rear index off 0).
static Grown grow(DLAGrowth growth, unsigned seed, int skip, int count)
{
    srand(seed);
    for (int i = 0; i < skip; i++)
        rand();
    setSeed(16981);
    Grown g;
    g.system = new DLASystem(count, growth);
    for (int& r : g.randAfter)
        r = rand();
    g.seedAfter = SEED;
    return g;
}

// The counting growth walks on the C library's own generator state; it must give the same
// aggregate as the plain neighbour test drawing through rand(), and hand rand() back exactly
// where those draws would have left it.
TEST(DLA, BothGrowthsGiveTheSameAggregateAndLeaveBothGeneratorsAlike)
{
    struct Case { unsigned seed; int skip, count; } cases[] = {{6501, 0, 2000}, {777, 13, 500}};
    for (const Case& c : cases) {
        Grown plain = grow(DLA_NEIGHBOUR_TEST, c.seed, c.skip, c.count);
        Grown fast = grow(DLA_NEIGHBOUR_COUNTS, c.seed, c.skip, c.count);
        EXPECT_TRUE(sameArrays(*plain.system, *fast.system)) << c.seed;
        for (int k = 0; k < 3; k++)
            EXPECT_EQ(plain.randAfter[k], fast.randAfter[k]) << c.seed;
        EXPECT_EQ(plain.seedAfter, fast.seedAfter) << c.seed;
        if (c.seed == 6501) {
            EXPECT_EQ(checksum(*fast.system), CHECKSUM_2000);
        }
        delete plain.system;
        delete fast.system;
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
    EXPECT_EQ(DLASystem::safeget(1, 1, 1), 1);
    EXPECT_EQ(DLASystem::safeget(98, 50, 98), 1);
    EXPECT_EQ(DLASystem::safeget(0, 50, 50), 0);
    EXPECT_EQ(DLASystem::safeget(50, 99, 50), 0);
    EXPECT_EQ(DLASystem::safeget(50, 50, -1), 0);
}

// The show's aggregate after dla_init: fixed, and every walker obeys the lattice rules.
TEST(DLA, InitGrowsTheShowsAggregateByTheLatticeRules)
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

    std::vector<char> occupied(100 * 100 * 100, 0);
    auto at = [&](int x, int y, int z) -> char& { return occupied[(x * 100 + y) * 100 + z]; };
    at(50, 50, 50) = 1;
    int outer = 0, stuckWhereSpawned = 0, shared = 0;
    for (int i = 0; i < s.count; i++) {
        const Vector& p = s.positions[i];
        const Vector& q = s.previous[i];
        int x = (int)p.x + 50, y = (int)p.y + 50, z = (int)p.z + 50;
        int px = (int)q.x + 50, py = (int)q.y + 50, pz = (int)q.z + 50;
        // Whole cells inside the lattice, the previous one a single step away or the same.
        ASSERT_TRUE(p.x == x - 50 && p.y == y - 50 && p.z == z - 50) << i;
        ASSERT_TRUE(q.x == px - 50 && q.y == py - 50 && q.z == pz - 50) << i;
        ASSERT_TRUE(x >= 0 && x < 100 && y >= 0 && y < 100 && z >= 0 && z < 100) << i;
        // A walker moves only from a cell all of whose neighbours lie inside.
        ASSERT_TRUE(DLASystem::safeget(px, py, pz) || (px == x && py == y && pz == z)) << i;
        int step = std::abs(x - px) + std::abs(y - py) + std::abs(z - pz);
        ASSERT_LE(step, 1) << i;
        stuckWhereSpawned += step == 0;

        // It stuck because it reached the outer layer or touched the aggregate.
        bool inOuter = !DLASystem::safeget(x, y, z);
        bool touching = false;
        for (int dx = -1; dx <= 1 && !inOuter; dx++)
            for (int dy = -1; dy <= 1; dy++)
                for (int dz = -1; dz <= 1; dz++)
                    if ((dx || dy || dz) && at(x + dx, y + dy, z + dz))
                        touching = true;
        ASSERT_TRUE(inOuter || touching) << i;
        outer += inOuter;

        // Only a walker that never moved can share a cell: none steps into an occupied one.
        if (at(x, y, z)) {
            ASSERT_EQ(step, 0) << i;
            shared++;
        }
        at(x, y, z) = 1;

        ASSERT_GE(s.alphas[i], 0.0f) << i;
        ASSERT_LE(s.alphas[i], 1.0f) << i;
        ASSERT_TRUE(s.colors[i] == Vector(s.alphas[i], 0, 0)) << i;
    }
    // Counted by the same Python model.
    EXPECT_EQ(outer, 4038);
    EXPECT_EQ(shared, 354);
    EXPECT_GE(stuckWhereSpawned, outer);

    // dla_free releases the system it holds (the sanitizer build checks nothing leaks).
    dla_free();
    EXPECT_EQ(DLAList, nullptr);
}
