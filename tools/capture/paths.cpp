// Output paths and folders of the capture tool.
#include "paths.h"

#include "formats.h"
#include "ending.h"
#include "lib/outfile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

void prepareOutputFile(const std::string& option, const std::string& path, bool overwrite)
{
    if (writtenInPlace(path))
        return;
    makeFolders(folderOf(path));
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            fail(path + ": is a folder");
        if (!overwrite)
            refuse(option + " " + path + ": is already there; give --overwrite to replace it");
        if (access(path.c_str(), W_OK) != 0)
            fail(path + ": " + std::strerror(errno));
    }
    if (access(folderOf(path).c_str(), W_OK) != 0)
        fail(path + ": " + std::strerror(errno));
}

void prepareOutputFolder(const Options& o, const Frames& f)
{
    const std::string& dir = o.out;
    struct stat st;
    if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        long long there = 0;
        std::string first;
        for (long long n = f.first; n < f.first + f.count; n++) {
            std::string name = numberedFrame(dir, n);
            if (lstat(name.c_str(), &st) != 0)
                continue;
            if (there++ == 0)
                first = name;
            if (o.overwrite && S_ISDIR(st.st_mode))
                fail("cannot write " + name + ": " + std::strerror(EISDIR));
        }
        if (there && !o.overwrite)
            refuse("--out " + dir + ": " + first +
                   (there > 1 ? " and " + std::to_string(there - 1) + " more of the range's frames are" : " is") +
                   " already there; give --overwrite to replace them");
    }
    makeFolders(dir);
    if (access(dir.c_str(), W_OK) != 0)
        fail(dir + ": " + std::strerror(errno));
}

int openStream(const std::string& path)
{
    int given = descriptorNamed(path);
    int fd = given >= 0 ? fcntl(given, F_DUPFD_CLOEXEC, 10) : open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail("cannot write " + path + ": " + std::strerror(errno));
    return fd;
}

std::string numberedFrame(const std::string& folder, long long n)
{
    char name[32];
    std::snprintf(name, sizeof name, "%06lld.png", n);
    return folder + (folder.back() == '/' ? "" : "/") + name;
}

FrameFolder::FrameFolder(const std::string& folder, bool overwrite) : folder_(folder), overwrite_(overwrite)
{
    std::string work = folder + (folder.back() == '/' ? "" : "/") + ".quenrastilan-capture-XXXXXX";
    if (!mkdtemp(&work[0]))
        fail("cannot write " + folder + (folder.back() == '/' ? "" : "/") + ": " + std::strerror(errno));
    work_ = work;
}

std::string FrameFolder::written(long long n) const
{
    return numberedFrame(work_, n);
}

void FrameFolder::place(long long n)
{
    std::string from = written(n), to = final(n);
    // The file replaced is linked into the run's folder first: the name never goes missing.
    struct stat st;
    if (overwrite_ && lstat(to.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && link(to.c_str(), kept(n).c_str()) != 0 &&
        std::rename(to.c_str(), kept(n).c_str()) != 0)
        fail("cannot write " + to + ": " + std::strerror(errno));
    if (!placeFile(from, to, overwrite_)) {
        int why = errno;
        std::rename(kept(n).c_str(), to.c_str());
        fail("cannot write " + to + ": " + std::strerror(why));
    }
    placed_.push_back(n);
}

// The frames of the run without a file kept for them were new: they go. Every file kept is put
// back, also one whose frame was never reported (its process ended between the two steps).
void FrameFolder::undo()
{
    struct stat st;
    for (long long n : placed_)
        if (lstat(kept(n).c_str(), &st) != 0)
            unlink(final(n).c_str());
    placed_.clear();
    if (DIR* work = opendir(work_.c_str())) {
        while (dirent* entry = readdir(work)) {
            std::string name = entry->d_name;
            if (name.size() > 5 && name.compare(name.size() - 5, 5, ".kept") == 0) {
                std::string from = work_ + "/" + name;
                std::rename(from.c_str(), (folder_ + "/" + name.substr(0, name.size() - 5)).c_str());
                // Renaming a link over the same file leaves both.
                unlink(from.c_str());
            }
        }
        closedir(work);
    }
    removeWork();
}

void FrameFolder::keep()
{
    placed_.clear();
    removeWork();
}

void FrameFolder::removeWork() const
{
    if (DIR* work = opendir(work_.c_str())) {
        while (dirent* entry = readdir(work))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                unlink((work_ + "/" + entry->d_name).c_str());
        closedir(work);
    }
    rmdir(work_.c_str());
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
    bool special = writtenInPlace(path);
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
