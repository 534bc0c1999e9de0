// A headless OpenGL context (EGL pbuffer), 1024x768 unless asked otherwise, for the capture
// tool, the benchmarks and the render tests.
#ifndef QUENRASTILAN_TOOLS_GLCONTEXT_H
#define QUENRASTILAN_TOOLS_GLCONTEXT_H

#include "render/picture.h"

#include <string>
#include <vector>

class HeadlessContext {
public:
    HeadlessContext() = default;
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    // Makes a compatibility-profile context current on a width x height pbuffer with a 16-bit
    // depth buffer, and draws the show's picture into it from then on. On failure returns
    // false and error() says why.
    bool open(int width = WIDTH, int height = HEIGHT);
    void close();
    const std::string& error() const { return error_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Waits for the frame and reads the colour buffer back as RGB rows, top row first, into a
    // buffer the context keeps: the next call overwrites it.
    const std::vector<unsigned char>& readRGB() const;

    static const int WIDTH = PICTURE_WIDTH;
    static const int HEIGHT = PICTURE_HEIGHT;

private:
    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
    int width_ = WIDTH, height_ = HEIGHT;
    // Whether GL can write the rows top first itself (GL_MESA_pack_invert).
    bool packInvert_ = false;
    mutable std::vector<unsigned char> rgb_, bottomUp_;
    std::string error_;
};

#endif
