// What the web GL layer's tests share: the layer opened once on the recording WebGL stand-in,
// each test begun on GL's defaults in a new frame with nothing recorded, and readers of what the
// recorded draws drew. The tests write GL 1.x as the scenes do (gl_compat.h names it the layer's).
#ifndef QUENRASTILAN_TESTS_GL_LAYER_H
#define QUENRASTILAN_TESTS_GL_LAYER_H

#include "render/web/gl_compat.h"
#include "webgl.h"

#include <gtest/gtest.h>

#include <array>

class Layer : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool opened = [] {
            const char* error = "";
            return qgl_init(&error);
        }();
        ASSERT_TRUE(opened);
        for (GLenum cap : {GL_BLEND, GL_DEPTH_TEST, GL_SCISSOR_TEST, GL_CULL_FACE, GL_TEXTURE_2D, GL_FOG,
                           GL_LIGHTING, GL_LIGHT0, GL_LINE_SMOOTH, GL_POINT_SMOOTH})
            glDisable(cap);
        glDisableClientState(GL_VERTEX_ARRAY);
        glColor4f(1, 1, 1, 1);
        glPointSize(1);
        glLineWidth(1);
        glBlendFunc(GL_ONE, GL_ZERO);
        glDepthMask(GL_TRUE);
        glBindTexture(GL_TEXTURE_2D, 0);
        glListBase(0);
        for (GLenum mode : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
            glMatrixMode(mode);
            glLoadIdentity();
        }
        qgl_begin_frame();
        qgl_take_error();
        webgl::clear();
    }

    // A unit square at (x, y) in the current colour.
    static void quad(float x, float y)
    {
        glBegin(GL_QUADS);
        glVertex2f(x, y);
        glVertex2f(x + 1, y);
        glVertex2f(x + 1, y + 1);
        glVertex2f(x, y + 1);
        glEnd();
    }

    // Vertex i of a draw in eye space: its position under the palette matrix it names.
    static std::array<float, 4> eye(const webgl::Draw& d, unsigned i)
    {
        int n = d.size[0];
        const float* p = d.attrib[0].data() + (size_t)i * n;
        float in[4] = {p[0], p[1], n > 2 ? p[2] : 0.0f, n > 3 ? p[3] : 1.0f};
        int matrix = (int)(d.varies[4] ? d.attrib[4][2 * i] : d.attrib[4][0]);
        const float* m = d.uniforms.at("u_mv").data() + 16 * matrix;
        std::array<float, 4> out;
        for (int row = 0; row < 4; row++)
            out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
        return out;
    }

    // The calls made of these names, in order; of enables and disables, those of capability cap.
    static std::vector<std::string> made(std::initializer_list<const char*> names, GLenum cap = 0)
    {
        std::vector<std::string> out;
        for (const webgl::Call& c : webgl::calls)
            for (const char* n : names)
                if (c.name == n && ((c.name != "glEnable" && c.name != "glDisable") || c.args[0] == cap))
                    out.push_back(n);
        return out;
    }

    static std::array<float, 4> colour(const webgl::Draw& d, unsigned i)
    {
        const float* c = d.attrib[1].data() + (d.varies[1] ? 4 * (size_t)i : 0);
        return {c[0], c[1], c[2], c[3]};
    }
};

#endif
