// ffmpeg as the capture tool's encoder.
#include "video.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Looked for along PATH, as execvp will: running it through system() would ignore Ctrl-C
// while it runs.
bool ffmpegAvailable()
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = folders.substr(start, end - start);
        std::string file = (folder.empty() ? "." : folder) + "/ffmpeg";
        struct stat st;
        if (stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(file.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

VideoEncoder::~VideoEncoder()
{
    abort();
}

// The codec arguments of an encoding's video.
static std::vector<std::string> videoCodec(const Encoding& e)
{
    if (e.master)
        return {"-c:v", "ffv1", "-level", "3", "-g", "1", "-slicecrc", "1", "-pix_fmt", "bgr0"};
    // The fastest preset: at the same CRF it spends more bits than the slower ones and comes
    // closer to the frames drawn (higher PSNR on every scene), in well under half their time;
    // the file is about twice as large.
    return {"-c:v", "libx264", "-preset", "ultrafast", "-crf", std::to_string(e.crf),
            "-vf", "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p",
            "-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv"};
}

// The sound's and the container's arguments of a whole encoding.
static std::vector<std::string> soundAndContainer(const Encoding& e)
{
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f", (double)e.frames / e.fps);
    std::vector<std::string> a = {"-c:a"};
    if (e.master)
        a.insert(a.end(), {"flac", "-t", seconds, "-f", "matroska"});
    else
        a.insert(a.end(), {"aac", "-b:a", "192k", "-t", seconds, "-movflags", "+faststart", "-f", "mp4"});
    return a;
}

// A path as ffmpeg reads it without guessing: "file:" first, so that a name with a colon is not
// taken for a protocol nor one starting with a dash for an option.
static std::string fileURL(const std::string& path)
{
    return "file:" + path;
}

// A path in single quotes for ffmpeg's concat list, each quote in it closed, escaped and reopened.
static std::string quotedForList(const std::string& path)
{
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool VideoEncoder::start(const std::string& path, const Encoding& e, std::string& error)
{
    char size[32], rate[16];
    std::snprintf(size, sizeof size, "%dx%d", e.width, e.height);
    std::snprintf(rate, sizeof rate, "%d", e.fps);
    std::vector<std::string> args = {"-f", "rawvideo", "-pix_fmt", "rgb24", "-s", size, "-framerate", rate,
                                     "-i", "pipe:3"};
    if (!e.wavPath.empty())
        args.insert(args.end(), {"-i", fileURL(e.wavPath), "-map", "0:v", "-map", "1:a"});
    std::vector<std::string> codec = videoCodec(e);
    args.insert(args.end(), codec.begin(), codec.end());
    if (e.wavPath.empty()) {
        args.insert(args.end(), {"-f", "nut"});
    } else {
        std::vector<std::string> rest = soundAndContainer(e);
        args.insert(args.end(), rest.begin(), rest.end());
    }
    return launch(path, args, true, error);
}

bool VideoEncoder::join(const std::string& path, const std::vector<VideoPart>& parts, const Encoding& e,
                        std::string& error)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string listName = std::string(tmp && *tmp ? tmp : "/tmp") + "/quenrastilan-parts-XXXXXX";
    int fd = mkstemp(&listName[0]);
    if (fd < 0) {
        error = listName + ": " + std::strerror(errno);
        return false;
    }
    list_ = listName;
    // The demuxer reads a name in the list from the list's own folder, so the parts are given
    // by their whole paths. Each part's length is given, since the demuxer would otherwise take
    // it from the part's last timestamp and lay the next part's first frame over its last.
    std::string list;
    for (const VideoPart& part : parts) {
        char duration[48];
        std::snprintf(duration, sizeof duration, "duration %.6f\n", (double)part.frames / e.fps);
        list += "file " + quotedForList(fileURL(part.path)) + "\n" + duration;
    }
    bool written = ::write(fd, list.data(), list.size()) == (ssize_t)list.size();
    close(fd);
    if (!written) {
        error = list_ + ": " + std::strerror(errno);
        abort();
        return false;
    }
    std::vector<std::string> args = {"-f", "concat", "-safe", "0", "-i", fileURL(list_), "-i", fileURL(e.wavPath),
                                     "-map", "0:v", "-map", "1:a", "-c:v", "copy"};
    std::vector<std::string> rest = soundAndContainer(e);
    args.insert(args.end(), rest.begin(), rest.end());
    return launch(path, args, false, error);
}

bool VideoEncoder::launch(const std::string& path, std::vector<std::string> tail, bool framesOnPipe,
                          std::string& error)
{
    path_ = path;
    // A device or pipe is written in place; anything else under a temporary name beside it.
    struct stat st;
    bool special = stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
    if (special && S_ISDIR(st.st_mode)) {
        error = path + ": " + std::strerror(EISDIR);
        return false;
    }
    if (special) {
        temp_ = path;
    } else {
        temp_ = path + ".partial-XXXXXX";
        int fd = mkstemp(&temp_[0]);
        if (fd < 0) {
            error = path + ": " + std::strerror(errno);
            temp_.clear();
            return false;
        }
        // mkstemp makes the file private; the finished video gets the usual permissions.
        mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
        close(fd);
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string logName = std::string(tmp && *tmp ? tmp : "/tmp") + "/quenrastilan-ffmpeg-XXXXXX";
    int logFd = mkstemp(&logName[0]);
    if (logFd < 0) {
        error = logName + ": " + std::strerror(errno);
        abort();
        return false;
    }
    log_ = logName;

    int fds[2];
    if (pipe(fds) != 0) {
        error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
        close(logFd);
        return false;
    }
    // A frame is megabytes: a larger pipe passes it in fewer turns (best effort).
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y"};
    args.insert(args.end(), tail.begin(), tail.end());
    args.push_back(fileURL(temp_));
    pid_ = fork();
    if (pid_ == 0) {
        // The frames arrive on descriptor 3, messages go to the log, standard input and
        // output to /dev/null. Every other descriptor, the pipe's write end among them, is
        // closed, or ffmpeg would never see the end of its input.
        int devnull = open("/dev/null", O_RDWR);
        dup2(logFd, 2);
        int frames = dup(fds[0]);
        dup2(devnull, 0);
        dup2(devnull, 1);
        dup2(frames, 3);
        for (int fd = 4; fd < 1024; fd++)
            close(fd);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execvp("ffmpeg", argv.data());
        _exit(127);
    }
    close(fds[0]);
    close(logFd);
    pipe_ = fds[1];
    if (!framesOnPipe) {
        close(pipe_);
        pipe_ = -1;
    }
    if (pid_ < 0) {
        error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
        abort();
        return false;
    }
    return true;
}

bool VideoEncoder::write(const std::vector<unsigned char>& rgb, std::string& error)
{
    size_t done = 0;
    while (done < rgb.size()) {
        ssize_t n = ::write(pipe_, rgb.data() + done, rgb.size() - done);
        if (n < 0 && errno == EINTR && !(stop_ && *stop_))
            continue;
        if (n < 0 && errno == EINTR) {
            error = "stopped";
            return false;
        }
        if (n <= 0) {
            error = "ffmpeg stopped: " + ffmpegError();
            return false;
        }
        done += (size_t)n;
    }
    return true;
}

std::string VideoEncoder::ffmpegError() const
{
    std::ifstream f(log_);
    std::string line, last;
    while (std::getline(f, line))
        if (!line.empty())
            last = line;
    return last.empty() ? "no message" : last;
}

bool VideoEncoder::finish(std::string& error)
{
    if (pipe_ >= 0)
        close(pipe_);
    pipe_ = -1;
    // ffmpeg may take seconds to finish (a whole show's join copies a gigabyte): Ctrl-C is
    // looked for every 20 ms meanwhile.
    int status = 0;
    for (pid_t ended; (ended = waitpid(pid_, &status, stop_ ? WNOHANG : 0)) <= 0;) {
        if (ended < 0 && errno != EINTR)
            break;
        if (stop_ && *stop_) {
            error = "stopped";
            abort();
            return false;
        }
        if (stop_)
            usleep(20000);
    }
    pid_ = -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = WIFEXITED(status) && WEXITSTATUS(status) == 127 ? "cannot run ffmpeg"
                                                                 : "ffmpeg failed writing " + path_ + ": " + ffmpegError();
        abort();
        return false;
    }
    if (temp_ != path_ && std::rename(temp_.c_str(), path_.c_str()) != 0) {
        error = path_ + ": " + std::strerror(errno);
        abort();
        return false;
    }
    temp_.clear();
    std::remove(log_.c_str());
    log_.clear();
    if (!list_.empty())
        std::remove(list_.c_str());
    list_.clear();
    return true;
}

void VideoEncoder::abort()
{
    if (pipe_ >= 0)
        close(pipe_);
    pipe_ = -1;
    // Killed outright: what it would still write is thrown away.
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR)
            continue;
    }
    pid_ = -1;
    if (!temp_.empty() && temp_ != path_)
        unlink(temp_.c_str());
    temp_.clear();
    if (!log_.empty())
        std::remove(log_.c_str());
    log_.clear();
    if (!list_.empty())
        std::remove(list_.c_str());
    list_.clear();
}
