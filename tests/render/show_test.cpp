// The show's frames, named by scene and position: white wherever every fade is 0, drawn inside
// every scene, and the credits' placement, typing and fades.
#include "render_fixture.h"

#include "frame/show.h"
#include "frame/timeline.h"
#include "scenes/scene_table.h"

#include <algorithm>
#include <cmath>

using ShowTest = ShowRenderTest;

// The show time at which a scene stands at position pos.
static int at(const char* scene, float pos)
{
    const int* range = scene_named(scene)->range;
    return range[0] + (int)std::lround(pos * (float)(range[1] - range[0]));
}

TEST_F(ShowTest, FramesWhereEveryFadeIsZeroArePureWhite)
{
    // Every scene alone at both ends of its range (several start inside an overlap).
    for (const Scene& s : SCENES)
        for (int time : s.range)
            EXPECT_TRUE(allWhite(alone(s.name, time))) << s.name << " at " << time;

    // Whole frames inside scenes: the edges of the first credit line's window, the quarter
    // boundaries of the fractal and of the clouds, the curves just after their start and just
    // before their end; then the frames after the last scene.
    const std::pair<const char*, float> inside[] = {
        {"alku", 0.1f}, {"alku", 0.2f}, {"newton", 0.25f}, {"newton", 0.5f}, {"newton", 0.75f},
        {"iterator", 0.25f}, {"iterator", 0.5f}, {"iterator", 0.75f}, {"curves", 0.005f}, {"curves", 0.9993f},
    };
    for (const auto& [scene, pos] : inside)
        EXPECT_TRUE(allWhite(showAt(at(scene, pos)))) << scene << " at " << pos;
    for (int time : {244001, 244500, 244999})
        EXPECT_TRUE(allWhite(showAt(time))) << time;
}

// The whole frame at a scene's position: how many pixels are dark (every channel at most
// `threshold`), how far those spread, the range of the darkest channel of any pixel, and the
// red-tinted (red 30 above green) and blue-tinted (blue 40 above red and green) pixels. A count
// is a minimum; NONE asks for no such pixel.
TEST_F(ShowTest, EverySceneDrawsWhatItShows)
{
    const int NONE = -1;
    struct Drawn {
        const char* scene;
        float pos;
        int threshold, dark, wide, tall, darkest[2], red, blue;
    } drawn[] = {
        // Just after the flash every solid is deep in the fog (1 to 4 units): nothing darker than
        // light grey.
        {"platon", 0.0385f, 254, 0, 0, 0, {140, 254}, 0, 0},
        // In the middle the solids are lit red and the near ones come through the fog dark.
        {"platon", 0.5f, 160, 1, 400, 400, {0, 99}, 10000, 0},
        // The fractal's grid, about 130 units wide seen from 160 away, in opaque black squares.
        {"newton", 0.125f, 160, 1, 700, 700, {0, 0}, 0, 0}, {"newton", 0.375f, 160, 1, 700, 700, {0, 0}, 0, 0},
        {"newton", 0.625f, 160, 1, 700, 700, {0, 0}, 0, 0}, {"newton", 0.875f, 160, 1, 700, 700, {0, 0}, 0, 0},
        // The camera inside the Lorenz shell: the line (up to 0.7 alpha) fills the view.
        {"lorentz", 0.5f, 128, 1, 600, 400, {0, 99}, 0, 0},
        // Rossler: the outside camera alone, both at half opacity, the riding camera alone.
        {"rossler", 0.4f, 199, 1, 0, 0, {0, 199}, 0, 0}, {"rossler", 0.5f, 200, 2000, 0, 0, {0, 200}, 0, 0},
        {"rossler", 0.6f, 199, 1, 0, 0, {0, 199}, 0, 0},
        // The aggregate's points, red where they are near the eye.
        {"dla", 0.5f, 254, 1, 0, 0, {0, 254}, 1000, 0},
        // The cells' sheet and a pair of red greetings in the middle of stages 0, 9 and 18; none
        // just after a stage boundary; at 0.99 the sheet, scaled about 10^7, has flown apart.
        {"cell", 0.5f / 19, 160, 100000, 0, 0, {0, 160}, 300, 0}, {"cell", 9.5f / 19, 160, 100000, 0, 0, {0, 160}, 300, 0},
        {"cell", 18.5f / 19, 254, 0, 0, 0, {0, 254}, 300, 0}, {"cell", 6843.0f / 13000, 254, 1, 0, 0, {0, 254}, NONE, 0},
        {"cell", 0.99f, 160, NONE, 0, 0, {0, 255}, 0, 0},
        // The curves: four segments each at 0.05; in the middle red and black curves.
        {"curves", 0.05f, 199, 1, 0, 0, {0, 199}, 0, 0}, {"curves", 0.5f, 119, 20000, 0, 0, {0, 119}, 2000, 0},
        // The trees, their newest level in blue.
        {"fibotree", 0.5f, 160, 20000, 0, 0, {0, 160}, 0, 50},
        // A black cloud in the middle of each quarter.
        {"iterator", 0.125f, 100, 5000, 0, 0, {0, 0}, 0, 0}, {"iterator", 0.375f, 100, 5000, 0, 0, {0, 0}, 0, 0},
        {"iterator", 0.625f, 100, 5000, 0, 0, {0, 0}, 0, 0}, {"iterator", 0.875f, 100, 5000, 0, 0, {0, 0}, 0, 0},
    };
    auto atLeast = [&](int count, int wanted) { return wanted == NONE ? count == 0 : count >= wanted; };
    for (const Drawn& d : drawn) {
        SCOPED_TRACE(testing::Message() << d.scene << " at " << d.pos);
        std::vector<unsigned char> rgb = showAt(at(d.scene, d.pos));
        int dark = 0, red = 0, blue = 0, left = 1024, right = -1, top = 768, bottom = -1;
        for (size_t p = 0; p < rgb.size(); p += 3) {
            int x = (int)(p / 3 % 1024), y = (int)(p / 3 / 1024);
            if (std::max({rgb[p], rgb[p + 1], rgb[p + 2]}) <= d.threshold) {
                dark++;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
            red += rgb[p] > rgb[p + 1] + 30;
            blue += rgb[p + 2] > rgb[p] + 40 && rgb[p + 2] > rgb[p + 1] + 40;
        }
        EXPECT_TRUE(atLeast(dark, d.dark)) << dark << " dark";
        EXPECT_TRUE(d.wide + d.tall == 0 || (right - left >= d.wide && bottom - top >= d.tall))
            << right - left << " by " << bottom - top;
        EXPECT_GE(darkest(rgb), d.darkest[0]);
        EXPECT_LE(darkest(rgb), d.darkest[1]);
        EXPECT_TRUE(atLeast(red, d.red)) << red << " red";
        EXPECT_TRUE(atLeast(blue, d.blue)) << blue << " blue";
    }
}

// Red points blended over white and fogged towards white never separate green from blue.
TEST_F(ShowTest, TheAggregateIsRedFoggedTowardsWhite)
{
    std::vector<unsigned char> rgb = showAt(at("dla", 0.5f));
    for (size_t p = 0; p < rgb.size(); p += 3) {
        ASSERT_EQ(rgb[p + 1], rgb[p + 2]) << p / 3;
        ASSERT_GE(rgb[p] + 1, rgb[p + 1]) << p / 3;
    }
}

// The potential field draws the fields of its last 16 frames: sixteen frames after one at its
// middle (whose newest field lies around the screen's centre) the stack covers far more.
TEST_F(ShowTest, ThePotentialFieldStacksItsLastSixteenFrames)
{
    Box one = darkBox(showAt(53000), 200);
    EXPECT_TRUE(one.left < 512 && one.right > 512 && one.top < 384 && one.bottom > 384);
    std::vector<unsigned char> rgb;
    for (int k = 1; k <= 16; k++)
        rgb = showAt(53000 + 33 * k);
    EXPECT_GT(darkBox(rgb, 200).count, 2 * one.count);
    EXPECT_LT(darkest(rgb), 40);
}

// Line 1 ("Molvenar") shows for the credits' positions 0.1 to 0.2 (2900 to 5800 ms) at
// (9, 2, 0): left of the centre and a little above it.
TEST_F(ShowTest, FirstCreditLineTypesItselfInOverItsFillerAndFades)
{
    // p = 0.2: only the filler "70 836 4030 5830 7192 7912", reaching past the right edge.
    EXPECT_GT(darkBox(showAt(2900 + 580)).right, 1000);

    // p = 0.8: the whole text, 8 characters of about 31 pixels each at this distance.
    Box text = darkBox(showAt(2900 + 2320));
    ASSERT_FALSE(text.empty());
    EXPECT_NEAR(text.left, 234, 15);
    EXPECT_NEAR(text.right - text.left, 240, 25);
    EXPECT_TRUE(text.bottom < 384 && text.top > 384 - 4 * 31);  // a little above the centre

    // p = 0.5: the text and three blanks, then the filler from its 12th character on.
    std::vector<unsigned char> middle = showAt(2900 + 1450);
    Box half = darkBox(middle);
    EXPECT_EQ(half.left, text.left);
    EXPECT_GT(half.right, 1000);
    EXPECT_LT(darkest(middle), 30);  // black at full alpha in the window's middle
    EXPECT_NEAR(darkest(showAt(5220)), 255 * (1 - 0.588), 25);  // envelope sin(0.8 pi) = 0.588
}

TEST_F(ShowTest, EachCreditLineShowsInItsOwnWindow)
{
    // Lines 2 to 8 at the middles of their windows. World x grows to the left: a line starts
    // about 31 pixels per unit of its x left of the centre.
    const int lineLeft[8] = {9, 11, 15, 13, 6, 6, 11, 12};
    for (int line = 1; line < 8; line++) {
        Box b = darkBox(showAt(2900 * (line + 1) + 1450));
        ASSERT_FALSE(b.empty()) << "line " << line + 1;
        EXPECT_NEAR(b.left, 512 - 31 * lineLeft[line], 40) << "line " << line + 1;
    }
}

// A jump, a later start or a part of a capture advances the scenes that carry state instead of
// drawing them: the frame that follows is the one a run drawing every frame would have given.
// The times fall early and late in each such scene. The last flow's newborn particles continue
// the random generators' sequences after the iterated maps' clouds have drawn from them, so its
// frames also check that the clouds' draws were replayed.
TEST_F(ShowTest, BringingTheShowToATimeMatchesDrawingEveryFrame)
{
    const int fps = 10;
    std::vector<int> times;
    for (const Scene& s : SCENES)
        if (s.carriesState())
            for (double at : {0.22, 0.7}) {
                long long n = (long long)(s.range[0] + (s.range[1] - s.range[0]) * at) * fps / 1000;
                times.push_back((int)(n * 1000 / fps));
            }
    std::vector<std::vector<unsigned char>> drawn;
    show_restart();
    for (long long n = 0; drawn.size() < times.size(); n++) {
        int t = (int)(n * 1000 / fps);
        if (t == times[drawn.size()]) {
            show_frame(t);
            drawn.push_back(frame());
        } else {
            NoRaster unseen;
            show_frame(t);
        }
    }
    for (size_t i = 0; i < times.size(); i++) {
        show_restart();
        show_bring_to(-1, times[i], fps);
        EXPECT_TRUE(showAt(times[i]) == drawn[i]) << times[i] << " ms";
    }
}
