// Shared set-up of the render tests: one headless 1024x768 context with the show's resources,
// and helpers to look at the pixels read back.
#ifndef QUENRASTILAN_TESTS_RENDER_FIXTURE_H
#define QUENRASTILAN_TESTS_RENDER_FIXTURE_H

#include "frame/show.h"
#include "lib/glcontext.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

struct Box {
    int left, top, right, bottom;   // inclusive pixel bounds, top row 0; empty when left > right
    int count;                      // pixels inside the test
    bool empty() const { return count == 0; }
};

// Opens the context and builds textures and font once for the whole test program.
class RenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static HeadlessContext* gl;

    // Draws the frame of show time `time` (as the frame loop does) and reads it back.
    static std::vector<unsigned char> showAt(int time);

    // The current colour buffer as RGB rows, top row first.
    static std::vector<unsigned char> frame() { return gl->readRGB(); }
    // Bounding box of the pixels whose darkest channel is at most `threshold`.
    static Box darkBox(const std::vector<unsigned char>& rgb, int threshold = 160);
    // The smallest channel value over the frame (0 black, 255 white).
    static int darkest(const std::vector<unsigned char>& rgb) { return *std::min_element(rgb.begin(), rgb.end()); }
    static bool allWhite(const std::vector<unsigned char>& rgb) { return darkest(rgb) == 255; }
    // Pixels of pure red drawn on white (red above 200, green and blue below 120).
    static int redPixels(const std::vector<unsigned char>& rgb);
};

// Tests of the show's scenes: the thirteen inits run once per test process, in the show's
// order (the scenes' random layouts depend on it). Each test runs in a process of its own under
// CTest.
class ShowRenderTest : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        [[maybe_unused]] static bool initialised = (show_init(), true);
    }
    // The named scene drawn alone on a cleared frame, at the position it has at show time `time`.
    static std::vector<unsigned char> alone(const char* scene, int time);
};

#endif
