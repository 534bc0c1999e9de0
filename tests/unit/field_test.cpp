// Vector field flow: the three fields and their mix, and the walk that moves, kills and
// replaces the particles (expected values worked out separately in single precision).
#include "scenes/field.h"

#include "math/random.h"
#include "scenes/scenes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

TEST(Field, FieldsAndTheirMixAtChosenPoints)
{
    EXPECT_EQ(fieldfunc1(2.5f, -1.25f, 3.0f, 0.6f), Vector(0.512538135f, -0.256269068f, 0.615045786f));
    EXPECT_EQ(fieldfunc2(2.5f, -1.25f, 3.0f, 0.6f), Vector(2.84605646f, 1.90791941f, -3.64140153f));
    EXPECT_EQ(fieldfunc3(2.5f, -1.25f, 3.0f, 0.6f), Vector(0.256589532f, -1.99999964f, 1.41587639f));
    // From t = 0.25 on the outflow has no share.
    EXPECT_EQ(fielddirector(2.5f, -1.25f, 3.0f, 0.6f), Vector(2.06078959f, 0.722826123f, -2.10776019f));
    EXPECT_EQ(fielddirector(-4.0f, 6.5f, 0.75f, 0.1f), Vector(-0.346907079f, 1.60452366f, 1.01943231f));
    // At t = 0 the outflow alone; nothing moves at the origin.
    EXPECT_EQ(fielddirector(2.5f, -1.25f, 3.0f, 0.0f), fieldfunc1(2.5f, -1.25f, 3.0f, 0.0f));
    EXPECT_EQ(fielddirector(0, 0, 0, 0.0f), Vector(0, 0, 0));
}

// A list of particles along the diagonal, each with life 1.
static Lista* row(int n)
{
    Lista* list = new Lista;
    for (int i = 0; i < n; i++) {
        Floater* f = new Floater(true, 0.05f, 1.0f);
        f->position = f->previous = Vector(0.5f * i, 0.5f * i, 0.5f * i);
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

TEST(Field, ADeadParticleIsReplacedAtTheEndAndItsSuccessorSkipped)
{
    Lista* list = row(5);
    std::vector<Floater*> before = contents(list);
    before[1]->life = 0.001f;
    before[3]->position = Vector(0, 10.0f, 0);
    before[4]->position = Vector(0, 0, -10.01f);
    Floater* drawn[5];

    setSeed(4242);
    Floater expectedBirth(true, 0.05f, 10.0f);
    uint32_t seedAfterBirth = SEED;
    setSeed(4242);
    int n = fieldAdvance(list, 0.1f, 0.01f, drawn);

    std::vector<Floater*> after = contents(list);
    ASSERT_EQ(after.size(), 5u);
    EXPECT_EQ(SEED, seedAfterBirth);  // one birth, four draws
    Floater* newborn = after[4];
    EXPECT_EQ(newborn->previous, expectedBirth.position);
    EXPECT_EQ((std::vector<Floater*>(after.begin(), after.begin() + 4)),
              (std::vector<Floater*>{before[0], before[2], before[3], before[4]}));
    EXPECT_EQ(before[0]->life, 1.0f);  // never visited
    EXPECT_EQ(before[2]->life, 1.0f);  // passed over after the death
    EXPECT_EQ(before[3]->life, 0.99000001f);   // on a face of the cube: the normal rate
    EXPECT_EQ(before[4]->life, 0.949999988f);  // outside: five times faster
    ASSERT_EQ(n, 3);
    EXPECT_EQ((std::vector<Floater*>(drawn, drawn + n)),
              (std::vector<Floater*>{before[3], before[4], newborn}));

    // A step longer than any life: everything dies, the frame still ends.
    EXPECT_EQ(fieldAdvance(list, 0.6f, 1.0f, drawn), 0);
    EXPECT_EQ(list->getNodeCount(), 5);
    list->destroy();
    delete list;
}

TEST(Field, ThePopulationStaysAtEightThousandInTheCube)
{
    field_init();
    ASSERT_EQ(fieldfloaterlist->getNodeCount(), FIELD_FLOATERS);
    for (Floater* f : contents(fieldfloaterlist)) {
        ASSERT_LE(std::abs(f->position.x), 10.0f);
        ASSERT_LE(std::abs(f->position.y), 10.0f);
        ASSERT_LE(std::abs(f->position.z), 10.0f);
    }
    std::vector<Floater*> drawn(FIELD_FLOATERS);
    uint32_t seed = SEED;
    // Frames at 30 per second from the start of the scene (19 s): the minimum step every frame.
    float previous = 0;
    for (int frame = 0; frame < 60; frame++) {
        float pos = frame / 570.0f;
        fieldAdvance(fieldfloaterlist, pos, pos - previous, drawn.data());
        previous = pos;
        ASSERT_EQ(fieldfloaterlist->getNodeCount(), FIELD_FLOATERS);
    }
    EXPECT_NE(SEED, seed);  // particles died and were reborn
    field_free();
}
