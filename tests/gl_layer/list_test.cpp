// The web GL layer's display lists and attribute stack: what a list keeps and makes when called,
// what runs at once while it compiles, and the groups glPopAttrib restores.
#include "layer.h"

namespace {

using F4 = std::array<float, 4>;

class Lists : public Layer {};

F4 currentColour()
{
    F4 c;
    glGetFloatv(GL_CURRENT_COLOR, c.data());
    return c;
}

// As the font draws text: a list a glyph, each moving the pen on, called by character codes.
TEST_F(Lists, ListsAreMadeWhenCalledNotWhenCompiled)
{
    GLuint base = glGenLists(2);
    for (GLuint k = 0; k < 2; k++) {
        glNewList(base + k, GL_COMPILE);
        glColor3f((float)k, 1.0f - k, 0);
        quad(0, 0);
        glTranslatef(10, 0, 0);
        glEndList();
    }
    EXPECT_EQ(currentColour(), (F4{1, 1, 1, 1}));

    glPushAttrib(GL_LIST_BIT);
    glListBase(base - 'a');
    glCallLists(3, GL_UNSIGNED_BYTE, "aba");
    glPopAttrib();
    const GLuint code[1] = {base};  // the list base back at 0
    glCallLists(1, GL_UNSIGNED_INT, code);
    qgl_end_frame();
    ASSERT_EQ(webgl::draws.size(), 1u);
    const webgl::Draw& d = webgl::draws[0];
    ASSERT_EQ(d.indices.size(), 4u * 6);
    for (unsigned g = 0; g < 4; g++) {
        EXPECT_EQ(eye(d, 4 * g), (F4{10.0f * g, 0, 0, 1}));
        EXPECT_EQ(colour(d, 4 * g), (g == 1 ? F4{1, 0, 0, 1} : F4{0, 1, 0, 1}));
    }
}

// The matrices, enables, blending, the current vertex's attributes, glBegin/glEnd, the
// texture binding and the calls of lists and the attribute stack are kept in a list; anything
// else (here the fog's values) is made at once.
TEST_F(Lists, CompileAndExecuteMakesTheCallsNowTooAndTheRestRunsAtOnce)
{
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE_AND_EXECUTE);
    glColor3f(0, 0, 1);
    glEndList();
    EXPECT_EQ(currentColour(), (F4{0, 0, 1, 1}));

    glNewList(list, GL_COMPILE);
    glEnable(GL_FOG);
    glFogf(GL_FOG_START, 5);
    glEndList();
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    glColor3f(1, 1, 1);
    glCallList(list);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_EQ(currentColour(), (F4{1, 1, 1, 1}));  // the list compiled anew
    quad(0, 0);
    qgl_end_frame();
    ASSERT_EQ(webgl::draws.size(), 1u);
    EXPECT_EQ(webgl::draws[0].uniforms.at("u_fog"), (std::vector<float>{5, 1, 1}));
}

TEST_F(Lists, PopAttribRestoresTheGroupsItsMaskNamedOnly)
{
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
    glColor3f(1, 0, 0);
    glEnable(GL_BLEND);
    glEnable(GL_FOG);
    glEnable(GL_CULL_FACE);
    glPointSize(4);
    glLineWidth(3);
    glPopAttrib();
    EXPECT_EQ(currentColour(), (F4{1, 1, 1, 1}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_FOG));

    glPushAttrib(GL_POINT_BIT | GL_LINE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPointSize(8);
    glEnable(GL_POINT_SMOOTH);
    glLineWidth(5);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glColor3f(0, 1, 0);
    glPopAttrib();
    GLfloat size;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 4.0f);
    glGetFloatv(GL_LINE_WIDTH, &size);
    EXPECT_EQ(size, 3.0f);
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH));
    EXPECT_EQ(currentColour(), (F4{0, 1, 0, 1}));
    qgl_end_frame();
    // WebGL's culling, blending and depth are set back as they were.
    for (GLenum cap : {GL_CULL_FACE, GL_BLEND, GL_DEPTH_TEST})
        EXPECT_EQ(made({"glEnable", "glDisable"}, cap).back(), "glDisable") << cap;
    EXPECT_EQ(webgl::named("glBlendFunc").back().args, (std::vector<double>{GL_ONE, GL_ZERO}));
    EXPECT_EQ(webgl::named("glDepthMask").back().args, std::vector<double>{GL_TRUE});
    glPopAttrib();
    EXPECT_EQ(qgl_take_error(), (unsigned)GL_STACK_UNDERFLOW);
}

}  // namespace
