// The show's frames: blank ends, the credits' placement, text and fades, and the textures.
#include "render_fixture.h"

#include "frame/show.h"
#include "render/texture.h"

#include <GL/gl.h>

class ShowTest : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
    static std::vector<unsigned char> at(int time) { return showAt(time); }
};

TEST_F(ShowTest, FramesAtTheVeryStartAndAfterTheLastSceneArePureWhite)
{
    EXPECT_TRUE(allWhite(at(0)));
    EXPECT_TRUE(allWhite(at(244001)));
    EXPECT_TRUE(allWhite(at(244500)));
    EXPECT_TRUE(allWhite(at(244999)));
    // The credits' last tenth: nothing but the background.
    EXPECT_TRUE(allWhite(at(27000)));
}

// The credits run 0 to 29000 ms; line 1 ("Molvenar") shows for t in 0.1 to 0.2, that is
// 2900 to 5800 ms, at (9, 2, 0): left of the centre and a little above it.
TEST_F(ShowTest, FirstCreditLineTypesItselfInOverItsFiller)
{
    // p = 0.2: only the filler "70 836 4030 5830 7192 7912", 26 characters, reaching past the
    // right edge of the screen.
    Box filler = darkBox(at(2900 + 580));
    ASSERT_FALSE(filler.empty());
    EXPECT_GT(filler.right, 1000);

    // p = 0.8: the whole text, 8 characters of about 31 pixels each at this distance.
    std::vector<unsigned char> full = at(2900 + 2320);
    Box text = darkBox(full);
    ASSERT_FALSE(text.empty());
    EXPECT_NEAR(text.left, 234, 15);
    EXPECT_NEAR(text.right - text.left, 240, 25);
    EXPECT_LT(text.right, 512);                 // left of the centre
    EXPECT_LT(text.bottom, 384);                // above it
    EXPECT_GT(text.top, 384 - 4 * 31);          // but only a little

    // p = 0.5: 11 characters of text ("Molvenar" and three blanks), then the filler from its
    // 12th character on: a gap after the text where the filler's digits would have been.
    Box half = darkBox(at(2900 + 1450));
    EXPECT_EQ(half.left, text.left);
    EXPECT_GT(half.right, 1000);
}

TEST_F(ShowTest, CreditLinesFadeWithASineEnvelope)
{
    // Black text at full alpha in the middle of the window, lighter towards its ends, absent at
    // the window's edges (t = 0.1 and 0.2 exactly: 2900 and 5800 ms).
    int middle = darkest(at(4350));
    int late = darkest(at(5220));      // envelope sin(0.8 pi) = 0.588
    EXPECT_LT(middle, 30);
    EXPECT_NEAR(late, 255 * (1 - 0.588), 25);
    EXPECT_TRUE(allWhite(at(2900)));
    EXPECT_TRUE(allWhite(at(5800)));
}

TEST_F(ShowTest, EachCreditLineShowsInItsOwnWindow)
{
    // Lines 2 to 8 at the middles of their windows; 5 and 6 share a position.
    const int lineLeft[8] = {9, 11, 15, 13, 6, 6, 11, 12};
    for (int line = 1; line < 8; line++) {
        int time = 2900 * (line + 1) + 1450;
        Box b = darkBox(at(time));
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
    EXPECT_NE(t[0]->id, t[1]->id);
    EXPECT_NE(t[1]->id, t[2]->id);
    EXPECT_NE(t[0]->id, t[2]->id);
    // Every pixel starts as opaque-less red: bytes 255, 0, 0, 0.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(render512_0->data);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1] + p[2] + p[3], 0);
}
