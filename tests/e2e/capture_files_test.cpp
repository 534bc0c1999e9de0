// The capture tool and the files around its output: a user's files survive whatever happens to
// a run, and a video or master to a pipe arrives whole or is refused.
#include "harness.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

// Polls until `done` holds; false when `seconds` pass first (the run went wrong).
template <typename F>
static bool waitUntil(F done, double seconds)
{
    for (double end = nowSeconds() + seconds; !done();) {
        if (nowSeconds() > end)
            return false;
        sleepSeconds(0.02);
    }
    return true;
}

// Every file under a folder with its checksum, one a line, sorted.
static std::string contents(const std::string& dir)
{
    return shellOutput("cd '" + dir + "' && find . -mindepth 1 | sort | while read f; do "
                       "if [ -f \"$f\" ]; then echo \"$f $(md5sum < \"$f\")\"; else echo \"$f/\"; fi; done");
}

// A folder of frames where a user keeps files, three named like frames of the range (the first
// of them its first frame, the others never reached part-way); each run is stopped, or made to
// fail, once it has put a frame of its own in place. Whatever happens, the folder then holds
// exactly the user's files, byte for byte: without --overwrite the run is refused before
// drawing; with it, the run's frames go and the first frame's file is put back.
TEST(CaptureFiles, AStopOrAFailureLeavesTheUsersFilesByteForByte)
{
    const struct {
        const char* jobs;
        bool overwrite;
        int signal;  // 0: a folder is made where a later frame goes, which fails the run
        int status;
    } cases[] = {
        {"1", false, 0, 2},       {"1", true, SIGINT, 130}, {"1", true, SIGTERM, 143},
        {"2", true, SIGINT, 130}, {"2", true, SIGTERM, 143}, {"2", true, 0, 1},
    };
    const std::string work = newTempDir(), tmp = newTempDir(), pre = work + "/pre";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("--jobs ") + c.jobs + (c.overwrite ? " --overwrite" : "") + " signal " +
                     std::to_string(c.signal));
        ASSERT_EQ(std::system(("rm -rf '" + pre + "' && mkdir '" + pre + "' && cd '" + pre +
                               "' && for f in 000090 000800 000899; do echo $f > $f.png; done && echo keep > keep.txt")
                                  .c_str()),
                  0);
        std::string before = contents(pre);
        // 3000 to 30000 ms at 30 fps: frames 90 to 900, in pieces of 120 taken in turn.
        std::vector<std::string> argv = {QUENRASTILAN_CAPTURE, "--fps", "30", "--from", "3000", "--to", "30000",
                                         "--out", "pre", "--jobs", c.jobs, "--quiet"};
        if (c.overwrite)
            argv.push_back("--overwrite");
        Program capture(argv, {"TMPDIR=" + tmp}, work);
        if (c.status != 2) {
            ASSERT_TRUE(waitUntil([&] { return fileExists(pre + "/000092.png") || !capture.running(); }, 300));
            ASSERT_TRUE(capture.running()) << capture.stderrText();
            if (c.signal)
                capture.signal(c.signal);
            else
                ASSERT_EQ(mkdir((pre + "/000300.png").c_str(), 0755), 0);
        }
        EXPECT_EQ(capture.wait(300), c.status);
        std::string err = capture.stderrText();
        const char* said = c.status == 2 ? "--out pre: pre/000090.png and 2 more of the range's frames are already "
                                           "there; give --overwrite"
                           : c.signal ? "stopped\n"
                                      : "cannot write pre/000300.png: Is a directory\n";
        EXPECT_EQ(err.find(std::string("quenrastilan-capture: ") + said), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        // The folder in the way is the user's too, and as it was.
        if (c.status == 1) {
            EXPECT_EQ(rmdir((pre + "/000300.png").c_str()), 0);
        }
        EXPECT_EQ(contents(pre), before);
        EXPECT_EQ(shellOutput("ls -A '" + tmp + "'"), "");
    }
    std::system(("rm -rf '" + work + "' '" + tmp + "'").c_str());
}

// A master or a video to standard output, a descriptor or a FIFO arrives whole, from one process
// or joined from two: ffprobe finds every frame and the sound in the bytes that came. An MP4,
// which cannot be streamed, is refused before anything is written; a reader that goes away
// early is the capture's failure, in one line.
TEST(CaptureFiles, AVideoOrMasterToAPipeArrivesWholeOrIsRefused)
{
    // 3000 to 3100 ms at 30 fps: frames 90 to 93. Its messages go to err.txt; without progress
    // lines, which a busy machine makes even for a short run.
    const std::string capture = std::string(QUENRASTILAN_CAPTURE) + " 2>>err.txt --quiet --fps 30 --from 3000 ";
    const struct {
        std::string command;  // run by bash in the working folder, the bytes that arrive in got.mkv
        int status;
        const char* found;  // what ffprobe finds; the one line said when it is refused or fails
    } cases[] = {
        {capture + "--to 3100 --master - | cat > got.mkv", 0, "ffv1,4\nflac\n"},
        {capture + "--to 3100 --video /dev/stdout --jobs 2 | cat > got.mkv", 0, "h264,4\nflac\n"},
        {capture + "--to 3100 --master /dev/fd/3 3>&1 >/dev/null | cat > got.mkv", 0, "ffv1,4\nflac\n"},
        {"mkfifo f.mkv && { cat f.mkv > got.mkv & " + capture + "--to 3100 --master f.mkv; }", 0, "ffv1,4\nflac\n"},
        {"mkfifo v.mp4 && " + capture + "--to 3100 --video v.mp4", 2, "--video v.mp4: an MP4 or MOV is finished by"},
        {capture + "--to 9000 --master - | head -c 1000 >/dev/null", 1, "cannot write -: Broken pipe\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const std::string work = newTempDir();
        {
            std::FILE* script = std::fopen((work + "/run.sh").c_str(), "w");
            ASSERT_TRUE(script);
            std::fprintf(script, "set -o pipefail\n%s\ns=$?\nwait\nexit $s\n", c.command.c_str());
            std::fclose(script);
        }
        int status = std::system(("cd '" + work + "' && bash run.sh").c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.status);
        std::string err = readText(work + "/err.txt");
        if (c.status == 0) {
            EXPECT_EQ(err, "");
            std::string probe = "ffprobe -v error -of csv=p=0 " + work + "/got.mkv ";
            EXPECT_EQ(shellOutput(probe + "-select_streams v -count_frames -show_entries stream=codec_name,nb_read_frames") +
                          shellOutput(probe + "-select_streams a -show_entries stream=codec_name"),
                      c.found);
        } else {
            EXPECT_EQ(err.find(std::string("quenrastilan-capture: ") + c.found), 0u) << err;
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
            EXPECT_EQ(shellOutput("cd '" + work + "' && find . -type f ! -name err.txt ! -name run.sh"), "");
        }
        std::system(("rm -rf '" + work + "'").c_str());
    }
}
