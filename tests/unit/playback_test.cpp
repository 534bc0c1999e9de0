// The playback benchmark's reading of the swap probe's log: which frames count, for which scenes.
#include "bench/playback.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>

static int sceneIndex(const char* name)
{
    return (int)(scene_named(name) - SCENES);
}

// From 171900 ms, where converge (to 172000) and fibotree (from 171000) overlap: the start-up
// frame and the first frame of the show (whose time is the start-up's) are not frames of the
// run; a frame counts for every scene drawn in it; the run ends before the first frame at toMs.
TEST(PlaybackTest, FramesAreTimedFromSwapToSwapAndCountedPerScene)
{
    std::vector<Swap> swaps = {{1000, 500, 10, 0}, {4000, 9000, 7000, 100}};
    // Frames 50 ms apart with 100 faults each, show times 171950, 172000, ... 172300.
    double frameMs[] = {50, 50, 50, 200, 50, 50, 50, 50};
    for (int i = 0; i < 8; i++) {
        const Swap& last = swaps.back();
        swaps.push_back({last.ms + frameMs[i], last.faults + 100 * (i + 1), last.ticks + 50, last.cpuMs + 30});
    }
    PlaybackRun run;
    ASSERT_TRUE(playbackFigures(250, swaps, 171900, 172300, run));
    EXPECT_DOUBLE_EQ(run.firstFrameMs, 3750);
    EXPECT_DOUBLE_EQ(run.firstFrameCpuMs, 100);
    // 171950 to 172250: seven frames, the last at 172300 left out.
    EXPECT_EQ(run.whole.frames, 7);
    EXPECT_DOUBLE_EQ(run.whole.worstMs, 200);
    EXPECT_DOUBLE_EQ(run.whole.slowestFivePercentMs, 200);
    EXPECT_NEAR(run.whole.meanFps, 1000.0 * 7 / 500, 1e-9);
    EXPECT_DOUBLE_EQ(run.whole.faultsPerFrame, 100.0 * (1 + 2 + 3 + 4 + 5 + 6 + 7) / 7);
    EXPECT_DOUBLE_EQ(run.whole.cpuMsPerFrame, 30);
    // converge holds 171950 and 172000 (both ends of a range count), fibotree all seven.
    const SceneFigures& converge = run.scenes[sceneIndex("converge")];
    EXPECT_EQ(converge.frames, 2);
    EXPECT_DOUBLE_EQ(converge.worstMs, 50);
    EXPECT_DOUBLE_EQ(converge.faultsPerFrame, 150);
    EXPECT_EQ(run.scenes[sceneIndex("fibotree")].frames, 7);
    EXPECT_EQ(run.scenes[sceneIndex("dla")].frames, 0);
    // A first frame and nothing to time; no first frame at all.
    swaps.resize(2);
    ASSERT_TRUE(playbackFigures(250, swaps, 171900, 172300, run));
    EXPECT_DOUBLE_EQ(run.firstFrameMs, 3750);
    EXPECT_EQ(run.whole.frames, 0);
    EXPECT_EQ(run.scenes[sceneIndex("fibotree")].frames, 0);
    swaps.resize(1);
    EXPECT_FALSE(playbackFigures(250, swaps, 171900, 172300, run));
}
