// Output files written under a temporary name and renamed when complete.
#include "lib/outfile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

// Runs write on f, then flushes and closes it; false with the reason in error.
static bool writeAndClose(FILE* f, const std::string& path, const std::function<bool(FILE*)>& write,
                          std::string& error)
{
    bool ok = write(f);
    if (ok && (std::fflush(f) != 0 || std::ferror(f))) {
        error = path + ": " + std::strerror(errno);
        ok = false;
    }
    if (std::fclose(f) != 0 && ok) {
        error = path + ": " + std::strerror(errno);
        ok = false;
    }
    return ok;
}

bool placeFile(const std::string& temp, const std::string& path, bool replace)
{
    if (replace)
        return std::rename(temp.c_str(), path.c_str()) == 0;
    if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    // A file system without the flag: a hard link is made only where nothing is.
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (link(temp.c_str(), path.c_str()) != 0)
        return false;
    unlink(temp.c_str());
    return true;
}

bool writeOutputFile(const std::string& path, const std::function<bool(FILE*)>& write, std::string& error,
                     bool replace)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) {
            error = path + ": " + std::strerror(EISDIR);
            return false;
        }
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
        return writeAndClose(f, path, write, error);
    }
    std::string temp = path + ".partial-XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; the finished file gets the usual permissions.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    FILE* f = fdopen(fd, "wb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    bool ok = writeAndClose(f, path, write, error);
    if (ok && !placeFile(temp, path, replace)) {
        error = path + ": " + std::strerror(errno);
        ok = false;
    }
    if (!ok)
        unlink(temp.c_str());
    return ok;
}
