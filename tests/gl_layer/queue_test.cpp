// The web GL layer's frame queue: WebGL work made at the frame's end in the order the show
// asked for it, sooner when something must see its effect, and made again for a frame shown again.
#include "layer.h"

namespace {

using Names = std::vector<std::string>;

class Queue : public Layer {};

TEST_F(Queue, WorkIsMadeAtTheFrameEndInOrderAndTheLinesGoUpFirstAsOne)
{
    auto line = [] {
        glBegin(GL_LINES);
        glVertex2f(0, 0);
        glVertex2f(1, 1);
        glEnd();
    };
    glClear(GL_COLOR_BUFFER_BIT);
    quad(0, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    quad(2, 0);
    line();
    glDisable(GL_BLEND);
    line();
    EXPECT_TRUE(webgl::calls.empty());
    qgl_end_frame();
    EXPECT_EQ(made({"glTexSubImage2D", "glClear", "glEnable", "glDisable", "glBlendFunc", "glDrawElements"}, GL_BLEND),
              (Names{"glTexSubImage2D", "glClear", "glDrawElements", "glEnable", "glBlendFunc", "glDrawElements",
                     "glDrawElements", "glDisable", "glDrawElements"}));
    EXPECT_EQ(webgl::draws[3].uniforms.at("u_line_base"), std::vector<float>{4});  // after the first line's 4 texels
}

// The lines go up once, however often the queue is made; a textured draw binds its own texture
// when it is made, and the bound one after it.
TEST_F(Queue, AQuestionOrATextureChangeMakesTheQueueFirst)
{
    glBegin(GL_LINES);
    glVertex2f(0, 0);
    glVertex2f(1, 1);
    glEnd();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    quad(0, 0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(made({"glTexSubImage2D", "glDrawElements", "glGetIntegerv"}),
              (Names{"glTexSubImage2D", "glDrawElements", "glGetIntegerv", "glDrawElements", "glGetIntegerv"}));

    GLuint t[2];
    glGenTextures(2, t);
    auto web = webgl::named("glGenTextures");  // WebGL's textures for the two names, one a call
    unsigned char pixel[4] = {1, 2, 3, 4};
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, t[0]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    quad(0, 0);
    glBindTexture(GL_TEXTURE_2D, t[1]);
    webgl::clear();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(made({"glDrawElements", "glTexImage2D"}), (Names{"glDrawElements", "glTexImage2D"}));
    ASSERT_EQ(webgl::draws.size(), 1u);
    EXPECT_EQ(webgl::draws[0].texture, web[web.size() - 2].args[1]);
    EXPECT_EQ(webgl::named("glBindTexture").back().args[1], web.back().args[1]);
}

TEST_F(Queue, AFrameShownAgainIsMadeAgainFromItsStartingState)
{
    glEnable(GL_BLEND);
    glTranslatef(3, 0, 0);
    quad(0, 0);
    qgl_end_frame();
    webgl::clear();
    ASSERT_TRUE(qgl_show_frame_again());
    EXPECT_EQ(made({"glEnable", "glDisable", "glDrawElements"}, GL_BLEND),
              (Names{"glDisable", "glEnable", "glDrawElements", "glEnable"}));
    ASSERT_EQ(webgl::draws.size(), 1u);
    EXPECT_EQ(eye(webgl::draws[0], 0), (std::array<float, 4>{3, 0, 0, 1}));
}

}  // namespace
