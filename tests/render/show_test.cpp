// The show's frames: blank where fades are 0, drawn inside the scenes, the credits' placement,
// text and fades, and the textures.
#include "render_fixture.h"

#include "frame/timeline.h"
#include "render/texture.h"
#include "scenes/scene_table.h"

#include <GL/gl.h>

using ShowTest = ShowRenderTest;

// Every scene's fade is 0 at its start (and the quarters' at their boundaries), so these frames
// are the white background alone.
TEST_F(ShowTest, FramesAtFadedEdgesArePureWhite)
{
    const int blank[] = {
        0, 2900, 5800,           // the credits' start and the edges of line 1's window
        27000,                   // the credits' last tenth; the solids' opaque white flash
        40000, 66000,            // the solids at t = 1; the potential field's start and end
        73000, 80000, 87000,     // Newton's quarter boundaries
        132000, 145000,          // the cells at pos 0 and 1 (where stage 19 would read past the greetings)
        145070, 158990, 159000,  // the curves at pos 0.005 and above 0.999; the converging flow's start
        205125, 211750, 218375,  // the iterated maps' quarter boundaries
        225000,                  // their end and the vector field's start
        244001, 244500, 244999,  // after the last scene
    };
    for (int time : blank)
        EXPECT_TRUE(allWhite(showAt(time))) << time;

    // Scenes that start inside an overlap, drawn alone at their start.
    for (const char* scene : {"lorentz", "rossler", "dla", "fibotree"})
        EXPECT_TRUE(allWhite(alone(scene, scene_named(scene)->range[0]))) << scene;
}

// Frames inside the scenes: at least so many pixels at or below a darkness threshold, a box at
// least so wide and tall (-1: not checked), and the darkest channel.
TEST_F(ShowTest, ScenesDrawInTheirMiddles)
{
    struct Drawn { int time, threshold, moreThan, wider, taller, darkest; } drawn[] = {
        // Newton, the middle of each quarter: the grid, about 130 units wide seen from 160
        // away, spans most of the screen in opaque black squares.
        {69500, 160, 0, 700, 700, 0}, {76500, 160, 0, 700, 700, 0},
        {83500, 160, 0, 700, 700, 0}, {90500, 160, 0, 700, 700, 0},
        // Lorenz at 0.5: the camera inside the shell, the line (up to 0.7 alpha) fills the view.
        {99500, 128, 0, 600, 400, 99},
        // Rossler at 0.4 (the outside camera only), 0.5 (both at half opacity), 0.6 (riding).
        {111000, 199, 0, -1, -1, 199}, {112500, 200, 2000, -1, -1, 200}, {114000, 199, 0, -1, -1, 199},
        // The curves at pos 0.05: four segments each.
        {145700, 199, 0, -1, -1, 199},
        // The iterated maps at the middle of each quarter: a black cloud.
        {201812, 100, 5000, -1, -1, 0}, {208437, 100, 5000, -1, -1, 0},
        {215062, 100, 5000, -1, -1, 0}, {221687, 100, 5000, -1, -1, 0},
    };
    for (const Drawn& d : drawn) {
        std::vector<unsigned char> rgb = showAt(d.time);
        Box b = darkBox(rgb, d.threshold);
        EXPECT_GT(b.count, d.moreThan) << d.time;
        EXPECT_GT(b.right - b.left, d.wider) << d.time;
        EXPECT_GT(b.bottom - b.top, d.taller) << d.time;
        EXPECT_LE(darkest(rgb), d.darkest) << d.time;
    }
}

// The credits run 0 to 29000 ms; line 1 ("Molvenar") shows for t in 0.1 to 0.2, that is
// 2900 to 5800 ms, at (9, 2, 0): left of the centre and a little above it.
TEST_F(ShowTest, FirstCreditLineTypesItselfInOverItsFillerAndFades)
{
    // p = 0.2: only the filler "70 836 4030 5830 7192 7912", 26 characters, reaching past the
    // right edge of the screen.
    Box filler = darkBox(showAt(2900 + 580));
    ASSERT_FALSE(filler.empty());
    EXPECT_GT(filler.right, 1000);

    // p = 0.8: the whole text, 8 characters of about 31 pixels each at this distance.
    Box text = darkBox(showAt(2900 + 2320));
    ASSERT_FALSE(text.empty());
    EXPECT_NEAR(text.left, 234, 15);
    EXPECT_NEAR(text.right - text.left, 240, 25);
    EXPECT_LT(text.right, 512);                 // left of the centre
    EXPECT_LT(text.bottom, 384);                // above it
    EXPECT_GT(text.top, 384 - 4 * 31);          // but only a little

    // p = 0.5: 11 characters of text ("Molvenar" and three blanks), then the filler from its
    // 12th character on: a gap after the text where the filler's digits would have been.
    std::vector<unsigned char> middle = showAt(2900 + 1450);
    Box half = darkBox(middle);
    EXPECT_EQ(half.left, text.left);
    EXPECT_GT(half.right, 1000);
    EXPECT_LT(darkest(middle), 30);  // black at full alpha in the window's middle

    // Lighter towards the window's ends (and absent at its edges: FramesAtFadedEdgesArePureWhite).
    EXPECT_NEAR(darkest(showAt(5220)), 255 * (1 - 0.588), 25);  // envelope sin(0.8 pi) = 0.588
}

TEST_F(ShowTest, EachCreditLineShowsInItsOwnWindow)
{
    // Lines 2 to 8 at the middles of their windows; 5 and 6 share a position.
    const int lineLeft[8] = {9, 11, 15, 13, 6, 6, 11, 12};
    for (int line = 1; line < 8; line++) {
        int time = 2900 * (line + 1) + 1450;
        Box b = darkBox(showAt(time));
        ASSERT_FALSE(b.empty()) << "line " << line + 1;
        // World x grows to the left: the line starts about 31 pixels per unit left of the centre.
        EXPECT_NEAR(b.left, 512 - 31 * lineLeft[line], 40) << "line " << line + 1;
    }
}

TEST_F(ShowTest, TexturesAreThreeDistinctMipmapped512Squares)
{
    Texture* t[3] = {render512_0, render512_1, render512_2};
    for (int i = 0; i < 3; i++) {
        ASSERT_NE(t[i], nullptr);
        EXPECT_TRUE(glIsTexture(t[i]->id));
        glBindTexture(GL_TEXTURE_2D, t[i]->id);
        GLint w = 0, h = 0, last = 0, minFilter = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 9, GL_TEXTURE_WIDTH, &last);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        EXPECT_EQ(w, 512);
        EXPECT_EQ(h, 512);
        EXPECT_EQ(last, 1);
        EXPECT_EQ(minFilter, GL_LINEAR);
    }
    EXPECT_TRUE(t[0]->id != t[1]->id && t[1]->id != t[2]->id && t[0]->id != t[2]->id);
    // Every pixel starts as opaque-less red: bytes 255, 0, 0, 0.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(render512_0->data);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1] + p[2] + p[3], 0);
}
