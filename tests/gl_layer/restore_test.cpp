// The web GL layer on a WebGL context lost and given back: everything the layer had on the old
// one made again on the new one, as it was last given.
#include "layer.h"

#include <algorithm>

namespace {

class Restore : public Layer {};

const unsigned CONTEXT_LOST_WEBGL = 0x9242;

// The texture calls made, grouped by the WebGL texture bound on their unit at the time.
std::map<double, std::vector<webgl::Call>> byTexture()
{
    std::map<double, std::vector<webgl::Call>> out;
    double bound[2] = {};
    int unit = 0;
    for (const webgl::Call& c : webgl::calls) {
        if (c.name == "glActiveTexture")
            unit = (int)c.args[0] - GL_TEXTURE0;
        else if (c.name == "glBindTexture")
            bound[unit] = c.args[1];
        else if (c.name.rfind("glTex", 0) == 0 || c.name == "glGenerateMipmap" || c.name == "glPixelStorei")
            out[bound[unit]].push_back(c);
    }
    return out;
}

// The names of a texture's calls, and whether a call of these name and arguments is among them.
std::vector<std::string> names(const std::vector<webgl::Call>& calls)
{
    std::vector<std::string> out;
    for (const webgl::Call& c : calls)
        out.push_back(c.name);
    return out;
}

bool made(const char* name, std::vector<double> args)
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
    quad(0, 0);
    qgl_end_frame();

    qgl_context_lost();
    webgl::errors = {CONTEXT_LOST_WEBGL};
    webgl::clear();
    const char* error = "";
    ASSERT_TRUE(qgl_restore(&error));
    EXPECT_EQ(qgl_take_error(), (unsigned)GL_NO_ERROR);  // the loss is no error of the show's

    std::map<double, std::vector<webgl::Call>> textures = byTexture();
    auto find = [&](const std::vector<unsigned char>& pixels) {
        for (auto& t : textures)
            for (const webgl::Call& c : t.second)
                if (c.name == "glTexImage2D" && c.data == pixels)
                    return t;
        return std::pair<const double, std::vector<webgl::Call>>{};
    };
    auto given = find(second);
    ASSERT_FALSE(given.second.empty());
    ASSERT_EQ(names(given.second), (std::vector<std::string>{"glTexParameteri", "glPixelStorei", "glTexImage2D",
                                                             "glPixelStorei", "glTexSubImage2D"}));
    EXPECT_EQ(given.second[0].args, (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE}));
    EXPECT_EQ(given.second[4].args, (std::vector<double>{GL_TEXTURE_2D, 0, 1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE}));
    EXPECT_EQ(given.second[4].data, patch);
    auto generating = find(rows);
    ASSERT_FALSE(generating.second.empty());
    std::vector<std::string> steps = names(generating.second);
    steps.resize(4);  // the texture bound last: the alignments set back after it follow
    EXPECT_EQ(steps, (std::vector<std::string>{"glPixelStorei", "glTexImage2D", "glPixelStorei", "glGenerateMipmap"}));
    EXPECT_EQ(generating.second[0].args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 1}));
    auto stores = webgl::named("glPixelStorei");
    EXPECT_EQ(stores[stores.size() - 2].args, (std::vector<double>{GL_UNPACK_ALIGNMENT, 8}));
    EXPECT_EQ(webgl::named("glBindTexture").back().args[1], given.first);

    const std::pair<const char*, std::vector<double>> state[] = {
        {"glEnable", {GL_BLEND}}, {"glEnable", {GL_DEPTH_TEST}}, {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE}},
        {"glDepthMask", {GL_FALSE}}, {"glDepthFunc", {GL_LEQUAL}}, {"glCullFace", {GL_FRONT}},
        {"glClearColor", {0.5, 0.25, 0.125, 1}}, {"glViewport", {1, 2, 300, 400}}, {"glScissor", {5, 6, 7, 8}}};
    for (const auto& call : state)
        EXPECT_TRUE(made(call.first, call.second)) << call.first;

    // A textured quad and a line draw through the new context's programs, vertex array, buffers
    // and line texture (the first texture made again).
    double vertexArray = webgl::named("glGenVertexArrays").at(0).args[1];
    double lineTexture = webgl::named("glGenTextures").at(0).args[1];
    qgl_begin_frame(1024, 768);
    webgl::draws.clear();
    glEnable(GL_TEXTURE_2D);
    quad(0, 0);
    glBegin(GL_LINES);
    glVertex2f(0, 0);
    glVertex2f(1, 0);
    glEnd();
    qgl_end_frame();
    ASSERT_EQ(webgl::draws.size(), 2u);
    EXPECT_EQ(webgl::draws[0].texture, given.first);
    EXPECT_EQ(eye(webgl::draws[0], 2), (std::array<float, 4>{1, 1, 0, 1}));  // the new program's uniforms set
    EXPECT_EQ(webgl::named("glBindVertexArray").back().args[0], vertexArray);
    std::vector<double> programs;
    for (const webgl::Call& c : webgl::named("glCreateProgram"))
        programs.push_back(c.args[0]);
    for (const webgl::Call& c : webgl::named("glUseProgram"))
        EXPECT_NE(std::find(programs.begin(), programs.end(), c.args[0]), programs.end());
    auto line = byTexture()[lineTexture];
    EXPECT_EQ(names(line), (std::vector<std::string>{"glTexParameteri", "glTexParameteri", "glTexImage2D",
                                                     "glTexSubImage2D"}));
    EXPECT_EQ(line.at(2).args[2], GL_RGBA32F);
}

}  // namespace
