// Converging flow: the three fields and their mix, and the walk that moves, kills and replaces
// the particles (expected values worked out separately in single precision).
#include "scenes/converge.h"

#include "math/random.h"
#include "scenes/scenes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

TEST(Converge, FieldsAndTheirMixAtChosenPoints)
{
    EXPECT_EQ(convergefunc2(1.5f, 0, -2.0f, 0.5f), Vector(0.909894407f, 0, -0.414839894f));
    EXPECT_EQ(convergefunc3(1.5f, 0, -2.0f, 0.5f), Vector(0.506906927f, 0, -0.831851423f));
    EXPECT_EQ(convergedirector(1.5f, 0, -2.0f, 0.5f), Vector(0.487642288f, 0, -0.617612123f));
    EXPECT_EQ(convergedirector(-3.25f, 0, 4.5f, 0.9f), Vector(0.317809492f, 0, 0.694344282f));
    // Until 0.4 the outflow r 0.1 |r| alone: here |r| = 2.5; nothing moves at the origin.
    EXPECT_EQ(convergedirector(1.5f, 0, -2.0f, 0.3f), Vector(0.375f, 0, -0.5f));
    EXPECT_EQ(convergedirector(0, 0, 0, 0.2f), Vector(0, 0, 0));
    // At the end the wave field alone.
    EXPECT_EQ(convergedirector(1.5f, 0, -2.0f, 1.0f), convergefunc3(1.5f, 0, -2.0f, 1.0f));
}

// A list of particles in a row along x, each with life 1.
static Lista* row(int n)
{
    Lista* list = new Lista;
    for (int i = 0; i < n; i++) {
        Floater* f = new Floater(false, 0.05f, 1.0f);
        f->position = f->previous = Vector(0.5f * i, 0, 0);
        f->life = f->maxlife = 1.0f;
        list->add(f);
    }
    return list;
}

static std::vector<Floater*> contents(Lista* list)
{
    std::vector<Floater*> v;
    list->goToStart();
    for (int i = 0; i < list->getNodeCount(); i++, list->goForward())
        v.push_back((Floater*)list->getCurrent());
    return v;
}

TEST(Converge, ADeadParticleIsReplacedAtTheEndAndItsSuccessorSkipped)
{
    Lista* list = row(6);
    std::vector<Floater*> before = contents(list);
    before[2]->life = 0.001f;
    Floater* drawn[6];

    setSeed(99);
    Floater expectedBirth(false, 0.05f, 6.7f);
    uint32_t seedAfterBirth = SEED;
    setSeed(99);
    int n = convergeAdvance(list, 0.2f, 0.01f, drawn);

    std::vector<Floater*> after = contents(list);
    ASSERT_EQ(after.size(), 6u);
    EXPECT_EQ(SEED, seedAfterBirth);  // one birth, three draws
    Floater* newborn = after[5];
    EXPECT_EQ((std::vector<Floater*>(after.begin(), after.begin() + 5)),
              (std::vector<Floater*>{before[0], before[1], before[3], before[4], before[5]}));
    // The first is never visited; the one after the dead one is passed over this frame.
    EXPECT_EQ(before[0]->life, 1.0f);
    EXPECT_EQ(before[3]->life, 1.0f);
    EXPECT_EQ(before[3]->position, Vector(1.5f, 0, 0));
    // The others age by 1.5 dt and move by 40 times the outflow.
    EXPECT_EQ(before[1]->life, 0.985000014f);
    EXPECT_EQ(before[1]->position, Vector(0.514999986f, 0, 0));
    // The newborn is reached in the same frame.
    EXPECT_EQ(newborn->previous, expectedBirth.position);
    EXPECT_EQ(newborn->maxlife, expectedBirth.maxlife);
    EXPECT_LT(newborn->life, newborn->maxlife);
    ASSERT_EQ(n, 4);
    EXPECT_EQ((std::vector<Floater*>(drawn, drawn + n)),
              (std::vector<Floater*>{before[1], before[4], before[5], newborn}));
    list->destroy();
    delete list;
}

TEST(Converge, WhenTheLastDiesTheNewbornIsVisitedAndTheEdgeCountsAsInside)
{
    Lista* list = row(3);
    std::vector<Floater*> before = contents(list);
    before[1]->position = Vector(6.7f, 0, 0);
    before[2]->life = 0.001f;
    Floater* drawn[3];
    int n = convergeAdvance(list, 0.2f, 0.01f, drawn);
    ASSERT_EQ(list->getNodeCount(), 3);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(drawn[0], before[1]);
    EXPECT_EQ(drawn[1], list->getLast());
    EXPECT_EQ(before[1]->life, 0.985000014f);  // on the edge: the normal rate

    before[1]->position = Vector(0, 0, -6.71f);
    convergeAdvance(list, 0.2f, 0.01f, drawn);
    EXPECT_EQ(before[1]->life, 0.910000026f);  // outside: five times faster
    list->destroy();
    delete list;
}

TEST(Converge, AStepLongerThanAnyLifeEndsTheFrameWithThePopulationKept)
{
    // Every particle, and every newborn, dies on this step; the frame still ends.
    Lista* list = row(50);
    Floater* drawn[50];
    EXPECT_EQ(convergeAdvance(list, 0.5f, 0.7f, drawn), 0);
    EXPECT_EQ(list->getNodeCount(), 50);
    // Just below the longest life a newborn may survive, and the walk goes on until one does.
    convergeAdvance(list, 0.5f, 0.2f, drawn);
    EXPECT_EQ(list->getNodeCount(), 50);
    list->destroy();
    delete list;
}

TEST(Converge, ThePopulationStaysAtTenThousandInThePlane)
{
    converge_init();
    ASSERT_EQ(floaterlist->getNodeCount(), CONVERGE_FLOATERS);
    Floater* first = (Floater*)floaterlist->getFirst();
    Floater firstBefore = *first;
    std::vector<Floater*> drawn(CONVERGE_FLOATERS);
    uint32_t seed = SEED;
    // Frames at 30 per second from the start of the scene (13 s).
    float previous = 0;
    for (int frame = 0; frame < 60; frame++) {
        float pos = frame / 390.0f;
        convergeAdvance(floaterlist, pos, pos - previous, drawn.data());
        previous = pos;
        ASSERT_EQ(floaterlist->getNodeCount(), CONVERGE_FLOATERS);
    }
    EXPECT_NE(SEED, seed);  // particles died and were reborn
    // A particle flung out by the outflow overflows to infinity within a few frames, and then
    // its y becomes 0 times infinity; every other particle stays in the plane.
    int finite = 0;
    for (Floater* f : contents(floaterlist))
        if (std::isfinite(f->position.x) && std::isfinite(f->position.z)) {
            ASSERT_EQ(f->position.y, 0.0f);
            finite++;
        }
    EXPECT_GT(finite, CONVERGE_FLOATERS * 99 / 100);
    EXPECT_EQ(floaterlist->getFirst(), (void*)first);
    EXPECT_EQ(first->position, firstBefore.position);
    EXPECT_EQ(first->life, firstBefore.life);
    converge_free();
}
