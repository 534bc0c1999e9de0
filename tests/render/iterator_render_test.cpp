// The iterated maps drawn through the show: a black cloud in each quarter, nothing between.
#include "render_fixture.h"

class IteratorRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
};

TEST_F(IteratorRender, ACloudInTheMiddleOfEachQuarterAndNothingAtTheirBoundaries)
{
    // The scene runs 198500 - 225000 ms; a quarter is 6625 ms.
    for (int q = 0; q < 4; q++) {
        int middle = 198500 + 6625 * q + 3312;
        std::vector<unsigned char> rgb = showAt(middle);
        EXPECT_GT(darkBox(rgb, 100).count, 5000) << "quarter " << q + 1;
        EXPECT_EQ(darkest(rgb), 0) << "quarter " << q + 1;
    }
    for (int boundary : {205125, 211750, 218375})
        EXPECT_TRUE(allWhite(showAt(boundary))) << boundary;
}
