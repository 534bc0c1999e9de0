// A recording stand-in for WebGL 2, for testing the web GL layer natively: the WebGL calls the
// tests read (state, bindings, textures, draws) are kept in order with their arguments, the
// little WebGL state a draw reads (buffers, attributes, the program's uniforms) is kept so that
// each draw can be read back as what it drew, and the questions the layer asks get fixed
// answers. Plain types only, so that a test can include it beside the GL 1.x headers the layer
// provides.
#ifndef QUENRASTILAN_TESTS_MOCKS_WEBGL_H
#define QUENRASTILAN_TESTS_MOCKS_WEBGL_H

#include <map>
#include <string>
#include <vector>

namespace webgl {

struct Call {
    std::string name;                // e.g. "glTexImage2D"
    // The numeric arguments, in order (names, enums, values); glGen* add the names made and
    // glCreate* the name returned.
    std::vector<double> args;
    std::vector<unsigned char> data; // the bytes of the image glTexImage2D or glTexSubImage2D gave
};

// A draw call as the GPU would read it: per attribute (the layer's order: position, colour,
// texture coordinate, normal, palette index) the floats of every vertex in the bound buffer
// (`size` a vertex), or a constant, one vertex of 4; the vertices drawn, by index; and the current
// program's uniforms by name.
struct Draw {
    unsigned mode = 0;
    std::vector<unsigned> indices;
    std::vector<float> attrib[5];
    int size[5] = {};
    bool varies[5] = {};
    std::map<std::string, std::vector<float>> uniforms;
    unsigned texture = 0;  // bound on unit 0
};

extern std::vector<Call> calls;
extern std::vector<Draw> draws;
// Answers: GL_MAX_TEXTURE_SIZE, and the errors glGetError returns, first first. Shaders always
// compile.
extern int maxTextureSize;
extern std::vector<unsigned> errors;

// Forgets the calls and draws so far.
void clear();
// The calls of one name, in order.
std::vector<Call> named(const std::string& name);

}  // namespace webgl

#endif
