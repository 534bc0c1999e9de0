// A captured file's chapters and tags, written and read through ffmpeg's metadata files.
#include "tags.h"

#include "encoding.h"
#include "ending.h"
#include "paths.h"
#include "scenes/scene_table.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

std::vector<Chapter> chaptersOf(const Frames& f, int fps)
{
    int first = frameTime(f.first, fps), last = frameTime(f.first + f.count - 1, fps);
    std::vector<Chapter> chapters;
    for (const Scene& s : SCENES) {
        if (s.range[0] > last || s.range[1] < first)
            continue;
        long long start = std::max(0, s.range[0] - first);
        if (start == 0 && !chapters.empty())
            chapters.pop_back();
        chapters.push_back({s.title, start, 0});
    }
    for (size_t i = 0; i < chapters.size(); i++)
        chapters[i].end = i + 1 < chapters.size() ? chapters[i + 1].start : (f.count * 1000 + fps / 2) / fps;
    return chapters;
}

Capture captureOf(const Options& o)
{
    Capture c;
    c.width = o.width;
    c.height = o.height;
    c.fps = o.fps;
    c.from = o.from;
    c.to = o.to;
    c.build = buildOfThisProgram();
    c.piece = o.piece;
    c.pieces = o.pieces;
    return c;
}

std::string captureText(const Capture& c)
{
    char text[256];
    std::snprintf(text, sizeof text, "%dx%d at %d fps, %d to %d ms, quenrastilan %s", c.width, c.height, c.fps,
                  c.from, c.to, c.build.c_str());
    return text;
}

bool parseCapture(const std::map<std::string, std::string>& tags, Capture& c)
{
    auto capture = tags.find(CAPTURE_TAG), piece = tags.find(PIECE_TAG);
    if (capture == tags.end())
        return false;
    char version[64], build[64];
    int used = 0;
    if (std::sscanf(capture->second.c_str(), "%dx%d at %d fps, %d to %d ms, quenrastilan %63s build %63s%n", &c.width,
                    &c.height, &c.fps, &c.from, &c.to, version, build, &used) != 7 ||
        used != (int)capture->second.size())
        return false;
    c.build = std::string(version) + " build " + build;
    c.piece = c.pieces = 0;
    if (piece == tags.end())
        return true;
    used = 0;
    return std::sscanf(piece->second.c_str(), "%d of %d%n", &c.piece, &c.pieces, &used) == 2 &&
           used == (int)piece->second.size() && c.piece >= 1 && c.piece <= c.pieces;
}

std::string buildOfThisProgram()
{
    // FNV-1a over the program's own bytes.
    unsigned long long digest = 14695981039346656037ULL;
    if (FILE* self = std::fopen("/proc/self/exe", "rb")) {
        unsigned char buffer[1 << 16];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, self)) > 0;)
            for (size_t i = 0; i < n; i++)
                digest = (digest ^ buffer[i]) * 1099511628211ULL;
        std::fclose(self);
    }
    char text[96];
    std::snprintf(text, sizeof text, "%s build %016llx", QUENRASTILAN_VERSION_TEXT, digest);
    return text;
}

// A value in ffmpeg's metadata file: '=', ';', '#', '\' and line ends escaped.
static std::string escaped(const std::string& value)
{
    std::string out;
    for (char c : value) {
        if (std::strchr("=;#\\\n", c))
            out += '\\';
        out += c;
    }
    return out;
}

std::string metadataFile(const Capture* c, const Frames& f, int fps)
{
    std::string text = ";FFMETADATA1\n";
    if (c) {
        text += std::string(CAPTURE_TAG) + "=" + escaped(captureText(*c)) + "\n";
        if (c->pieces)
            text += std::string(PIECE_TAG) + "=" + std::to_string(c->piece) + " of " + std::to_string(c->pieces) + "\n";
    }
    for (const Chapter& ch : chaptersOf(f, fps))
        text += "[CHAPTER]\nTIMEBASE=1/1000\nSTART=" + std::to_string(ch.start) + "\nEND=" + std::to_string(ch.end) +
                "\ntitle=" + escaped(ch.title) + "\n";
    std::string name = temporaryFolder() + "/quenrastilan-tags-XXXXXX";
    int fd = mkstemp(&name[0]);
    if (fd < 0)
        fail("cannot write in the temporary folder " + temporaryFolder() + ": " + std::strerror(errno));
    undoOnFailure([name] { std::remove(name.c_str()); });
    bool written = write(fd, text.data(), text.size()) == (ssize_t)text.size();
    int why = errno;
    close(fd);
    if (!written)
        fail("cannot write in the temporary folder " + temporaryFolder() + ": " + std::strerror(why));
    return name;
}

// Runs ffmpeg with these arguments, its output in *out and its messages in *messages.
static bool runFFmpeg(const std::vector<std::string>& args, std::string& out, std::string& messages)
{
    int outPipe[2], errPipe[2];
    if (pipe(outPipe) != 0)
        return false;
    if (pipe(errPipe) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return false;
    }
    pid_t pid = fork();
    if (pid == 0) {
        int devnull = open("/dev/null", O_RDONLY);
        dup2(devnull, 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        for (int fd = 3; fd < 1024; fd++)
            close(fd);
        std::vector<std::string> all = {"ffmpeg", "-hide_banner", "-nostdin", "-v", "error"};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        execvp("ffmpeg", argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    // The messages are a few lines: read after the output, which a pipe's buffer may not hold.
    char buffer[4096];
    for (ssize_t n; (n = read(outPipe[0], buffer, sizeof buffer)) != 0;)
        if (n > 0)
            out.append(buffer, (size_t)n);
        else if (errno != EINTR)
            break;
    for (ssize_t n; (n = read(errPipe[0], buffer, sizeof buffer)) != 0;)
        if (n > 0)
            messages.append(buffer, (size_t)n);
        else if (errno != EINTR)
            break;
    close(outPipe[0]);
    close(errPipe[0]);
    int status = 0;
    while (pid > 0 && waitpid(pid, &status, 0) < 0 && errno == EINTR)
        continue;
    return pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool readTags(const std::string& path, std::map<std::string, std::string>& tags, std::string& error)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a file";
        return false;
    }
    std::string text, messages;
    if (!runFFmpeg({"-i", fileURL(path), "-f", "ffmetadata", "pipe:1"}, text, messages)) {
        size_t end = messages.find('\n');
        std::string first = messages.substr(0, end);
        // "file:show.mkv: Invalid data found when processing input": the reason alone.
        size_t colon = first.rfind(": ");
        error = first.empty() ? "ffmpeg cannot read it" : colon == std::string::npos ? first : first.substr(colon + 2);
        return false;
    }
    // KEY=VALUE lines up to the first section ([CHAPTER], [STREAM]), backslashes escaping.
    size_t at = 0;
    while (at < text.size()) {
        std::string line;
        for (; at < text.size() && text[at] != '\n'; at++) {
            if (text[at] == '\\' && at + 1 < text.size())
                at++;
            line += text[at];
        }
        at++;
        if (!line.empty() && line[0] == '[')
            break;
        size_t equals = line.find('=');
        if (line.empty() || line[0] == ';' || line[0] == '#' || equals == std::string::npos)
            continue;
        tags[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return true;
}
