// The two particle flows' scenes: their fields and the mix of them (expected values worked out
// separately in single precision), and where each init places its particles.
#include "scenes/converge.h"
#include "scenes/field.h"

#include "math/random.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>

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

// The converging flow's particles are born on the plane (y = 0) inside 6.7 of the centre, the
// vector field's in the cube of half-edge 10.
TEST(Flows, EachInitBearsItsParticlesInItsOwnSpace)
{
    const struct {
        const char* name;
        void (*init)();
        void (*free)();
        const Flow* flow;
        int count;
        bool cube;
        float bound;
    } cases[] = {{"converge", converge_init, converge_free, &convergeflow, CONVERGE_FLOATERS, false, 6.7f},
                 {"field", field_init, field_free, &fieldflow, FIELD_FLOATERS, true, 10.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setSeed(7);
        Floater expected(c.cube, 0.05f, c.bound);
        setSeed(7);
        c.init();
        EXPECT_EQ(c.flow->floaterlist->getNodeCount(), c.count);
        const Floater* first = (const Floater*)c.flow->floaterlist->getFirst();
        EXPECT_TRUE(first->position == expected.position && first->maxlife == expected.maxlife);
        c.free();
    }
}
