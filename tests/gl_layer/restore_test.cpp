// The web GL layer on a WebGL context lost and given back: the work queued on the old one
// dropped, and everything the layer had on it made again on the new one, as it was last given.
#include "layer.h"

#include <algorithm>

namespace {

class Restore : public Layer {};

const unsigned CONTEXT_LOST_WEBGL = 0x9242;

using Made = std::vector<std::pair<std::string, std::vector<double>>>;

// The calls that gave again the texture given `pixels` as an image, after its binding, up to
// the next texture's; and the WebGL texture bound.
Made restored(const std::vector<unsigned char>& pixels, double* texture)
{
    const std::vector<webgl::Call>& calls = webgl::calls;
    auto from = std::find_if(calls.begin(), calls.end(),
                             [&](const webgl::Call& c) { return c.name == "glTexImage2D" && c.data == pixels; });
    while (from != calls.begin() && from != calls.end() && from->name != "glBindTexture")
        --from;
    if (from == calls.end())
        return {};
    *texture = from->args[1];
    Made out;
    for (auto c = from + 1; c != calls.end() && c->name != "glBindTexture" && c->name != "glGenTextures"; ++c)
        out.push_back({c->name, c->args});
    return out;
}

// Whether a call of this name and these arguments was made.
bool among(const char* name, std::vector<double> args)
{
    return std::any_of(webgl::calls.begin(), webgl::calls.end(),
                       [&](const webgl::Call& c) { return c.name == name && c.args == args; });
}

TEST_F(Restore, ALostContextIsMadeAgainAsItWas)
{
    // Two textures: one image given twice and then in part, and one whose mipmaps are made with
    // each image (rows of 3 bytes, unaligned).
    GLuint t[2];
    glGenTextures(2, t);
    const std::vector<unsigned char> first(16, 1), second(16, 2), patch(4, 3), rows = {1, 2, 3, 4, 5, 6};
    glBindTexture(GL_TEXTURE_2D, t[0]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, first.data());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, second.data());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, patch.data());
    glBindTexture(GL_TEXTURE_2D, t[1]);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, 3, 2, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, rows.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    glBindTexture(GL_TEXTURE_2D, t[0]);
    // WebGL's state, and a textured quad drawn before the loss as after it.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDepthFunc(GL_LEQUAL);
    glCullFace(GL_FRONT);
    glClearColor(0.5f, 0.25f, 0.125f, 1);
    glViewport(1, 2, 300, 400);
    glScissor(5, 6, 7, 8);
    glEnable(GL_TEXTURE_2D);
    qgl_end_frame();

    // The frame's work queued when the context is lost is dropped, and cannot be shown again.
    qgl_begin_frame();
    webgl::clear();
    quad(0, 0);
    qgl_context_lost();
    qgl_end_frame();
    EXPECT_TRUE(webgl::draws.empty());
    EXPECT_FALSE(qgl_show_frame_again());

    webgl::errors = {CONTEXT_LOST_WEBGL};
    webgl::clear();
    const char* error = "";
    ASSERT_TRUE(qgl_restore(&error));
    EXPECT_EQ(qgl_take_error(), (unsigned)GL_NO_ERROR);  // the loss is no error of the show's

    double given = 0, generating = 0;
    EXPECT_EQ(restored(second, &given),
              (Made{{"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE}},
                    {"glPixelStorei", {GL_UNPACK_ALIGNMENT, 4}},
                    {"glTexImage2D", {GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE}},
                    {"glPixelStorei", {GL_UNPACK_ALIGNMENT, 4}},
                    {"glTexSubImage2D", {GL_TEXTURE_2D, 0, 1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE}}}));
    EXPECT_EQ(webgl::named("glTexSubImage2D").at(0).data, patch);
    // The texture made again last: the alignments set back after it follow.
    EXPECT_EQ(restored(rows, &generating),
              (Made{{"glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}},
                    {"glTexImage2D", {GL_TEXTURE_2D, 0, GL_LUMINANCE, 3, 2, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE}},
                    {"glPixelStorei", {GL_UNPACK_ALIGNMENT, 1}},
                    {"glGenerateMipmap", {GL_TEXTURE_2D}},
                    {"glPixelStorei", {GL_UNPACK_ALIGNMENT, 8}},
                    {"glPixelStorei", {GL_PACK_ALIGNMENT, 4}}}));
    EXPECT_EQ(webgl::named("glBindTexture").back().args[1], given);

    const std::pair<const char*, std::vector<double>> state[] = {
        {"glEnable", {GL_BLEND}}, {"glEnable", {GL_DEPTH_TEST}}, {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE}},
        {"glDepthMask", {GL_FALSE}}, {"glDepthFunc", {GL_LEQUAL}}, {"glCullFace", {GL_FRONT}},
        {"glClearColor", {0.5, 0.25, 0.125, 1}}, {"glViewport", {1, 2, 300, 400}}, {"glScissor", {5, 6, 7, 8}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST}}};  // the line texture's
    for (const auto& call : state)
        EXPECT_TRUE(among(call.first, call.second)) << call.first;

    // A textured quad and a line draw through the new context's programs, vertex array, buffers
    // and line texture.
    double vertexArray = webgl::named("glGenVertexArrays").at(0).args[1];
    double lineTexture = webgl::named("glGenTextures").at(0).args[1];  // the first texture made again
    qgl_begin_frame();
    quad(0, 0);
    glBegin(GL_LINES);
    glVertex2f(0, 0);
    glVertex2f(1, 0);
    glEnd();
    qgl_end_frame();
    ASSERT_EQ(webgl::draws.size(), 2u);
    EXPECT_EQ(webgl::draws[0].texture, given);
    EXPECT_EQ(eye(webgl::draws[0], 2), (std::array<float, 4>{1, 1, 0, 1}));  // the new program's uniforms set
    EXPECT_EQ(webgl::named("glBindVertexArray").back().args[0], vertexArray);
    std::vector<double> programs;
    for (const webgl::Call& c : webgl::named("glCreateProgram"))
        programs.push_back(c.args[0]);
    for (const webgl::Call& c : webgl::named("glUseProgram"))
        EXPECT_NE(std::find(programs.begin(), programs.end(), c.args[0]), programs.end());
    EXPECT_TRUE(among("glBindTexture", {GL_TEXTURE_2D, lineTexture}));
    EXPECT_TRUE(among("glTexImage2D", {GL_TEXTURE_2D, 0, GL_RGBA32F, 1024, 1, 0, GL_RGBA, GL_FLOAT}));
}

}  // namespace
