// The soundtrack rendered offline, as the show plays it, and written as a WAV file.
#include "lib/soundtrack.h"

#include "frame/module.h"
#include "lib/outfile.h"

#include <cerrno>
#include <cstring>

bool sound_render(const std::string& path, int fromMs, std::vector<std::int16_t>& pcm, std::string& error,
                  const volatile std::sig_atomic_t* stop)
{
    std::unique_ptr<openmpt::module> mod = sound_load_module(path, error);
    if (!mod)
        return false;
    pcm.clear();
    try {
        if (fromMs > 0)
            sound_seek(*mod, fromMs);
        std::vector<std::int16_t> block(2 * 4096);
        std::size_t got;
        while ((got = sound_render_pcm(*mod, 4096, block.data())) > 0) {
            if (stop && *stop) {
                error = "stopped";
                return false;
            }
            pcm.insert(pcm.end(), block.begin(), block.begin() + 2 * got);
        }
    } catch (const std::exception& e) {
        error = path + ": rendering failed (" + e.what() + ")";
        return false;
    }
    return true;
}

bool sound_write_wav(const std::string& path, const std::vector<std::int16_t>& pcm, std::string& error,
                     bool replace)
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
    }, error, replace);
}
