// Vector field flow: the three fields and their mix (expected values worked out separately in
// single precision), and where field_init places the particles.
#include "scenes/field.h"

#include "math/random.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>

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

TEST(Field, ParticlesAreBornInTheCube)
{
    setSeed(7);
    Floater expected(true, 0.05f, 10.0f);
    setSeed(7);
    field_init();
    EXPECT_EQ(fieldflow.floaterlist->getNodeCount(), FIELD_FLOATERS);
    Floater* first = (Floater*)fieldflow.floaterlist->getFirst();
    EXPECT_EQ(first->position, expected.position);
    EXPECT_EQ(first->maxlife, expected.maxlife);
    field_free();
}
