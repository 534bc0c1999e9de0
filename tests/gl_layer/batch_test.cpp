// The web GL layer's gathering of draws: what joins one WebGL draw, where a batch splits, and
// the vertices each draw is given.
#include "layer.h"

#include <cstring>

namespace {

using F4 = std::array<float, 4>;

class Batching : public Layer {};

TEST_F(Batching, APaletteHoldsThirtyTwoMatricesAndTheThirtyThirdStartsADraw)
{
    for (int i = 0; i < 33; i++) {
        glLoadIdentity();
        glTranslatef((float)i, 0, 0);
        quad(0, 0);
    }
    qgl_end_frame();
    ASSERT_EQ(webgl::draws.size(), 2u);
    EXPECT_EQ(webgl::draws[0].uniforms.at("u_mv").size(), 32u * 16);
    EXPECT_EQ(webgl::draws[0].indices.size(), 32u * 6);
    EXPECT_EQ(eye(webgl::draws[0], 31 * 4 + 2), (F4{32, 1, 0, 1}));
    EXPECT_EQ(webgl::draws[1].indices.size(), 6u);
    EXPECT_EQ(eye(webgl::draws[1], 1), (F4{33, 0, 0, 1}));
}

// Draws of different constant colours join while the colours to write out per vertex number
// 1024 at most.
TEST_F(Batching, ConstantsAreWrittenOutPerVertexUpToTheirCap)
{
    std::vector<float> xy(2 * 513);
    for (size_t i = 0; i < xy.size(); i++)
        xy[i] = (float)i;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, xy.data());
    auto points = [](float r, float g, float b, int n) {
        glColor3f(r, g, b);
        glDrawArrays(GL_POINTS, 0, n);
    };
    points(1, 0, 0, 512);
    points(0, 1, 0, 512);
    points(0, 0, 1, 512);  // the batch's colour varies already: 512 more
    qgl_end_frame();
    ASSERT_EQ(webgl::draws.size(), 1u);
    const webgl::Draw& joined = webgl::draws[0];
    EXPECT_EQ(joined.indices.size(), 1536u);
    EXPECT_EQ(colour(joined, 511), (F4{1, 0, 0, 1}));
    EXPECT_EQ(colour(joined, 512), (F4{0, 1, 0, 1}));
    EXPECT_EQ(colour(joined, 1535), (F4{0, 0, 1, 1}));

    qgl_begin_frame();
    webgl::clear();
    points(1, 0, 0, 512);
    points(0, 1, 0, 513);
    qgl_end_frame();
    ASSERT_EQ(webgl::draws.size(), 2u);
    EXPECT_FALSE(webgl::draws[0].varies[1]);
    EXPECT_EQ(webgl::draws[0].indices.size(), 512u);
    EXPECT_EQ(colour(webgl::draws[1], 0), (F4{0, 1, 0, 1}));
}

// Line vertices go up as texels of the line texture: position and palette index plus 32 times
// the strip number, then the colour.
TEST_F(Batching, LineStripsKeepTheirStripAndMatrixInEachVertex)
{
    glColor3f(1, 0, 0);
    glBegin(GL_LINE_STRIP);
    glVertex2f(0, 0);
    glVertex2f(1, 0);
    glVertex2f(1, 1);
    glEnd();
    glTranslatef(5, 0, 0);
    glBegin(GL_LINE_LOOP);
    glVertex3f(0, 0, 2);
    glVertex3f(1, 0, 2);
    glVertex3f(0, 1, 2);
    glEnd();
    qgl_end_frame();
    ASSERT_EQ(webgl::draws.size(), 1u);
    EXPECT_EQ(webgl::draws[0].indices.size(), 6u * 6);  // 7 vertices, the loop closed
    EXPECT_EQ(webgl::draws[0].uniforms.at("u_mv").size(), 2u * 16);
    auto uploads = webgl::named("glTexSubImage2D");
    ASSERT_EQ(uploads.size(), 1u);
    const float* texels = (const float*)uploads[0].data.data();
    const float expected[7][4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 0, 2, 33},
                                  {1, 0, 2, 33}, {0, 1, 2, 33}, {0, 0, 2, 33}};
    for (int v = 0; v < 7; v++) {
        EXPECT_EQ(0, std::memcmp(texels + 8 * v, expected[v], 16)) << "vertex " << v;
        EXPECT_EQ(0, std::memcmp(texels + 8 * v + 4, (F4{1, 0, 0, 1}).data(), 16)) << "vertex " << v;
    }
}

TEST_F(Batching, LinesFillTheLineTextureToItsLastTexel)
{
    // A texture of 1024 x 1 texels: 512 line vertices of two texels each.
    const char* error = "";
    webgl::maxTextureSize = 1;
    qgl_context_lost();
    ASSERT_TRUE(qgl_restore(&error));
    qgl_begin_frame();
    webgl::clear();
    std::vector<float> xy(2 * 514);
    for (size_t i = 0; i < xy.size(); i++)
        xy[i] = (float)(i / 2);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, xy.data());
    glDrawArrays(GL_LINES, 0, 512);
    qgl_end_frame();
    EXPECT_TRUE(qgl_show_frame_again());  // the texture full, the frame kept whole
    qgl_begin_frame();
    webgl::clear();
    glDrawArrays(GL_LINES, 0, 512);
    EXPECT_TRUE(webgl::draws.empty());
    glDrawArrays(GL_LINES, 2, 2);    // no room: what is queued is made, the texture starts afresh
    EXPECT_EQ(webgl::draws.size(), 1u);
    glDrawArrays(GL_LINES, 0, 514);  // more than the texture holds
    qgl_end_frame();
    EXPECT_EQ(qgl_take_error(), (unsigned)GL_OUT_OF_MEMORY);
    auto uploads = webgl::named("glTexSubImage2D");
    ASSERT_EQ(uploads.size(), 2u);
    ASSERT_EQ(webgl::draws.size(), 2u);
    EXPECT_EQ(webgl::draws[0].indices.size(), 256u * 6);
    EXPECT_EQ(((const float*)uploads[0].data.data())[8 * 511], 511.0f);
    EXPECT_EQ(webgl::draws[1].indices.size(), 6u);
    EXPECT_EQ(webgl::draws[1].uniforms.at("u_line_base"), std::vector<float>{0});
    EXPECT_EQ(((const float*)uploads[1].data.data())[0], 2.0f);
    EXPECT_EQ(((const float*)uploads[1].data.data())[8], 3.0f);
    EXPECT_FALSE(qgl_show_frame_again());

    webgl::maxTextureSize = 4096;
    qgl_context_lost();
    ASSERT_TRUE(qgl_restore(&error));
}

// Each under a matrix and a colour of its own.
TEST_F(Batching, QuadsPolygonsAndTrianglesShareOneDrawAndStripsDrawAlone)
{
    glColor3f(1, 0, 0);
    quad(0, 0);
    glTranslatef(10, 0, 0);
    glColor3f(0, 1, 0);
    glBegin(GL_POLYGON);
    for (int i = 0; i < 5; i++)
        glVertex2f((float)i, (float)(i * i));
    glEnd();
    glTranslatef(0, 5, 0);
    glColor3f(0, 0, 1);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 3; i++)
        glVertex2f((float)i, 0);
    glEnd();
    for (int s = 0; s < 2; s++) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int i = 0; i < 4; i++)
            glVertex2f((float)i, (float)(i % 2));
        glEnd();
    }
    qgl_end_frame();
    ASSERT_EQ(webgl::draws.size(), 3u);
    EXPECT_EQ(webgl::draws[0].indices,
              (std::vector<unsigned>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7, 4, 7, 8, 9, 10, 11}));
    const webgl::Draw& d = webgl::draws[0];
    EXPECT_EQ(eye(d, 8), (F4{14, 16, 0, 1}));
    EXPECT_EQ(colour(d, 8), (F4{0, 1, 0, 1}));
    EXPECT_EQ(eye(d, 11), (F4{12, 5, 0, 1}));
    for (int s = 1; s < 3; s++) {
        EXPECT_EQ(webgl::draws[s].mode, (unsigned)GL_TRIANGLE_STRIP);
        EXPECT_EQ(webgl::draws[s].indices, (std::vector<unsigned>{0, 1, 2, 3}));
    }
}

}  // namespace
