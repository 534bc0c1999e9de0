// The capture tool's formats chosen by the output's name, and its failures on a full disk.
#include "harness.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// The container, the codecs and (for Matroska) the kind of a file, as "mov,mp4,... isom h264
// aac": ffprobe's names, and the document type Matroska and WebM files declare in their header.
static std::string probe(const std::string& path)
{
    std::string words = shellOutput("ffprobe -v error -show_entries format=format_name:format_tags=major_brand:"
                                    "stream=codec_name -of default=nw=1:nk=1 '" + path + "' | tr '\\n' ' '");
    std::ifstream f(path, std::ios::binary);
    std::string head(64, '\0');
    f.read(&head[0], 64);
    if (head.find("webm") != std::string::npos)
        words += "doctype=webm";
    else if (head.find("matroska") != std::string::npos)
        words += "doctype=matroska";
    return words;
}

// Each ending the capture takes, in any case, gets the file it names, as ffprobe sees it; any
// other is refused with status 2 and one line naming the path and the endings it takes, before
// anything is written. Videos are three frames, across the start of a scene: each format holds
// the chapters of both scenes as players read them.
TEST(CaptureFormats, TheNameChoosesTheFormatAndAnyOtherIsRefused)
{
    // Frames 1199 to 1201, 39966 to 40033 ms; the potential field from 40000 ms.
    const std::vector<std::string> VIDEO = {"--fps", "30", "--from", "39950", "--to", "40050"};
    const std::string CHAPTERS = "0.000000,0.034000,Spinning Platonic solids\n0.034000,0.100000,Potential field\n";
    const struct {
        std::vector<std::string> args;
        const char* made;  // what probe() finds in the file; nullptr: refused, naming this
        const char* refusal;
    } table[] = {
        {{"--at", "5220", "--out", "s.png"}, "png_pipe png", nullptr},
        {{"--at", "5220", "--out", "S.PNG"}, "png_pipe png", nullptr},
        {{"--video", "v.mp4"}, "mov,mp4,m4a,3gp,3g2,mj2 h264 aac isom", nullptr},
        {{"--video", "v.MOV"}, "mov,mp4,m4a,3gp,3g2,mj2 h264 aac qt", nullptr},
        {{"--video", "v.mkv"}, "matroska,webm h264 flac doctype=matroska", nullptr},
        {{"--video", "v.webm"}, "matroska,webm vp9 opus doctype=webm", nullptr},
        {{"--master", "m.mkv"}, "matroska,webm ffv1 flac doctype=matroska", nullptr},
        {{"--at", "5220", "--out", "a.jpg"}, nullptr, ".png"},
        {{"--at", "5220", "--out", "still"}, nullptr, ".png"},
        {{"--sheet", "sheet.gif"}, nullptr, ".png"},
        {{"--audio", "show.mp3"}, nullptr, ".wav"},
        {{"--video", "a.avi"}, nullptr, ".mp4, .mov, .mkv or .webm"},
        {{"--video", "show.mp4.part"}, nullptr, ".mp4, .mov, .mkv or .webm"},
        {{"--master", "m.mp4"}, nullptr, ".mkv"},
        {{"--master", "m.webm"}, nullptr, ".mkv"},
    };
    const std::string work = newTempDir();
    for (const auto& row : table) {
        std::vector<std::string> args = row.args;
        if (args[0] == "--video" || args[0] == "--master")
            args.insert(args.end(), VIDEO.begin(), VIDEO.end());
        // The option that names the file, and the file.
        const std::string& option = row.args[0] == "--at" ? row.args[2] : row.args[0];
        const std::string& file = row.args[0] == "--at" ? row.args[3] : row.args[1];
        SCOPED_TRACE(option + " " + file);
        std::string err;
        int status = runCapture(args, &err, {}, work);
        if (row.made) {
            ASSERT_EQ(status, 0) << err;
            std::string found = probe(work + "/" + file);
            std::istringstream expected(row.made);
            for (std::string word; expected >> word;)
                EXPECT_NE((" " + found + " ").find(" " + word + " "), std::string::npos) << word << " in " << found;
            if (option == "--video" || option == "--master") {
                EXPECT_EQ(shellOutput("ffprobe -v error -show_chapters -of csv=p=0 '" + work + "/" + file +
                                      "' | cut -d, -f4,6,7"),
                          CHAPTERS);
            }
            std::remove((work + "/" + file).c_str());
        } else {
            EXPECT_EQ(status, 2);
            EXPECT_EQ(err.find("quenrastilan-capture: " + option + " " + file + ": "), 0u) << err;
            EXPECT_NE(err.find(row.refusal), std::string::npos) << err;
            EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        }
        EXPECT_EQ(shellOutput("ls -A '" + work + "'"), "");
    }
    rmdir(work.c_str());
}

// On a full disk every kind of output fails with status 1 in one line that names the path as
// typed and the operating system's reason, never a temporary name, and leaves nothing on the
// disk or in the temporary folder: a still in a folder it makes, a video, and a master from two
// processes. The disk is a small tmpfs, full before the capture starts. (A user's files around
// frames that fail part-way are capture_files_test's.)
TEST(CaptureFormats, AFullDiskIsNamedAndLeavesNothingBehind)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small file system to fill needs root";
    const std::string work = newTempDir(), small = work + "/small", tmp = newTempDir();
    ASSERT_EQ(mkdir(small.c_str(), 0755), 0);
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    shellOutput("dd if=/dev/zero of='" + small + "/filler' bs=64k 2>/dev/null");
    const std::string files = "cd '" + small + "' && find . | sort | tr '\\n' ' '";
    ASSERT_EQ(shellOutput(files), ". ./filler ");
    const struct {
        std::vector<std::string> args;
        const char* named;
    } cases[] = {
        {{"--at", "5220", "--out", "small/stills/s.png"}, "small/stills/s.png"},
        {{"--video", "small/v.mp4", "--from", "5000", "--to", "6000"}, "small/v.mp4"},
        {{"--master", "small/m.mkv", "--from", "5000", "--to", "6000", "--jobs", "2"}, "small/m.mkv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        std::vector<std::string> args = c.args;
        args.push_back("--quiet");
        std::string err;
        EXPECT_EQ(runCapture(args, &err, {"TMPDIR=" + tmp}, work), 1);
        EXPECT_EQ(err.find(std::string("quenrastilan-capture: cannot write ") + c.named), 0u) << err;
        EXPECT_EQ(err.find(": No space left on device\n"), err.size() - 26) << err;
        EXPECT_EQ(err.find("partial"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(shellOutput(files), ". ./filler ");
        EXPECT_EQ(shellOutput("ls -A '" + tmp + "'"), "");
    }
    EXPECT_EQ(umount(small.c_str()), 0);
    std::system(("rm -rf '" + work + "' '" + tmp + "'").c_str());
}
