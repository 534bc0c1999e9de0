// Plays "music.xm": libopenmpt renders the module, SDL's audio callback pulls the samples.
#include "frame/sound.h"

#include "render/outfile.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

static const char* const MODULE_NAME = "music.xm";

// The playing module, owned here between Sound::init and Sound::release. The audio thread
// reads it only through the callback; SDL_CloseAudio waits for that to finish.
static std::unique_ptr<openmpt::module> music;
static bool audioOpen = false;

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
    std::string beside = folderOfExecutable() + MODULE_NAME;
    if (beside != MODULE_NAME && access(beside.c_str(), F_OK) == 0)
        return beside;
    error = std::string(MODULE_NAME) + ": not found in the working directory nor as " + beside;
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

// Loads a module file for playing once from its start. Null with "path: reason" on failure.
static std::unique_ptr<openmpt::module> loadModule(const std::string& path, std::string& error)
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

// Renders up to frames stereo frames as 16-bit PCM; returns how many were rendered (fewer
// at the end of the song). Called from the audio thread, so it allocates nothing.
static std::size_t renderPCM(openmpt::module& mod, std::size_t frames, std::int16_t* out)
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

static void audioCallback(void*, Uint8* stream, int len)
{
    std::size_t frames = (std::size_t)len / 4, done = 0;
    try {
        if (music)
            done = renderPCM(*music, frames, (std::int16_t*)stream);
    } catch (...) {
        // Nothing may unwind into SDL's audio thread; the rest of this buffer is silence.
    }
    std::memset(stream + done * 4, 0, (frames - done) * 4);
}

bool Sound::init()
{
    std::string error;
    std::string path = sound_find_module(error);
    if (!path.empty())
        music = loadModule(path, error);
    if (!music) {
        std::fprintf(stderr, "quenrastilan: %s; the show runs without music\n", error.c_str());
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "quenrastilan: no audio (%s); the show runs without music\n", SDL_GetError());
        music.reset();
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = SOUND_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = audioCallback;
    // Without an "obtained" format to fill in, SDL converts to whatever the device takes.
    if (SDL_OpenAudio(&want, nullptr) != 0) {
        std::fprintf(stderr, "quenrastilan: cannot open the audio device (%s); the show runs without music\n",
                     SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        music.reset();
        return false;
    }
    audioOpen = true;
    return true;
}

void Sound::play()
{
    if (audioOpen)
        SDL_PauseAudio(0);
}

void Sound::release()
{
    if (audioOpen) {
        SDL_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioOpen = false;
    }
    music.reset();
}

bool sound_render(const std::string& path, int fromMs, std::vector<std::int16_t>& pcm, std::string& error)
{
    std::unique_ptr<openmpt::module> mod = loadModule(path, error);
    if (!mod)
        return false;
    pcm.clear();
    try {
        if (fromMs > 0)
            mod->set_position_seconds(fromMs / 1000.0);
        std::vector<std::int16_t> block(2 * 4096);
        std::size_t got;
        while ((got = renderPCM(*mod, 4096, block.data())) > 0)
            pcm.insert(pcm.end(), block.begin(), block.begin() + 2 * got);
    } catch (const std::exception& e) {
        error = path + ": rendering failed (" + e.what() + ")";
        return false;
    }
    return true;
}

bool sound_write_wav(const std::string& path, const std::vector<std::int16_t>& pcm, std::string& error)
{
    std::uint32_t dataBytes = (std::uint32_t)(pcm.size() * 2);
    std::vector<std::uint8_t> h;
    auto text = [&](const char* s) { h.insert(h.end(), s, s + 4); };
    auto u16 = [&](std::uint32_t v) { h.push_back(v & 0xFF); h.push_back(v >> 8 & 0xFF); };
    auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
    text("RIFF");
    u32(36 + dataBytes);
    text("WAVE");
    text("fmt ");
    u32(16);
    u16(1);                  // PCM
    u16(2);                  // channels
    u32(SOUND_RATE);
    u32(SOUND_RATE * 4);     // bytes per second
    u16(4);                  // bytes per frame
    u16(16);                 // bits per sample
    text("data");
    u32(dataBytes);
    for (std::int16_t s : pcm)
        u16((std::uint16_t)s);

    return writeOutputFile(path, [&](FILE* f) {
        if (std::fwrite(h.data(), 1, h.size(), f) != h.size()) {
            error = path + ": " + std::strerror(errno);
            return false;
        }
        return true;
    }, error);
}
