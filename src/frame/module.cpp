// Finding, checking and loading "music.xm", and rendering it as 16-bit PCM: the one decoding
// path that the show's playback and the tools' offline render share.
#include "frame/module.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

static const char* const MODULE_NAME = "music.xm";

static std::string folderOfExecutable()
{
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "";
    buf[n] = '\0';
    std::string exe = buf;
    std::size_t slash = exe.rfind('/');
    return slash == std::string::npos ? "" : exe.substr(0, slash + 1);
}

std::string sound_find_module(std::string& error)
{
    if (access(MODULE_NAME, F_OK) == 0)
        return MODULE_NAME;
    std::string folder = folderOfExecutable();
    if (folder.empty()) {
        error = std::string(MODULE_NAME) + ": not found in the working directory";
        return "";
    }
    // Beside the program (a build), then where an installation keeps it (bin/../share).
    std::string beside = folder + MODULE_NAME;
    std::string installed = folder + "../share/quenrastilan/" + MODULE_NAME;
    for (const std::string& path : {beside, installed})
        if (access(path.c_str(), F_OK) == 0)
            return path;
    error = std::string(MODULE_NAME) + ": not found in the working directory, as " + beside + " nor as " + installed;
    return "";
}

// The largest module file read: far above any real XM module, so a stray huge file is refused
// before it costs time or memory.
static const long long MAX_MODULE_BYTES = 64LL << 20;

static bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    // Non-blocking, so a FIFO named like the module cannot hang the start-up; a regular file is
    // read as usual.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        error = path + ": " + std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > MAX_MODULE_BYTES) {
        error = path + (S_ISDIR(st.st_mode) ? ": is a folder"
                        : !S_ISREG(st.st_mode) ? ": not a regular file"
                                               : ": too large for a module (" + std::to_string(st.st_size >> 20) +
                                                     " MB; at most " + std::to_string(MAX_MODULE_BYTES >> 20) + ")");
        close(fd);
        return false;
    }
    bytes.assign((std::size_t)st.st_size, 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = path + ": " + (n < 0 ? std::strerror(errno) : "the file shrank while it was read");
            close(fd);
            return false;
        }
        done += (std::size_t)n;
    }
    close(fd);
    if (bytes.empty()) {
        error = path + ": the file is empty";
        return false;
    }
    return true;
}

// An XM file (format 1.04, the one every current tracker writes) declares the size of every
// part; libopenmpt plays a file cut short with what it finds (missing samples are silence),
// so a short file is caught here. Returns "" when every declared part lies within the file.
static std::string xmStructureProblem(const std::vector<std::uint8_t>& b)
{
    auto u16 = [&](std::size_t at) { return (std::uint32_t)(b[at] | b[at + 1] << 8); };
    auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    const std::string truncated = "the file is truncated";
    if (b.size() < 80)
        return truncated;
    if (u16(58) != 0x0104)
        return "";  // older layouts are left to libopenmpt
    std::size_t at = 60 + (std::size_t)u32(60);
    std::uint32_t patterns = u16(70), instruments = u16(72);
    for (std::uint32_t p = 0; p < patterns; p++) {
        if (at + 9 > b.size())
            return truncated;
        at += (std::size_t)u32(at) + u16(at + 7);
    }
    for (std::uint32_t i = 0; i < instruments; i++) {
        if (at + 29 > b.size())
            return truncated;
        std::size_t header = u32(at);
        std::uint32_t samples = u16(at + 27);
        if (samples == 0) {
            at += header;
            continue;
        }
        if (at + 33 > b.size())
            return truncated;
        std::size_t sampleHeader = u32(at + 29);
        std::size_t sh = at + header, data = 0;
        for (std::uint32_t s = 0; s < samples; s++, sh += sampleHeader) {
            if (sh + 4 > b.size())
                return truncated;
            data += u32(sh);
        }
        at = sh + data;
    }
    return at > b.size() ? truncated : "";
}

std::unique_ptr<openmpt::module> sound_load_module(const std::string& path, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!readFile(path, bytes, error))
        return nullptr;
    std::unique_ptr<openmpt::module> mod;
    try {
        // libopenmpt writes its loader messages to std::clog unless given a log of its own.
        std::ostringstream log;
        mod = std::make_unique<openmpt::module>(bytes, log,
                                                std::map<std::string, std::string>{{"play.at_end", "stop"}});
        mod->set_repeat_count(0);
    } catch (const std::exception& e) {
        error = path + ": not a module that can be played (" + e.what() + ")";
        return nullptr;
    }
    if (mod->get_metadata("type") == "xm") {
        std::string problem = xmStructureProblem(bytes);
        if (!problem.empty()) {
            error = path + ": " + problem;
            return nullptr;
        }
    }
    return mod;
}

std::size_t sound_render_pcm(openmpt::module& mod, std::size_t frames, std::int16_t* out)
{
    float buf[2 * 1024];
    std::size_t done = 0;
    while (done < frames) {
        std::size_t want = std::min<std::size_t>(frames - done, 1024);
        std::size_t got = mod.read_interleaved_stereo(SOUND_RATE, want, buf);
        for (std::size_t i = 0; i < 2 * got; i++) {
            float v = std::round(buf[i] * 32767.0f);
            out[2 * done + i] = (std::int16_t)(v > 32767.0f ? 32767.0f : v < -32768.0f ? -32768.0f : v);
        }
        done += got;
        if (got < want)
            break;
    }
    return done;
}

void sound_seek(openmpt::module& mod, int ms)
{
    const double target = ms / 1000.0;
    // libopenmpt lands on the start of a row, which may lie after the target: step back until
    // the row starts at or before it.
    double back = target, at = mod.set_position_seconds(back);
    while (at > target && back > 0.0) {
        back = back > 0.1 ? back - 0.1 : 0.0;
        at = mod.set_position_seconds(back);
    }
    // Then decode the rest of the way and throw it away.
    long long skip = (long long)std::llround((target - at) * SOUND_RATE);
    float scratch[2 * 1024];
    while (skip > 0) {
        std::size_t want = (std::size_t)std::min<long long>(skip, 1024);
        std::size_t got = mod.read_interleaved_stereo(SOUND_RATE, want, scratch);
        skip -= (long long)want;
        if (got < want)
            break;
    }
}
