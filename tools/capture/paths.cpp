// Output paths and folders of the capture tool.
#include "paths.h"

#include "undo.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

// Makes `dir` and any folder above it that is missing, as mkdir -p does; the folders made are
// removed again (when empty) if the capture fails or is stopped.
static void makeFolders(const std::string& dir)
{
    std::string path;
    for (size_t at = 0; at <= dir.size(); at++) {
        if (at < dir.size() && dir[at] != '/') {
            path += dir[at];
            continue;
        }
        if (!path.empty() && path != "." && path != ".." && path.back() != '/') {
            struct stat st;
            if (stat(path.c_str(), &st) != 0) {
                bool made = mkdir(path.c_str(), 0777) == 0;
                if (!made && errno != EEXIST)
                    fail(path + ": " + std::strerror(errno));
                if (made)
                    undoMadeFolder(path);
            } else if (!S_ISDIR(st.st_mode)) {
                fail(path + ": not a folder");
            }
        }
        if (at < dir.size())
            path += '/';
    }
}

// The folder a file is written in: "." for a bare name.
static std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

void prepareOutputFile(const std::string& path)
{
    makeFolders(folderOf(path));
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            fail(path + ": is a folder");
        if (access(path.c_str(), W_OK) != 0)
            fail(path + ": " + std::strerror(errno));
        return;
    }
    if (access(folderOf(path).c_str(), W_OK) != 0)
        fail(path + ": " + std::strerror(errno));
}

void prepareOutputFolder(const std::string& dir)
{
    makeFolders(dir);
    if (access(dir.c_str(), W_OK) != 0)
        fail(dir + ": " + std::strerror(errno));
}

std::string numberedFrame(const std::string& folder, long long n)
{
    char name[32];
    std::snprintf(name, sizeof name, "%06lld.png", n);
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

static double realSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// The frames that go are those changed since the run started (a second's grace for file
// systems with coarse times): a frame left from an earlier run stays.
void undoFramesOnFailure(const Options& o, const Frames& f)
{
    double start = realSeconds() - 1;
    undoOnFailure([o, f, start] {
        for (long long n = f.first; n < f.first + f.count; n++) {
            std::string name = numberedFrame(o.out, n);
            struct stat st;
            if (stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                st.st_mtim.tv_sec + st.st_mtim.tv_nsec * 1e-9 >= start)
                unlink(name.c_str());
        }
    });
}

std::string temporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

// The parts go on the disk that is to hold the video (a whole master's parts are gigabytes),
// or in the temporary folder when the video goes to a device or a pipe. The whole path, since
// the parts are named to ffmpeg from a list elsewhere.
std::string partsFolderFor(const std::string& path)
{
    struct stat st;
    bool special = stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
    std::string folder = special ? temporaryFolder() + "/quenrastilan-parts-XXXXXX" : path + ".parts-XXXXXX";
    std::string where = special ? "cannot write in the temporary folder " + temporaryFolder() : "cannot write " + path;
    if (!mkdtemp(&folder[0]))
        fail(where + ": " + std::strerror(errno));
    char* whole = realpath(folder.c_str(), nullptr);
    if (!whole) {
        rmdir(folder.c_str());
        fail(where + ": " + std::strerror(errno));
    }
    folder = whole;
    std::free(whole);
    return folder;
}

// A video part without sound, in NUT, whose time base keeps every frame's time exact when the
// parts are joined.
std::string partName(const std::string& folder, size_t k)
{
    char name[32];
    std::snprintf(name, sizeof name, "/%06zu.nut", k);
    return folder + name;
}
