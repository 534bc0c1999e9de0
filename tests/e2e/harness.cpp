// The end-to-end harness: Xvfb, child processes, XTEST input, close requests and screen reads.
#include "harness.h"

#include "lib/png.h"
#include "lib/xvfb.h"

// Before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

double nowSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void sleepSeconds(double s)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(s));
}

XServer::XServer(int width, int height) : width_(width), height_(height)
{
    display_ = xvfb_start(width, height, pid_, "-wr");
    if (display_ < 0)
        return;
    // A window may vanish between two requests about it (the show ending): ignore the error
    // rather than let Xlib's default handler end the test process.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    connection_ = XOpenDisplay(display().c_str());
}

XServer::~XServer()
{
    if (connection_)
        XCloseDisplay(connection_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

// The show's window: a child of the root window, there being no window manager on the server.
unsigned long XServer::showWindow() const
{
    Display* d = connection_;
    Window root, parent, *children = nullptr, found = 0;
    unsigned count = 0;
    if (d && XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; i++) {
            char* title = nullptr;
            if (XFetchName(d, children[i], &title) && title) {
                found = std::strcmp(title, "Quenrastilan") == 0 ? children[i] : 0;
                XFree(title);
            }
        }
        XFree(children);
    }
    return found;
}

bool XServer::closeWindow() const
{
    Window w = showWindow();
    if (!w)
        return false;
    Display* d = connection_;
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);  // at CurrentTime, 0
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
    return true;
}

bool XServer::xdotool(const std::string& args) const
{
    std::string cmd = "DISPLAY=" + display() + " xdotool " + args + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

std::vector<unsigned char> XServer::grab(int top, int bottom) const
{
    Display* d = connection_;
    XImage* img = d ? XGetImage(d, DefaultRootWindow(d), 0, top, width_, bottom - top + 1, AllPlanes, ZPixmap)
                    : nullptr;
    if (!img)
        return {};
    std::vector<unsigned char> rgb;
    rgb.reserve((size_t)img->width * img->height * 3);
    for (int y = 0; y < img->height; y++)
        for (int x = 0; x < img->width; x++) {
            unsigned long p = XGetPixel(img, x, y);
            rgb.insert(rgb.end(), {(unsigned char)((p & img->red_mask) >> 16), (unsigned char)((p & img->green_mask) >> 8),
                                   (unsigned char)(p & img->blue_mask)});
        }
    XDestroyImage(img);
    return rgb;
}

int XServer::darkPixels(int top, int bottom) const
{
    std::vector<unsigned char> rgb = grab(top, bottom);
    int n = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
        n += rgb[i] <= 100 && rgb[i + 1] <= 100 && rgb[i + 2] <= 100;
    return n;
}

bool XServer::showWindowSize(int& width, int& height) const
{
    Window w = showWindow();
    XWindowAttributes a;
    if (!w || !XGetWindowAttributes(connection_, w, &a) || a.map_state != IsViewable)
        return false;
    width = a.width;
    height = a.height;
    return true;
}

bool XServer::waitForDrawing(Program& show, int top, int bottom, int most, double seconds) const
{
    for (double end = nowSeconds() + seconds; nowSeconds() < end && show.running(); sleepSeconds(0.25)) {
        int dark = hasShowWindow() ? darkPixels(top, bottom) : 0;
        if (dark > 200 && dark < most)
            return true;
    }
    return false;
}

std::vector<std::string> showEnvironment(const XServer& x)
{
    return {"SDL_AUDIODRIVER=dummy", "DISPLAY=" + x.display(), "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=",
            "ASAN_OPTIONS=detect_leaks=0"};
}

Program::Program(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                 const std::string& workdir, bool unprivileged)
{
    char name[] = "/tmp/quenrastilan-e2e-stderr-XXXXXX";
    int fd = mkstemp(name);
    errFile_ = name;
    char outName[] = "/tmp/quenrastilan-e2e-stdout-XXXXXX";
    int outFd = mkstemp(outName);
    outFile_ = outName;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fd, 2);
        dup2(outFd, 1);
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        for (const std::string& kv : env) {
            size_t eq = kv.find('=');
            std::string k = kv.substr(0, eq), v = kv.substr(eq + 1);
            if (v.empty())
                unsetenv(k.c_str());
            else
                setenv(k.c_str(), v.c_str(), 1);
        }
        const uid_t nobody = 65534;
        if (unprivileged && geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0))
            _exit(CANNOT_DROP_PRIVILEGES);
        if (!workdir.empty() && chdir(workdir.c_str()) != 0)
            _exit(126);
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    close(fd);
    close(outFd);
}

Program::~Program()
{
    wait(0);  // kills it if it still runs
    std::remove(errFile_.c_str());
    std::remove(outFile_.c_str());
}

void Program::signal(int sig) const
{
    if (pid_ > 0)
        kill(pid_, sig);
}

bool Program::running()
{
    if (status_ != -3 || pid_ <= 0)
        return false;
    int st;
    if (waitpid(pid_, &st, WNOHANG) != pid_)
        return true;
    status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -2;
    return false;
}

int Program::wait(double seconds)
{
    for (double end = nowSeconds() + seconds; running(); sleepSeconds(0.05))
        if (nowSeconds() > end) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            status_ = -1;
        }
    return status_;
}

std::string readText(const std::string& path)
{
    std::ifstream f(path);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

int runCapture(const std::vector<std::string>& args, std::string* err, const std::vector<std::string>& env,
               const std::string& workdir)
{
    std::vector<std::string> argv = {QUENRASTILAN_CAPTURE};
    argv.insert(argv.end(), args.begin(), args.end());
    Program p(argv, env, workdir);
    int status = p.wait(600);
    if (err)
        *err = p.stderrText();
    return status;
}

std::string shellOutput(const std::string& command)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    char buf[512];
    while (p && fgets(buf, sizeof buf, p))
        out += buf;
    if (p)
        pclose(p);
    return out;
}

std::string newTempDir()
{
    char name[] = "/tmp/quenrastilan-e2e-XXXXXX";
    return mkdtemp(name) ? name : "";
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::vector<unsigned char> readImage(const std::string& path, int* width, int* height)
{
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
    std::string error;
    EXPECT_TRUE(readPNG(path, w, h, rgb, error)) << error;
    if (width)
        *width = w;
    if (height)
        *height = h;
    return rgb;
}
