// The soak: the whole show, 0 to 245000 ms at 60 frames per second, through the capture tool's
// --check mode (glGetError after every frame), with LeakSanitizer at its exit in the sanitizer
// build. Its figures (frames, GL errors, peak resident memory) go to the test's log.
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

TEST(CaptureCheckLong, TheWholeShowAt60FpsRaisesNoGLErrorAndLeaksNothing)
{
    FILE* p = popen("ASAN_OPTIONS=detect_leaks=1 " QUENRASTILAN_CAPTURE " --check --fps 60 --quiet 2>&1", "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        out.append(buf, n);
    int status = pclose(p);
    std::printf("%s", out.c_str());
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("frames run: 14701 "), std::string::npos) << out;
    EXPECT_NE(out.find("GL errors: 0\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Sanitizer"), std::string::npos) << out;
}
