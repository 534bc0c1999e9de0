// The end-to-end harness: Xvfb, child processes, XTEST keys, close requests and screen grabs.
#include "xserver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

double nowSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

void sleepSeconds(double s)
{
    timespec ts{(time_t)s, (long)((s - (time_t)s) * 1e9)};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

XServer::XServer()
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        close(fds[0]);
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
               "-wr", (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    // Xvfb writes its display number and a newline once it accepts connections; the pipe
    // must stay open until the newline, or Xvfb fails writing it.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (!number.empty())
        display_ = std::atoi(number.c_str());
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

// A window may vanish between two requests about it (the show ending): ignore the error
// rather than let Xlib's default handler end the test process.
static int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

Display* XServer::connection() const
{
    if (!connection_ && ok()) {
        XSetErrorHandler(ignoreXError);
        connection_ = XOpenDisplay(display().c_str());
    }
    return connection_;
}

static Window findNamed(Display* d, Window w, const char* name)
{
    char* title = nullptr;
    if (XFetchName(d, w, &title) && title) {
        bool match = std::strcmp(title, name) == 0;
        XFree(title);
        if (match)
            return w;
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(d, w, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; i++)
            found = findNamed(d, children[i], name);
        if (children)
            XFree(children);
    }
    return found;
}

bool XServer::hasShowWindow() const
{
    Display* d = connection();
    Window w = d ? findNamed(d, DefaultRootWindow(d), "Quenrastilan") : 0;
    XWindowAttributes a;
    return w && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

bool XServer::closeWindow() const
{
    Display* d = connection();
    if (!d)
        return false;
    Window w = findNamed(d, DefaultRootWindow(d), "Quenrastilan");
    if (w) {
        XEvent e;
        std::memset(&e, 0, sizeof e);
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, w, False, NoEventMask, &e);
        XFlush(d);
    }
    return w != 0;
}

bool XServer::xdotool(const std::string& args) const
{
    std::string cmd = "DISPLAY=" + display() + " xdotool " + args + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

std::vector<unsigned char> XServer::grab() const
{
    std::vector<unsigned char> rgb;
    Display* d = connection();
    if (!d)
        return rgb;
    XWindowAttributes a;
    XGetWindowAttributes(d, DefaultRootWindow(d), &a);
    XImage* img = XGetImage(d, DefaultRootWindow(d), 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (img) {
        rgb.resize((size_t)a.width * a.height * 3);
        for (int y = 0; y < a.height; y++)
            for (int x = 0; x < a.width; x++) {
                unsigned long p = XGetPixel(img, x, y);
                unsigned char* o = &rgb[((size_t)y * a.width + x) * 3];
                o[0] = (unsigned char)((p & img->red_mask) >> 16);
                o[1] = (unsigned char)((p & img->green_mask) >> 8);
                o[2] = (unsigned char)(p & img->blue_mask);
            }
        XDestroyImage(img);
    }
    return rgb;
}

int XServer::darkPixels(int top, int bottom) const
{
    std::vector<unsigned char> rgb = grab();
    const size_t row = 1024 * 3;
    int n = 0;
    for (size_t i = top * row; i + 2 < rgb.size() && i < (bottom + 1) * row; i += 3)
        if (rgb[i] <= 100 && rgb[i + 1] <= 100 && rgb[i + 2] <= 100)
            n++;
    return n;
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
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fd, 2);
        int devnull = open("/dev/null", O_RDWR);
        dup2(devnull, 0);
        dup2(devnull, 1);
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
}

Program::~Program()
{
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::remove(errFile_.c_str());
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
    pid_t r = waitpid(pid_, &st, WNOHANG);
    if (r == pid_) {
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -2;
        return false;
    }
    return true;
}

int Program::wait(double seconds)
{
    double end = nowSeconds() + seconds;
    while (running()) {
        if (nowSeconds() > end) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            status_ = -1;
            break;
        }
        sleepSeconds(0.05);
    }
    return status_;
}

std::string Program::stderrText() const
{
    std::ifstream f(errFile_);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}
