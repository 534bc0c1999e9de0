// The capture tool typed as a user types it: the documented commands from the repository's root
// and from another folder, relative and awkward output paths, and Ctrl-C in every mode.
#include "harness.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

// Whether a folder holds nothing at all.
static bool isEmpty(const std::string& dir)
{
    return shellOutput("ls -A '" + dir + "'").empty();
}

// The capture commands the README and the capture page show, as words, the program's path first.
static std::vector<std::vector<std::string>> documentedCommands()
{
    std::vector<std::vector<std::string>> commands;
    for (const char* page : {"/README.md", "/docs/capture.md"}) {
        std::ifstream text(std::string(QUENRASTILAN_SOURCE_DIR) + page);
        for (std::string line; std::getline(text, line);) {
            if (line.rfind("./build/quenrastilan-capture ", 0) != 0)
                continue;
            std::istringstream words(line.substr(0, line.find(" #")));
            std::vector<std::string> command;
            for (std::string w; words >> w;)
                command.push_back(w);
            commands.push_back(command);
        }
    }
    return commands;
}

// A command made short: a video or master of 0.1 s, a range of frames of 0.1 s from its start.
// --check runs the whole show and cannot be made short: the soak test runs it.
static bool shorten(std::vector<std::string>& c)
{
    if (std::find(c.begin(), c.end(), "--check") != c.end())
        return false;
    bool encoded = std::find(c.begin(), c.end(), "--video") != c.end() ||
                   std::find(c.begin(), c.end(), "--master") != c.end();
    auto from = std::find(c.begin(), c.end(), "--from");
    if (from != c.end()) {
        int start = std::atoi(from[1].c_str());
        auto to = std::find(c.begin(), c.end(), "--to");
        to[1] = std::to_string(start + 100);
    } else if (encoded) {
        c.insert(c.end(), {"--from", "100000", "--to", "100100"});
    }
    return true;
}

// The file or folder a command writes, relative to its working folder; empty for --help.
static std::string outputOf(const std::vector<std::string>& c)
{
    for (size_t i = 1; i + 1 < c.size(); i++)
        if (c[i] == "--video" || c[i] == "--master" || c[i] == "--out" || c[i] == "--sheet" || c[i] == "--audio")
            return c[i + 1];
    return "";
}

// Every capture command of the README and the capture page, shortened, works as typed in the repository's root (a
// folder holding the build as ./build) and, with the program named by its path as an installed
// copy is, from another folder: exit 0, one line at most, its output where the path says.
TEST(CaptureAsTyped, TheDocumentedCommandsWorkFromTheRootAndFromAnotherFolder)
{
    std::vector<std::vector<std::string>> commands = documentedCommands();
    ASSERT_GE(commands.size(), 10u);
    const std::string root = newTempDir(), elsewhere = newTempDir() + "/somewhere";
    ASSERT_EQ(symlink(QUENRASTILAN_BUILD_DIR, (root + "/build").c_str()), 0);
    ASSERT_EQ(std::system(("mkdir '" + elsewhere + "'").c_str()), 0);
    for (std::vector<std::string> c : commands) {
        if (!shorten(c))
            continue;
        for (const std::string& dir : {root, elsewhere}) {
            std::string typed;
            for (const std::string& w : c)
                typed += w + " ";
            SCOPED_TRACE(typed + "in " + dir);
            std::vector<std::string> argv = c;
            argv[0] = dir == root ? "./build/quenrastilan-capture" : QUENRASTILAN_CAPTURE;
            Program p(argv, {}, dir);
            ASSERT_EQ(p.wait(600), 0) << p.stderrText();
            std::string out = outputOf(c);
            if (out.empty())
                EXPECT_NE(p.stdoutText().find("usage:"), std::string::npos);
            else if (out.back() == '/')
                EXPECT_FALSE(isEmpty(dir + "/" + out));
            else
                EXPECT_NE(shellOutput("find '" + dir + "/" + out + "' -type f -size +1k"), "");
            // The pages name some outputs alike, and an output already there is refused.
            if (!out.empty())
                std::system(("rm -rf '" + dir + "/" + out + "'").c_str());
        }
    }
    std::system(("rm -rf '" + root + "' '" + elsewhere + "/..'").c_str());
}

// Videos and masters go to any path a user can type, in several processes whose parts are
// joined (the two take turns along the table): the file holds every frame, and nothing else is
// left beside it.
TEST(CaptureAsTyped, AwkwardPathsForVideoAndMaster)
{
    const std::string top = newTempDir(), work = top + "/work";
    ASSERT_EQ(std::system(("mkdir '" + work + "'").c_str()), 0);
    const char* const paths[] = {"with space/a b", "it's", "new/nested/folder/v", "./dot", "../up", "ünïcödé"};
    for (int i = 0; i < 6; i++) {
        std::string kind = i % 2 ? "--master" : "--video";
        std::string file = std::string(paths[i]) + (i % 2 ? ".mkv" : ".mp4");
        SCOPED_TRACE(kind + " " + file);
        std::string err;
        // 100000 to 100066 ms at 30 fps: 3 frames, in pieces taken by two processes.
        ASSERT_EQ(runCapture({kind, file, "--fps", "30", "--from", "100000", "--to", "100066", "--jobs", "2"}, &err,
                            {}, work),
                  0)
            << err;
        std::string quoted = "'" + work + "/" + file + "'";
        size_t apostrophe = quoted.find("it's");
        if (apostrophe != std::string::npos)
            quoted.replace(apostrophe, 4, "it'\\''s");
        EXPECT_EQ(shellOutput("ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames "
                        "-of csv=p=0 " + quoted),
                  "3\n");
        EXPECT_EQ(std::system(("rm " + quoted).c_str()), 0);
    }
    // Only the folders made for the paths are left.
    EXPECT_EQ(shellOutput("cd '" + top + "' && find . -type f"), "");
    std::system(("rm -rf '" + top + "'").c_str());
}

// Ctrl-C in every mode, once its first progress line shows it is at work of a minute or more:
// the capture stops with status 130 and one line, and leaves nothing in its working folder, not
// even the folders it made, nor in the temporary folder. A still at a late moment shows
// progress too, while the scenes are brought on. How soon it stops is measured by
// quenrastilan-bench --stop-latency; frames are stopped in capture_files_test.cpp.
TEST(CaptureAsTyped, CtrlCInEveryModeStopsAndLeavesNothing)
{
    const std::vector<std::vector<std::string>> modes = {
        // --fps 1000 makes the catch-up before the frame long enough to be stopped in.
        {"--fps", "1000", "--at", "244000", "--out", "stills/s.png"},
        {"--fps", "1000", "--sheet", "sheets/sheet.png"},
        {"--check"},
        {"--video", "v/show.mp4", "--jobs", "1", "--from", "200000"},
        {"--video", "v/show.mp4", "--jobs", "2", "--from", "200000"},
        {"--master", "m/show.mkv", "--jobs", "1"},
        {"--master", "m/show.mkv", "--jobs", "2"},
    };
    const std::string work = newTempDir(), tmp = newTempDir();
    for (const auto& args : modes) {
        std::vector<std::string> argv = {QUENRASTILAN_CAPTURE};
        argv.insert(argv.end(), args.begin(), args.end());
        std::string typed;
        for (const std::string& a : args)
            typed += a + " ";
        SCOPED_TRACE(typed);
        Program capture(argv, {"TMPDIR=" + tmp}, work);
        for (double end = nowSeconds() + 300; capture.running() && capture.stderrText().find(" of ") == std::string::npos;)
            if (nowSeconds() < end)
                sleepSeconds(0.05);
            else
                FAIL() << "no progress line";
        ASSERT_TRUE(capture.running()) << capture.stderrText();
        capture.signal(SIGINT);
        EXPECT_EQ(capture.wait(60), 130);
        // Progress lines come before it.
        std::string err = capture.stderrText();
        EXPECT_EQ(err.find("quenrastilan-capture: "), err.rfind("\n", err.size() - 2) + 1) << err;
        EXPECT_EQ(err.substr(err.find("quenrastilan-capture: ")), "quenrastilan-capture: stopped\n") << err;
        EXPECT_TRUE(isEmpty(work)) << shellOutput("find " + work);
        EXPECT_TRUE(isEmpty(tmp)) << shellOutput("find " + tmp);
    }
    std::system(("rm -rf '" + work + "' '" + tmp + "'").c_str());
}
