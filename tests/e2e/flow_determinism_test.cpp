// The particle flows replayed: two captures of the same frames at the same frame rate, each
// drawing the show from 0 ms in its own process, give the same pixels.
#include "xserver.h"

#include <cstdlib>
#include <gtest/gtest.h>

// The vector field's newborns continue the generator where the converging flow's left it, so
// its frames replay only when both flows do.
TEST(FlowDeterminism, BothFlowsReplayIdentically)
{
    std::string dir = newTempDir();
    for (const char* run : {"/a", "/b"}) {
        Program p({QUENRASTILAN_CAPTURE, "--fps", "4", "--from", "234000", "--to", "234250", "--out", dir + run}, {});
        ASSERT_EQ(p.wait(280), 0) << p.stderrText();
    }
    for (const char* frame : {"/000936.png", "/000937.png"}) {  // frame n at n * 250 ms
        std::vector<unsigned char> a = readImage(dir + "/a" + frame), b = readImage(dir + "/b" + frame);
        int red = 0;
        for (size_t i = 0; i + 2 < a.size(); i += 3)
            red += a[i] > 200 && a[i + 1] < 120 && a[i + 2] < 120;
        EXPECT_GT(red, 5000) << frame;
        EXPECT_TRUE(a == b) << frame << " differs between the two captures";
    }
    std::system(("rm -rf " + dir).c_str());
}
