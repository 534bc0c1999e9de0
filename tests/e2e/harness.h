// End-to-end harness: a private Xvfb server, the real program and the capture tool run as child
// processes, keys and window close requests sent to the show, the screen read back.
#ifndef QUENRASTILAN_TESTS_HARNESS_H
#define QUENRASTILAN_TESTS_HARNESS_H

#include <string>
#include <sys/types.h>
#include <vector>

// A file's whole text, empty when it cannot be read.
std::string readText(const std::string& path);

// A child process with its stdout and stderr collected in files.
class Program {
public:
    // Starts argv[0] with the environment changes given as NAME=VALUE (NAME= unsets NAME).
    // Unprivileged: run as nobody when we are root (file permissions then hold); if that
    // fails the child exits with status CANNOT_DROP_PRIVILEGES.
    Program(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& workdir = "", bool unprivileged = false);
    ~Program();
    // Waits up to `seconds` for the exit; returns the exit status, or -1 on time-out (the
    // process is then killed) and -2 when it died from a signal.
    int wait(double seconds);
    bool running();
    std::string stderrText() const { return readText(errFile_); }
    std::string stdoutText() const { return readText(outFile_); }
    // Sends a signal to the process (SIGSTOP/SIGCONT to hold it at a point of its start-up).
    void signal(int sig) const;
    static const int CANNOT_DROP_PRIVILEGES = 125;

private:
    pid_t pid_ = -1;
    int status_ = -3;
    std::string errFile_, outFile_;
};

// An Xvfb server of width x height x 24 on a free display number, stopped when destroyed.
class XServer {
public:
    explicit XServer(int width = 1024, int height = 768);
    ~XServer();
    bool ok() const { return display_ >= 0; }
    std::string display() const { return ":" + std::to_string(display_); }

    // The screen's rows top to bottom (inclusive) as RGB, top row first; empty on failure.
    std::vector<unsigned char> grab(int top, int bottom) const;
    // How many pixels of the rows top to bottom (inclusive) are dark: every channel at most 100.
    int darkPixels(int top = 0, int bottom = 767) const;
    // Waits while the show runs until its window is on the screen with more than 200 and fewer
    // than `most` dark pixels in rows top to bottom: drawing, not the black window that shows
    // before the start-up frame. False when the show ended or `seconds` passed first.
    bool waitForDrawing(Program& show, int top, int bottom, int most, double seconds) const;
    // Runs xdotool with these arguments on this server (XTEST input: keys, pointer moves, clicks).
    bool xdotool(const std::string& args) const;
    // Asks the window titled "Quenrastilan" to close, as a window manager's close button does.
    bool closeWindow() const;
    // Whether a window titled "Quenrastilan" is on the screen (mapped), and its size.
    bool showWindowSize(int& width, int& height) const;
    bool hasShowWindow() const
    {
        int width, height;
        return showWindowSize(width, height);
    }

private:
    unsigned long showWindow() const;

    int width_, height_;
    int display_ = -1;
    pid_t pid_ = -1;
    // One connection for every query: a client connecting while many connections are being
    // opened and closed on Xvfb can be refused, and that client would be the show.
    struct _XDisplay* connection_ = nullptr;
};

// The environment for the real program on server x: SDL's dummy audio driver, x's display and
// no other. Leak detection is off for it under the sanitizers: SDL, D-Bus and the GL driver
// (which SDL unloads at exit, leaving nothing to name it by) keep allocations of their own.
// The show's own memory is checked leak-free through the capture tool.
std::vector<std::string> showEnvironment(const XServer& x);

// Runs the capture tool with these arguments (and environment changes, in `workdir` when given)
// to its end, up to ten minutes; returns its exit status, its stderr in *err when asked.
int runCapture(const std::vector<std::string>& args, std::string* err = nullptr,
               const std::vector<std::string>& env = {}, const std::string& workdir = "");
// What a shell command prints on stdout.
std::string shellOutput(const std::string& command);
// A new empty folder under /tmp, and whether a path exists.
std::string newTempDir();
bool fileExists(const std::string& path);
// A PNG file's RGB pixels; a failure to read it fails the test.
std::vector<unsigned char> readImage(const std::string& path, int* width = nullptr, int* height = nullptr);

// Seconds since some fixed moment, for polling.
double nowSeconds();
void sleepSeconds(double s);

#endif
