// The capture tool as a user runs it: stills, ranges of frames, and its errors.
#include "harness.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

// Every refusal is one line naming what is wrong and leaves nothing in the folder, not even a
// partial file: a command line refused with status 2 (an option the mode does not take, a
// repeated one, an output already there among them), a file that cannot be written with 1. A
// full device is reported and never removed (we may run as root).
TEST(Capture, BadRequestsSayWhatIsWrongAndWriteNothing)
{
    const std::string dir = newTempDir(), png = dir + "/a.png", mp4 = dir + "/a.mp4";
    const std::string full = "cannot write /dev/full: No space left on device";
    const struct {
        std::vector<std::string> args;
        std::string named;  // in the message
        int status = 2;
        std::vector<std::string> env = {};
        bool fileInTheWay = false;  // a.png exists
    } bad[] = {
        {{"--fps", "0", "--at", "100", "--out", png}, "--fps"},
        {{"--at", "300000", "--out", png}, "--at"},
        {{"--from", "6000", "--to", "3000", "--out", dir + "/a"}, "after"},
        {{"--from", "6000", "--out", dir + "/a"}, "--to"},
        {{"--fps", "1", "--from", "100", "--to", "200", "--out", dir + "/a"}, "no frame"},
        {{"--at", "100"}, "--out"},
        {{"--at", "100", "--bogus", "--out", png}, "--bogus"},
        {{"--at", "100", "--from", "0", "--to", "10", "--out", png}, "one of"},
        {{"--video", mp4, "--from", "0", "--to", "300000"}, "--to"},
        {{"--video", mp4, "--preset", "turbo"}, "--preset takes one of ultrafast,"},
        {{"--video", mp4, "--crf", "52"}, "from 0 to 51 for .mp4, not '52'"},
        {{"--video", mp4, "--crf", "-1"}, "from 0 to 51 for .mp4, not '-1'"},
        {{"--video", dir + "/a.webm", "--crf", "64"}, "from 0 to 63 for .webm"},
        // Options the mode does not take, or given twice.
        {{"--master", dir + "/m.mkv", "--crf", "20"}, "--crf does not go with --master"},
        {{"--check", "--out", png}, "--out does not go with --check"},
        {{"--sheet", png, "--out", dir + "/b.png"}, "--out does not go with --sheet"},
        {{"--video", mp4, "--out", png}, "--out does not go with --video"},
        {{"--audio", dir + "/r.wav", "--fps", "30"}, "--fps does not go with --audio"},
        {{"--check", "--size", "800x600"}, "--size does not go with --check"},
        {{"--jobs", "2", "--at", "0", "--out", png}, "--jobs does not go with --at"},
        {{"--fps", "30", "--at", "0", "--fps", "60", "--out", png}, "--fps is given twice"},
        {{"--check", "--quiet", "--quiet"}, "--quiet is given twice"},
        {{"--from", "1000", "--to", "1100", "--out", png}, "a range of frames is a folder"},
        {{"--at", "0", "--out", png}, "a.png: is already there; give --overwrite", 2, {}, true},
        {{"--video", mp4, "--from", "0", "--to", "100"}, "ffmpeg", 1, {"PATH=/nonexistent"}},
        {{"--check", "--from", "0", "--to", "8000"}, "--from/--to and --check do not go together"},
        {{"--at", "0", "--out", dir + "/"}, "names a folder"},
        {{"--at", "0", "--out", png + "/b.png"}, "a.png: not a folder", 1, {}, true},
        {{"--at", "0", "--out", "/dev/full"}, full, 1},
        {{"--audio", "/dev/full"}, full, 1},
        {{"--video", "/dev/full", "--from", "0", "--to", "200", "--quiet"}, full, 1},
        {{"--size", "0x768", "--at", "0", "--out", png}, "--size"},
        {{"--size", "1024", "--at", "0", "--out", png}, "--size"},
        {{"--size", "1025x768", "--video", mp4}, "even"},
        {{"--jobs", "0", "--video", mp4}, "--jobs"},
        {{"--master", dir + "/m.mkv", "--piece", "4/3"}, "the K of --piece K/N takes a whole number from 1 to 3"},
        {{"--master", "-", "--piece", "1/2"}, "not a stream"},
        {{"--master", dir + "/m.mkv", "--piece", "3/40", "--from", "0", "--to", "100"}, "fewer than the pieces"},
        {{"--video", mp4, "--from-master", dir + "/m.mkv", "--from", "0"}, "--from does not go with --video with --from-master"},
        {{"--join", dir + "/m.mkv"}, "give the pieces"},
    };
    for (const auto& c : bad) {
        std::string typed;
        for (const auto& a : c.args)
            typed += a + " ";
        SCOPED_TRACE(typed);
        if (c.fileInTheWay) {
            ASSERT_EQ(std::system(("touch " + png).c_str()), 0);
        }
        std::string err;
        EXPECT_EQ(runCapture(c.args, &err, c.env), c.status);
        std::remove(png.c_str());
        EXPECT_EQ(err.find("quenrastilan-capture: "), 0u) << err;
        EXPECT_NE(err.find(c.named), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    EXPECT_TRUE(fileExists("/dev/full"));
    EXPECT_EQ(rmdir(dir.c_str()), 0) << "something was left in " << dir;
}

// A folder it may not write to (run unprivileged, since as root permissions would not hold):
// a message naming the path, a non-zero status, no file.
TEST(Capture, AnUnwritableFolderIsReportedAndGetsNoFile)
{
    const std::string dir = newTempDir(), locked = dir + "/locked";
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(locked.c_str(), 0555), 0);
    const std::vector<std::vector<std::string>> requests = {
        {"--at", "0", "--out", locked + "/still.png"},
        {"--from", "0", "--to", "0", "--out", locked + "/frames"},
        {"--sheet", locked + "/sheet.png"},
        {"--audio", locked + "/show.wav"},
    };
    for (const auto& args : requests) {
        SCOPED_TRACE(args[0]);
        std::vector<std::string> argv = {QUENRASTILAN_CAPTURE};
        argv.insert(argv.end(), args.begin(), args.end());
        Program capture(argv, {}, "", true);
        int status = capture.wait(120);
        // The same for every request: none of them could be tested.
        if (status == Program::CANNOT_DROP_PRIVILEGES)
            GTEST_SKIP() << "running as root and cannot drop privileges, so a folder's permissions cannot be tested";
        EXPECT_NE(status, 0);
        std::string err = capture.stderrText();
        EXPECT_EQ(err.find("quenrastilan-capture: " + locked), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
    EXPECT_EQ(rmdir(locked.c_str()), 0) << "something was left in " << locked;
    EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
}

// Text on a picture three times as large is as sharp as the lines: the glyphs come from an atlas
// fine enough for the size. Measured against the 1024x768 frame of the first credit line:
// - sharp: of the pixels the text inks at all (a tenth of its darkest), those partly inked, its
//   edges, are under half; a magnified 1024x768 atlas blurs the glyphs into 0.9 of them;
// - in place: reduced by 3x3 blocks, with both frames smoothed over 5x5 pixels so that a finer
//   glyph's edge a fraction of a pixel off does not count, the text differs by under 0.3 of its
//   ink (0.18 now; a glyph a whole pixel off or from the wrong cell makes it 1 or more);
// - as heavy: the same ink to a tenth.
// 1024x768 asked for is the default frame to the byte. (The picture at twice the size is
// compared scene by scene in picture_render_test.)
TEST(Capture, LargeTextIsSharpAndInPlace)
{
    std::string dir = newTempDir();
    for (std::string size : {"", "1024x768", "3072x2304"}) {
        std::vector<std::string> args = {"--at", "5220", "--out", dir + "/" + size + ".png"};
        if (!size.empty())
            args.insert(args.end(), {"--size", size});
        ASSERT_EQ(runCapture(args), 0) << size;
    }
    std::vector<unsigned char> small = readImage(dir + "/.png"), large = readImage(dir + "/3072x2304.png");
    EXPECT_EQ(readImage(dir + "/1024x768.png"), small);
    ASSERT_EQ(large.size(), 9 * small.size());
    auto ink = [](const unsigned char* p) { return (765.0 - p[0] - p[1] - p[2]) / 765.0; };
    std::vector<double> reduced(1024 * 768), original(1024 * 768);
    double darkest = 0;
    for (int y = 0; y < 768; y++)
        for (int x = 0; x < 1024; x++) {
            for (int k = 0; k < 9; k++) {
                double v = ink(&large[((size_t)(3 * y + k / 3) * 3072 + 3 * x + k % 3) * 3]);
                reduced[y * 1024 + x] += v / 9;
                darkest = std::max(darkest, v);
            }
            original[y * 1024 + x] = ink(&small[((size_t)y * 1024 + x) * 3]);
        }
    int inked = 0, partly = 0;
    for (size_t i = 0; i < large.size(); i += 3) {
        double v = ink(&large[i]) / darkest;
        inked += v > 0.1;
        partly += v > 0.1 && v < 0.9;
    }
    EXPECT_LT((double)partly / inked, 0.5) << partly << " of " << inked;
    double difference = 0, total = 0, reducedInk = 0;
    for (int y = 2; y < 766; y++)
        for (int x = 2; x < 1022; x++) {
            double a = 0, b = 0;
            for (int dy = -2; dy <= 2; dy++)
                for (int dx = -2; dx <= 2; dx++) {
                    a += reduced[(y + dy) * 1024 + x + dx];
                    b += original[(y + dy) * 1024 + x + dx];
                }
            difference += std::abs(a - b);
            total += b;
            reducedInk += a;
        }
    EXPECT_LT(difference / total, 0.3);
    EXPECT_NEAR(reducedInk / total, 1.0, 0.1);
    std::system(("rm -rf " + dir).c_str());
}

// A range writes the frames from the first at or after its start to the last at or before its
// end, named by frame number. A master's frames decode to exactly those PNG frames, its sound is
// exactly the samples they span, and rendering it in two processes gives the same frames; a
// still draws the frames before its own without rasterising them, and matches. The range
// crosses the start of the potential field, whose frames build on the frames before.
// A master decodes to the PNG frames of its range and its samples, the same from one process,
// from two, and joined from three pieces made in any order (made again, a piece is the same
// bytes); each has a chapter for the scene on at its first frame and one for the scene that
// starts within it.
TEST(Capture, TheMasterIsLosslessSampleExactAndTheSameInPartsAndPiecesAndAStillMatches)
{
    std::string dir = newTempDir();
    // 39890 to 40310 ms at 30 fps (frame n at (int)(n * 1000 / 30) ms): frames 1197 (39900) to
    // 1209 (40300), 13 frames, 13 * 1600 samples; the potential field from 40000 ms.
    const std::vector<std::string> range = {"--fps", "30", "--from", "39890", "--to", "40310", "--quiet"};
    auto capture = [&](std::vector<std::string> args) {
        args.insert(args.end(), range.begin(), range.end());
        return runCapture(args);
    };
    for (std::string jobs : {"1", "2"})
        ASSERT_EQ(capture({"--master", dir + "/m" + jobs + ".mkv", "--jobs", jobs}), 0);
    for (std::string piece : {"3/3", "1/3", "2/3"})
        ASSERT_EQ(capture({"--master", dir + "/m.mkv", "--piece", piece}), 0);
    std::string piece2 = dir + "/m.piece-2-of-3.mkv", bytes = readText(piece2);
    ASSERT_EQ(capture({"--master", dir + "/m.mkv", "--piece", "2/3", "--overwrite"}), 0);
    EXPECT_TRUE(readText(piece2) == bytes) << "a piece made again differs";
    ASSERT_EQ(runCapture({"--join", dir + "/mj.mkv", dir + "/m.piece-3-of-3.mkv", piece2, dir + "/m.piece-1-of-3.mkv"}), 0);
    ASSERT_EQ(runCapture({"--fps", "30", "--from", "39890", "--to", "40310", "--out", dir + "/png", "--jobs", "1"}), 0);
    EXPECT_FALSE(fileExists(dir + "/png/001196.png") || fileExists(dir + "/png/001210.png"));
    ASSERT_EQ(runCapture({"--fps", "30", "--at", "40300", "--out", dir + "/still.png"}), 0);
    int w = 0, h = 0;
    EXPECT_EQ(readImage(dir + "/still.png", &w, &h), readImage(dir + "/png/001209.png"));
    EXPECT_TRUE(w == 1024 && h == 768) << w << "x" << h;
    for (std::string jobs : {"1", "2", "j"}) {
        SCOPED_TRACE("--jobs " + jobs);
        std::string m = dir + "/m" + jobs + ".mkv", frames = dir + "/f" + jobs;
        ASSERT_EQ(std::system(("mkdir " + frames + " && ffmpeg -v error -nostdin -i " + m + " -pix_fmt rgb24 " + frames +
                               "/%06d.png && ffmpeg -v error -nostdin -i " + m + " -map 0:a -f s16le " + frames + "/sound.raw")
                                  .c_str()),
                  0);
        for (int n = 1197; n <= 1209; n++) {
            char decoded[32], drawn[32];
            std::snprintf(decoded, sizeof decoded, "/%06d.png", n - 1196);
            std::snprintf(drawn, sizeof drawn, "/png/%06d.png", n);
            EXPECT_TRUE(readImage(frames + decoded) == readImage(dir + drawn)) << n;
        }
        struct stat st;
        ASSERT_EQ(stat((frames + "/sound.raw").c_str(), &st), 0);
        EXPECT_EQ(st.st_size, 13 * 1600 * 4);
        EXPECT_TRUE(readText(frames + "/sound.raw") == readText(dir + "/f1/sound.raw"));
        EXPECT_EQ(shellOutput("ffprobe -v error -show_chapters -of csv=p=0 " + m + " | cut -d, -f4,6,7"),
                  "0.000000,0.100000,Spinning Platonic solids\n0.100000,0.433000,Potential field\n");
    }
    std::system(("rm -rf " + dir).c_str());
}
