// Converging flow: the three fields and their mix (expected values worked out separately in
// single precision), and where converge_init places the particles.
#include "scenes/converge.h"

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

TEST(Converge, ParticlesAreBornInTheSquareOfThePlane)
{
    setSeed(7);
    Floater expected(false, 0.05f, 6.7f);
    setSeed(7);
    converge_init();
    EXPECT_EQ(convergeflow.floaterlist->getNodeCount(), CONVERGE_FLOATERS);
    Floater* first = (Floater*)convergeflow.floaterlist->getFirst();
    EXPECT_EQ(first->position, expected.position);
    EXPECT_EQ(first->maxlife, expected.maxlife);
    converge_free();
}
