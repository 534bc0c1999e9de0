// The real program with a broken music.xm in its working directory: one line on stderr, the
// show runs silently and still ends with status 0.
#include "xserver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

TEST(MusicEndToEnd, ANonModuleMusicFileLeavesTheShowSilentButRunning)
{
    std::string dir = testing::TempDir() + "music-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(&dir[0]), nullptr);
    std::ofstream(dir + "/music.xm") << "not a module\n";

    XServer x;
    ASSERT_TRUE(x.ok());
    Program show({QUENRASTILAN_BINARY},
                 showEnvironment(x), dir);
    // Running: its window appears and holds drawing (the credits) after the start-up.
    bool drawn = false;
    for (double end = nowSeconds() + 60; !drawn && nowSeconds() < end && show.running(); sleepSeconds(0.25)) {
        int dark = x.hasShowWindow() ? x.darkPixels(250, 360) : 0;
        drawn = dark > 200 && dark < 20000;
    }
    EXPECT_TRUE(drawn) << show.stderrText();
    x.key("Escape");
    EXPECT_EQ(show.wait(20), 0) << show.stderrText();

    std::string err = show.stderrText();
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_NE(err.find("music.xm: not a module"), std::string::npos) << err;
    EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
}
