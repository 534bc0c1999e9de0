// ffmpeg as the capture tool's encoder.
#include "video.h"

#include "paths.h"
#include "lib/outfile.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
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

// ffmpeg's name of the stream's descriptor.
static const char* const STREAM_URL = "pipe:4";

VideoEncoder::~VideoEncoder()
{
    abort();
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
    auto add = [&args](const std::vector<std::string>& more) { args.insert(args.end(), more.begin(), more.end()); };
    if (!e.wavPath.empty()) {
        add(soundInput(e));
        add(metadataInput(e));
        add({"-map", "0:v", "-map", "1:a"});
        add(metadataMaps(e, 2));
    }
    add(videoCodec(e));
    add(e.wavPath.empty() ? partContainer() : soundAndContainer(e));
    return launch(path, args, true, error);
}

bool VideoEncoder::join(const std::string& path, const std::vector<VideoPart>& parts, const Encoding& e,
                        std::string& error)
{
    std::string listName = temporaryFolder() + "/quenrastilan-parts-XXXXXX";
    int fd = mkstemp(&listName[0]);
    if (fd < 0) {
        error = "cannot write in the temporary folder " + temporaryFolder() + ": " + std::strerror(errno);
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
        error = "cannot write in the temporary folder " + temporaryFolder() + ": " + std::strerror(errno);
        abort();
        return false;
    }
    std::vector<std::string> args = {"-f", "concat", "-safe", "0", "-i", fileURL(list_)};
    auto add = [&args](const std::vector<std::string>& more) { args.insert(args.end(), more.begin(), more.end()); };
    bool ownSound = e.wavPath.empty();
    if (!ownSound)
        add(soundInput(e));
    add(metadataInput(e));
    add({"-map", "0:v", "-map", ownSound ? "0:a" : "1:a"});
    add(metadataMaps(e, ownSound ? 1 : 2));
    if (ownSound) {
        add(copiedContainer(e));
        return launch(path, args, false, error);
    }
    add({"-c:v", "copy"});
    // The parts in NUT keep the tags the codec itself holds; the container's are given again.
    add(colourTags(e));
    add(soundAndContainer(e));
    return launch(path, args, false, error);
}

bool VideoEncoder::encodeMaster(const std::string& path, const Encoding& e, std::string& error)
{
    std::vector<std::string> args = {"-i", fileURL(e.wavPath)};
    auto add = [&args](const std::vector<std::string>& more) { args.insert(args.end(), more.begin(), more.end()); };
    add(metadataInput(e));
    add({"-map", "0:v", "-map", "0:a"});
    add(metadataMaps(e, 1));
    add(soundOfMaster(e));
    add(videoCodec(e));
    add(soundAndContainer(e));
    return launch(path, args, false, error);
}

bool VideoEncoder::launch(const std::string& path, std::vector<std::string> tail, bool framesOnPipe,
                          std::string& error)
{
    path_ = path;
    // A stream is written as ffmpeg makes it; a file under a temporary name beside it.
    if (streamFd_ >= 0) {
        temp_ = path;
    } else {
        temp_ = path + ".partial-XXXXXX";
        int fd = mkstemp(&temp_[0]);
        if (fd < 0) {
            error = "cannot write " + named_ + ": " + std::strerror(errno);
            temp_.clear();
            return false;
        }
        // mkstemp makes the file private; the finished video gets the usual permissions.
        mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
        close(fd);
    }
    std::string logName = temporaryFolder() + "/quenrastilan-ffmpeg-XXXXXX";
    int logFd = mkstemp(&logName[0]);
    if (logFd < 0) {
        error = "cannot write in the temporary folder " + temporaryFolder() + ": " + std::strerror(errno);
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
    // Its progress on its standard output, read while it is waited for.
    int progress[2] = {-1, -1};
    if ((report_ || expected_ >= 0) && pipe(progress) == 0) {
        fcntl(progress[0], F_SETFL, O_NONBLOCK);
        args.insert(args.end(), {"-progress", "pipe:1", "-nostats"});
    }
    args.insert(args.end(), tail.begin(), tail.end());
    // The stream is descriptor 4 in ffmpeg (pipe:1 would be its own standard output, and the
    // user's descriptor may be any number, 3 among them).
    args.push_back(streamFd_ >= 0 ? std::string(STREAM_URL) : fileURL(temp_));
    pid_ = fork();
    if (pid_ == 0) {
        // The frames arrive on descriptor 3, the stream leaves on 4, messages go to the log,
        // standard input and output to /dev/null. Every other descriptor, the pipe's write end
        // among them, is closed, or ffmpeg would never see the end of its input. Each is moved
        // above the numbers given first, so that none is overwritten before it is placed.
        int devnull = fcntl(open("/dev/null", O_RDWR), F_DUPFD, 10);
        int log = fcntl(logFd, F_DUPFD, 10), frames = fcntl(fds[0], F_DUPFD, 10);
        int stream = streamFd_ >= 0 ? fcntl(streamFd_, F_DUPFD, 10) : devnull;
        int out = progress[1] >= 0 ? fcntl(progress[1], F_DUPFD, 10) : devnull;
        dup2(devnull, 0);
        dup2(out, 1);
        dup2(log, 2);
        dup2(frames, 3);
        dup2(stream, 4);
        for (int fd = 5; fd < 1024; fd++)
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
    if (progress[1] >= 0)
        close(progress[1]);
    progress_ = progress[0];
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
        // ffmpeg has stopped reading: it has failed, and says why once it has ended.
        if (n <= 0) {
            close(pipe_);
            pipe_ = -1;
            int status = 0;
            if (wait(status, error))
                error = failure(status);
            abort();
            return false;
        }
        done += (size_t)n;
    }
    return true;
}

// Waits for ffmpeg to end, which may take seconds (a whole show's join copies a gigabyte):
// Ctrl-C is looked for every 20 ms meanwhile. False with "stopped" when it came.
bool VideoEncoder::wait(int& status, std::string& error)
{
    status = 0;
    for (pid_t ended; (ended = waitpid(pid_, &status, stop_ ? WNOHANG : 0)) <= 0;) {
        if (ended < 0 && errno != EINTR)
            break;
        if (stop_ && *stop_) {
            error = "stopped";
            return false;
        }
        readProgress();
        if (stop_)
            usleep(20000);
    }
    pid_ = -1;
    readProgress();
    return true;
}

// Reports the last "frame=N" of the lines ffmpeg has written since the last look.
void VideoEncoder::readProgress()
{
    char buffer[4096];
    for (ssize_t n; progress_ >= 0 && (n = read(progress_, buffer, sizeof buffer)) > 0;)
        progressText_.append(buffer, (size_t)n);
    long long frames = -1;
    for (size_t end; (end = progressText_.find('\n')) != std::string::npos; progressText_.erase(0, end + 1))
        if (progressText_.compare(0, 6, "frame=") == 0)
            frames = std::atoll(progressText_.c_str() + 6);
    if (frames >= 0)
        written_ = frames;
    if (frames >= 0 && report_)
        report_(frames);
}

// The reasons of the operating system that mean the output could not be written.
static const int WRITE_ERRORS[] = {ENOSPC, EDQUOT, EFBIG, EROFS, EACCES, EPERM, ENOENT, ENOTDIR, EISDIR, EIO,
                                   ENXIO, ENODEV, ENAMETOOLONG, ELOOP, ESTALE, EPIPE, ECONNRESET};

// Every occurrence of `what` in text replaced by `by`.
static std::string replaced(std::string text, const std::string& what, const std::string& by)
{
    for (size_t at = 0; !what.empty() && (at = text.find(what, at)) != std::string::npos; at += by.size())
        text.replace(at, what.size(), by);
    return text;
}

// Where the log gives a reason of the operating system for a file, the file the user named
// with that reason (or the temporary folder, for the sound and the list of parts); empty when
// it gives none.
std::string VideoEncoder::writeError() const
{
    std::ifstream log(log_);
    for (std::string line; std::getline(log, line);)
        for (int e : WRITE_ERRORS)
            if (line.find(std::strerror(e)) != std::string::npos) {
                bool ours = line.find(temp_) != std::string::npos || line.find(path_) != std::string::npos;
                if (!ours && line.find(temporaryFolder() + "/quenrastilan-") != std::string::npos)
                    return "cannot write in the temporary folder " + temporaryFolder() + ": " + std::strerror(e);
                return "cannot write " + named_ + ": " + std::strerror(e);
            }
    return "";
}

// Why ffmpeg failed, in the user's terms: the reason of the operating system where there is
// one; otherwise ffmpeg's first message, its cause, whole (a line that ends where ffmpeg's
// reason would follow is joined with the next), every temporary name in it replaced by the
// user's and the address of the part of ffmpeg that says it left out.
std::string VideoEncoder::failure(int status) const
{
    std::string os = writeError();
    if (!os.empty())
        return os;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
        return "cannot run ffmpeg";
    std::ifstream log(log_);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        if (!line.empty())
            lines.push_back(line);
    if (!lines.empty()) {
        std::string reason = lines[0];
        for (size_t i = 1; i < lines.size() && (reason.back() == ' ' || reason.back() == ':' || reason.back() == '-'); i++)
            reason += (reason.back() == ' ' ? "" : " ") + lines[i];
        for (const std::string& name : {std::string(STREAM_URL), fileURL(temp_), temp_, fileURL(path_), path_})
            reason = replaced(reason, name, named_);
        // "[mp4 @ 0x55d0c8a0] muxer does ..." names its part of ffmpeg by an address too.
        size_t at = reason.find(" @ 0x"), end = reason.find("] ");
        if (reason[0] == '[' && at != std::string::npos && end != std::string::npos && at < end)
            reason = reason.substr(1, at - 1) + ": " + reason.substr(end + 2);
        return "ffmpeg failed writing " + named_ + ": " + reason;
    }
    char how[64];
    if (WIFSIGNALED(status))
        std::snprintf(how, sizeof how, "ended by signal %d", WTERMSIG(status));
    else
        std::snprintf(how, sizeof how, "exit status %d", WEXITSTATUS(status));
    return "ffmpeg failed writing " + named_ + " (" + how + ")";
}

// ffmpeg may end well and still have failed to write: it logs the reason and exits with 0 when
// the trailer of a Matroska file cannot be written.
bool VideoEncoder::finish(std::string& error)
{
    if (pipe_ >= 0)
        close(pipe_);
    pipe_ = -1;
    int status = 0;
    if (!wait(status, error)) {
        abort();
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !writeError().empty()) {
        error = failure(status);
        abort();
        return false;
    }
    if (expected_ >= 0 && written_ != expected_) {
        error = "cannot write " + named_ + ": ffmpeg wrote " + std::to_string(written_) + " frames of " +
                std::to_string(expected_) + ": a file it read holds fewer than it says (cut short?)";
        abort();
        return false;
    }
    if (temp_ != path_ && !placeFile(temp_, path_, replace_)) {
        error = "cannot write " + named_ + ": " + std::strerror(errno);
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
    if (progress_ >= 0)
        close(progress_);
    progress_ = -1;
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
