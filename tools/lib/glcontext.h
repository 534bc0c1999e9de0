// A headless OpenGL context of exactly 1024x768 (EGL pbuffer), for the capture tool,
// the benchmarks and the render tests.
#ifndef QUENRASTILAN_TOOLS_GLCONTEXT_H
#define QUENRASTILAN_TOOLS_GLCONTEXT_H

#include <string>
#include <vector>

class HeadlessContext {
public:
    HeadlessContext() = default;
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    // Makes a compatibility-profile context current on a 1024x768 pbuffer with a 16-bit depth
    // buffer. On failure returns false and error() says why.
    bool open();
    void close();
    const std::string& error() const { return error_; }

    // Waits for the frame and reads the colour buffer back as RGB rows, top row first.
    std::vector<unsigned char> readRGB() const;

    static const int WIDTH = 1024;
    static const int HEIGHT = 768;

private:
    void* display_ = nullptr;
    void* surface_ = nullptr;
    void* context_ = nullptr;
    std::string error_;
};

#endif
