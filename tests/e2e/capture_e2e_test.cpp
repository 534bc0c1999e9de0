// The capture tool as a user runs it: stills, ranges of frames, and its errors.
#include "xserver.h"

#include "lib/png.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

static std::string tempDir()
{
    char name[] = "/tmp/quenrastilan-capture-XXXXXX";
    return mkdtemp(name);
}

static bool exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

static std::vector<unsigned char> image(const std::string& path)
{
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    std::string error;
    EXPECT_TRUE(readPNG(path, w, h, rgb, error)) << error;
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    return rgb;
}

static int capture(const std::vector<std::string>& args, std::string* err = nullptr)
{
    std::vector<std::string> argv = {QUENRASTILAN_CAPTURE};
    argv.insert(argv.end(), args.begin(), args.end());
    Program p(argv, {});
    int status = p.wait(600);
    if (err)
        *err = p.stderrText();
    return status;
}

TEST(Capture, StillMatchesTheSameFrameOfAFullyDrawnRange)
{
    std::string dir = tempDir();
    // --at draws the frames before 5200 ms without rasterising them; the range draws them all.
    ASSERT_EQ(capture({"--fps", "10", "--at", "5200", "--out", dir + "/still.png"}), 0);
    ASSERT_EQ(capture({"--fps", "10", "--from", "0", "--to", "5200", "--out", dir + "/all"}), 0);
    std::vector<unsigned char> still = image(dir + "/still.png");
    EXPECT_EQ(still, image(dir + "/all/000052.png"));
    // The frame shows the first credit line: dark pixels, not a blank frame.
    int dark = 0;
    for (unsigned char c : still)
        dark += c < 128;
    EXPECT_GT(dark, 500);
    std::system(("rm -rf " + dir).c_str());
}

TEST(Capture, RangeWritesEveryFrameInItNamedByFrameNumber)
{
    std::string dir = tempDir();
    // At 30 fps frame n is at (int)(n * 1000 / 30) ms: 3000 ms is frame 90, 3100 ms lies
    // between frames 93 (3100) and 94 (3133).
    ASSERT_EQ(capture({"--fps", "30", "--from", "3000", "--to", "3100", "--out", dir}), 0);
    for (int n = 90; n <= 93; n++) {
        char name[32];
        std::snprintf(name, sizeof name, "/%06d.png", n);
        EXPECT_TRUE(exists(dir + name)) << name;
    }
    EXPECT_FALSE(exists(dir + "/000089.png"));
    EXPECT_FALSE(exists(dir + "/000094.png"));
    std::system(("rm -rf " + dir).c_str());
}

TEST(Capture, BadRequestsSayWhatIsWrongAndWriteNothing)
{
    std::string dir = tempDir();
    const std::vector<std::vector<std::string>> bad = {
        {"--fps", "0", "--at", "100", "--out", dir + "/a.png"},
        {"--fps", "thirty", "--at", "100", "--out", dir + "/a.png"},
        {"--at", "-5", "--out", dir + "/a.png"},
        {"--at", "300000", "--out", dir + "/a.png"},
        {"--from", "6000", "--to", "3000", "--out", dir + "/a"},
        {"--from", "6000", "--out", dir + "/a"},
        {"--at", "100"},
        {"--at", "100", "--bogus", "--out", dir + "/a.png"},
        {"--at", "100", "--from", "0", "--to", "10", "--out", dir + "/a.png"},
    };
    for (const auto& args : bad) {
        std::string err;
        EXPECT_NE(capture(args, &err), 0) << args[0] << " " << args[1];
        EXPECT_NE(err.find("quenrastilan-capture: "), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    EXPECT_FALSE(exists(dir + "/a.png"));
    EXPECT_FALSE(exists(dir + "/a"));

    // An output that cannot be written: a missing folder, and a full device.
    std::string err;
    EXPECT_NE(capture({"--at", "0", "--out", dir + "/missing/a.png"}, &err), 0);
    EXPECT_NE(err.find("missing/a.png"), std::string::npos) << err;
    EXPECT_NE(capture({"--at", "0", "--out", "/dev/full"}, &err), 0);
    EXPECT_NE(err.find("/dev/full"), std::string::npos) << err;
    EXPECT_NE(capture({"--audio", "/dev/full"}, &err), 0);
    EXPECT_NE(err.find("/dev/full"), std::string::npos) << err;
    // A device that refuses a write is reported, never removed (we may run as root).
    EXPECT_TRUE(exists("/dev/full"));
    EXPECT_NE(capture({"--audio", dir + "/missing/show.wav"}, &err), 0);
    EXPECT_FALSE(exists(dir + "/missing"));
    std::system(("rm -rf " + dir).c_str());
}
