// The web GL layer's frame queue: WebGL work made at the frame's end in the order the show
// asked for it, sooner when something must see its effect, and made again for a frame shown again.
#include "layer.h"

namespace {

class Queue : public Layer {};

// The calls of these names, those of enables only for capability cap.
std::vector<std::string> calls(std::initializer_list<const char*> names, GLenum cap)
{
    std::vector<std::string> out;
    for (const webgl::Call& c : webgl::calls)
        for (const char* n : names)
            if (c.name == n && ((c.name != "glEnable" && c.name != "glDisable") || c.args[0] == cap))
                out.push_back(n);
    return out;
}

TEST_F(Queue, WorkIsMadeAtTheFrameEndInOrderAndTheLinesGoUpFirstAsOne)
{
    auto line = [] {
        glBegin(GL_LINES);
        glVertex2f(0, 0);
        glVertex2f(1, 1);
        glEnd();
    };
    glClearColor(0.5f, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    quad(0, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    quad(2, 0);
    line();
    glDisable(GL_BLEND);
    line();
    EXPECT_TRUE(webgl::calls.empty());
    qgl_end_frame();
    EXPECT_EQ(calls({"glTexSubImage2D", "glClearColor", "glClear", "glEnable", "glDisable", "glBlendFunc",
                     "glDrawElements"},
                    GL_BLEND),
              (std::vector<std::string>{"glTexSubImage2D", "glClearColor", "glClear", "glDrawElements", "glEnable",
                                        "glBlendFunc", "glDrawElements", "glDrawElements", "glDisable",
                                        "glDrawElements"}));
    EXPECT_EQ(webgl::named("glClear")[0].args[0], GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EXPECT_EQ(webgl::draws[3].uniforms.at("u_line_base"), std::vector<float>{4});  // after the first line's 4 texels
}

TEST_F(Queue, AQuestionOrATextureChangeMakesTheQueueFirst)
{
    GLuint t[2];
    glGenTextures(2, t);
    unsigned char pixel[4] = {1, 2, 3, 4};
    for (GLuint name : t) {
        glBindTexture(GL_TEXTURE_2D, name);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    }
    auto made = webgl::named("glGenTextures");  // WebGL's textures for the two names, one a call
    double web[2] = {made[made.size() - 2].args[1], made.back().args[1]};
    qgl_begin_frame(1024, 768);
    webgl::clear();

    // The lines go up once, however often the queue is made.
    GLint viewport[4];
    glBegin(GL_LINES);
    glVertex2f(0, 0);
    glVertex2f(1, 1);
    glEnd();
    glGetIntegerv(GL_VIEWPORT, viewport);
    quad(0, 0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(calls({"glTexSubImage2D", "glDrawElements", "glGetIntegerv"}, 0),
              (std::vector<std::string>{"glTexSubImage2D", "glDrawElements", "glGetIntegerv", "glDrawElements",
                                        "glGetIntegerv"}));

    // A textured draw binds its own texture when it is made, and the bound one after it.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, t[0]);
    quad(0, 0);
    glBindTexture(GL_TEXTURE_2D, t[1]);
    webgl::clear();
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(calls({"glDrawElements", "glTexSubImage2D"}, 0),
              (std::vector<std::string>{"glDrawElements", "glTexSubImage2D"}));
    ASSERT_EQ(webgl::draws.size(), 1u);
    EXPECT_EQ(webgl::draws[0].texture, web[0]);
    EXPECT_EQ(webgl::named("glBindTexture").back().args[1], web[1]);
}

TEST_F(Queue, AFrameShownAgainIsMadeAgainFromItsStartingState)
{
    glEnable(GL_BLEND);
    glTranslatef(3, 0, 0);
    quad(0, 0);
    qgl_end_frame();
    webgl::clear();
    ASSERT_TRUE(qgl_show_frame_again());
    EXPECT_EQ(calls({"glEnable", "glDisable", "glDrawElements"}, GL_BLEND),
              (std::vector<std::string>{"glDisable", "glEnable", "glDrawElements", "glEnable"}));
    ASSERT_EQ(webgl::draws.size(), 1u);
    EXPECT_EQ(eye(webgl::draws[0], 0), (std::array<float, 4>{3, 0, 0, 1}));
}

TEST_F(Queue, ALostContextDropsTheQueuedWork)
{
    quad(0, 0);
    qgl_context_lost();
    qgl_end_frame();
    EXPECT_TRUE(webgl::draws.empty());
    EXPECT_FALSE(qgl_show_frame_again());
    const char* error = "";
    ASSERT_TRUE(qgl_restore(&error));
}

}  // namespace
