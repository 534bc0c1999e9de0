// The particle flows replayed: two captures of the same frames at the same frame rate, each
// drawing the show from 0 ms in its own process, give the same pixels.
#include "xserver.h"

#include "lib/png.h"

#include <cstdlib>
#include <gtest/gtest.h>

static std::string tempDir()
{
    char name[] = "/tmp/quenrastilan-flow-XXXXXX";
    return mkdtemp(name);
}

static std::vector<unsigned char> image(const std::string& path)
{
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    std::string error;
    EXPECT_TRUE(readPNG(path, w, h, rgb, error)) << error;
    return rgb;
}

static int redPixels(const std::vector<unsigned char>& rgb)
{
    int red = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        red += rgb[i] > 200 && rgb[i + 1] < 120 && rgb[i + 2] < 120;
    return red;
}

// Captures the range twice at 4 frames per second and compares the frames named.
static void replayTwice(const std::string& from, const std::string& to, const std::vector<std::string>& frames)
{
    std::string dir = tempDir();
    for (const char* run : {"/a", "/b"}) {
        Program p({QUENRASTILAN_CAPTURE, "--fps", "4", "--from", from, "--to", to, "--out", dir + run}, {});
        ASSERT_EQ(p.wait(280), 0) << p.stderrText();
    }
    for (const std::string& name : frames) {
        std::vector<unsigned char> a = image(dir + "/a/" + name), b = image(dir + "/b/" + name);
        EXPECT_GT(redPixels(a), 5000) << name;
        EXPECT_TRUE(a == b) << name << " differs between the two captures";
    }
    std::system(("rm -rf " + dir).c_str());
}

TEST(FlowDeterminism, TheConvergingFlowReplaysIdentically)
{
    // Frame n at 4 fps is drawn at n * 250 ms.
    replayTwice("165000", "165250", {"000660.png", "000661.png"});
}

TEST(FlowDeterminism, TheVectorFieldReplaysIdentically)
{
    replayTwice("234000", "234250", {"000936.png", "000937.png"});
}
