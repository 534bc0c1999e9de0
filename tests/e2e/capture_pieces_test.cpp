// A capture past one machine: pieces joined, or refused when they are not all of one capture,
// and videos made from a master.
#include "harness.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

// What a file decodes to: the MD5 of every video frame, then of the sound's samples.
static std::string decoded(const std::string& path)
{
    return shellOutput("ffmpeg -v error -nostdin -i '" + path + "' -map 0:v -f framemd5 - | grep -v '^#' | cut -d, -f6;"
                       "ffmpeg -v error -nostdin -i '" + path + "' -map 0:a -f s16le - | md5sum");
}

// A join is refused in one line with status 2, naming every piece missing, repeated, of another
// capture or no piece at all, and writes nothing; given them all, once each, it joins, and with
// one of them cut short it fails and writes nothing.
TEST(CapturePieces, AJoinRefusesMissingRepeatedAndForeignPiecesAndWritesNothing)
{
    const std::string work = newTempDir();
    const std::vector<std::string> range = {"--size", "160x120", "--fps", "30", "--from", "3000", "--to", "3300",
                                            "--quiet"};
    auto capture = [&](std::vector<std::string> args) {
        args.insert(args.end(), range.begin(), range.end());
        return runCapture(args, nullptr, {}, work);
    };
    for (std::string k : {"1", "2", "3"})
        ASSERT_EQ(capture({"--master", "s.mkv", "--piece", k + "/3"}), 0);
    ASSERT_EQ(runCapture({"--master", "t.mkv", "--piece", "2/3", "--size", "128x96", "--fps", "30", "--from", "3000",
                          "--to", "3300", "--quiet"},
                         nullptr, {}, work),
              0);
    ASSERT_EQ(capture({"--master", "whole.mkv"}), 0);
    const std::string p1 = "s.piece-1-of-3.mkv", p2 = "s.piece-2-of-3.mkv", p3 = "s.piece-3-of-3.mkv";
    const std::string files = "ls " + work + " | tr '\\n' ' '";
    const std::string before = shellOutput(files);
    const struct {
        std::vector<std::string> pieces;
        std::string said;
    } cases[] = {
        {{p1, p3}, "piece 2 (s.piece-2-of-3.mkv) of 3 is missing"},
        {{p3}, "pieces 1 (s.piece-1-of-3.mkv) and 2 (s.piece-2-of-3.mkv) of 3 are missing"},
        {{p1, p2, p2, p3}, "s.piece-2-of-3.mkv and s.piece-2-of-3.mkv are each piece 2 of 3"},
        {{p1, "t.piece-2-of-3.mkv", p3}, "t.piece-2-of-3.mkv is piece 2 of 3 of another capture (128x96 at 30 fps"},
        {{p1, p2, p3, "whole.mkv"}, "whole.mkv is not a piece of a capture"},
        {{p1, p2, "gone.mkv", p3}, "gone.mkv: No such file or directory"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--join", "joined.mkv"};
        args.insert(args.end(), c.pieces.begin(), c.pieces.end());
        SCOPED_TRACE(c.said);
        std::string err;
        EXPECT_EQ(runCapture(args, &err, {}, work), 2);
        EXPECT_EQ(err.find("quenrastilan-capture: --join joined.mkv: "), 0u) << err;
        EXPECT_NE(err.find(c.said), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(shellOutput(files), before);
    }
    ASSERT_EQ(runCapture({"--join", "joined.mkv", p2, p3, p1}, nullptr, {}, work), 0);
    // Frames 90 to 99, and the sound.
    std::string whole = decoded(work + "/whole.mkv");
    EXPECT_EQ(std::count(whole.begin(), whole.end(), '\n'), 10 + 1);
    EXPECT_EQ(decoded(work + "/joined.mkv"), whole);
    // A piece cut short (a copy that stopped half-way) still has its tags: the join fails.
    ASSERT_EQ(std::system(("cd " + work + " && head -c $(($(stat -c %s " + p2 + ") / 2)) " + p2 + " > cut && mv cut " + p2).c_str()), 0);
    std::string err;
    EXPECT_EQ(runCapture({"--join", "again.mkv", p1, p2, p3}, &err, {}, work), 1);
    EXPECT_NE(err.find("cannot write again.mkv: ffmpeg wrote "), std::string::npos) << err;
    EXPECT_FALSE(fileExists(work + "/again.mkv"));
    std::system(("rm -rf " + work).c_str());
}

// A video from a master decodes to the same frames and sound as the video captured directly,
// with the same chapters, in every format; smaller, it is scaled; larger is refused.
TEST(CapturePieces, AVideoFromAMasterIsTheDirectCapturesVideo)
{
    const std::string work = newTempDir();
    const std::vector<std::string> range = {"--size", "320x240", "--fps", "30", "--from", "39500", "--to", "40200",
                                            "--quiet"};
    auto capture = [&](std::vector<std::string> args) {
        args.insert(args.end(), range.begin(), range.end());
        return runCapture(args, nullptr, {}, work);
    };
    ASSERT_EQ(capture({"--master", "m.mkv"}), 0);
    const std::string chapters = "ffprobe -v error -show_chapters -of csv=p=0 ";
    for (std::string kind : {"mp4", "mov", "mkv", "webm"}) {
        SCOPED_TRACE(kind);
        ASSERT_EQ(capture({"--video", "direct." + kind}), 0);
        ASSERT_EQ(runCapture({"--video", "from." + kind, "--from-master", "m.mkv", "--quiet"}, nullptr, {}, work), 0);
        std::string direct = decoded(work + "/direct." + kind);
        EXPECT_EQ(std::count(direct.begin(), direct.end(), '\n'), 22 + 1);
        EXPECT_EQ(decoded(work + "/from." + kind), direct);
        EXPECT_EQ(shellOutput(chapters + work + "/from." + kind), shellOutput(chapters + work + "/direct." + kind));
    }
    ASSERT_EQ(runCapture({"--video", "small.mp4", "--from-master", "m.mkv", "--size", "160x90", "--quiet"}, nullptr, {},
                         work),
              0);
    EXPECT_EQ(shellOutput("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                          "stream=width,height,nb_read_frames -of csv=p=0 " + work + "/small.mp4"),
              "160,90,22\n");
    std::string err;
    EXPECT_EQ(runCapture({"--video", "large.mp4", "--from-master", "m.mkv", "--size", "640x480"}, &err, {}, work), 2);
    EXPECT_NE(err.find("the master is 320x240, smaller than --size 640x480"), std::string::npos) << err;
    EXPECT_FALSE(fileExists(work + "/large.mp4"));
    std::system(("rm -rf " + work).c_str());
}
