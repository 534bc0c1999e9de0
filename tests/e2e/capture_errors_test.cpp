// The capture tool asked to write into a folder it may not write to (run unprivileged, since
// as root permissions would not hold): a message naming the path, a non-zero status, no file.
// Missing folders and a full device are covered in capture_e2e_test.cpp.
#include "xserver.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(Capture, AnUnwritableFolderIsReportedAndGetsNoFile)
{
    char name[] = "/tmp/quenrastilan-capture-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    const std::string dir = name, locked = dir + "/locked";
    ASSERT_EQ(chmod(name, 0755), 0);
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
        if (status == Program::CANNOT_DROP_PRIVILEGES)
            GTEST_SKIP() << "running as root and cannot drop privileges, so a folder's permissions cannot be tested";
        EXPECT_NE(status, 0);
        std::string err = capture.stderrText();
        EXPECT_EQ(err.find("quenrastilan-capture: " + locked), 0u) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
    DIR* d = opendir(locked.c_str());
    ASSERT_NE(d, nullptr);
    int entries = 0;
    while (readdir(d))
        entries++;
    closedir(d);
    EXPECT_EQ(entries, 2) << "only . and .. in " << locked;
    EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
}
