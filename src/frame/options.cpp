// The player's options: parsing, checking and the usage text with the scene table in it.
#include "frame/options.h"

#include "frame/timeline.h"
#include "scenes/scene_table.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// The usage text, the scenes' names, first moments and titles taken from the scene table.
static std::string usage()
{
    std::string text =
        "usage: quenrastilan [--window [WxH]] [--no-vsync] [--start MS|SCENE] [--list-scenes] [--help]\n"
        "\n"
        "Plays the show full screen at the display's own resolution, the 4:3 picture centred\n"
        "with black bars, in step with the display's refresh.\n"
        "\n"
        "  --window [WxH]    play in a window, 1024x768 unless a size is given (e.g. 1440x1080)\n"
        "  --no-vsync        draw frames as fast as possible instead of with the display's refresh\n"
        "  --start MS|SCENE  start picture and music at show time MS (0 to 244999), or at the\n"
        "                    first moment of a scene, by its name or its title in any case\n"
        "                    (--start fibotree, --start \"fibonacci trees\"). The scenes:\n";
    for (const Scene& scene : SCENES) {
        char entry[96];
        int s = scene.range[0] / 1000;
        std::snprintf(entry, sizeof entry, "                      %-9s %d:%02d  %s\n", scene.name, s / 60, s % 60,
                      scene.title);
        text += entry;
    }
    text +=
        "  --list-scenes     print each scene's name, first and last ms and title, one scene a\n"
        "                    line, and exit\n"
        "  --help            this text\n"
        "\n"
        "Keys: Escape ends the show; Space pauses and resumes; Left and Right jump 10 s back and\n"
        "forward. On each key the show prints where it is, and in which scene, on stdout.\n"
        "Exit status: 0 at the show's end, on Escape or when the window is closed; 130 after\n"
        "Ctrl-C (SIGINT), 143 after a TERM signal; 1 when it cannot start; 2 for a wrong option.\n"

        "Licence: MIT; the glyphs are DejaVu Sans Bold's, under the Bitstream Vera font licence.\n";
    return text;
}


// A wrong option is one line naming it, and exit status 2.
[[noreturn]] static void usageError(const std::string& message)
{
    std::fprintf(stderr, "quenrastilan: %s (see quenrastilan --help)\n", message.c_str());
    std::exit(2);
}

static bool parseNumber(const char* text, long low, long high, long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

// "1440x1080" into width and height, each 64 to 16384.
static bool parseSize(const std::string& text, int& width, int& height)
{
    size_t x = text.find('x');
    long w, h;
    if (x == std::string::npos || !parseNumber(text.substr(0, x).c_str(), 64, 16384, w) ||
        !parseNumber(text.substr(x + 1).c_str(), 64, 16384, h))
        return false;
    width = (int)w;
    height = (int)h;
    return true;
}

Options parse_options(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(usage().c_str(), stdout);
            std::exit(0);
        } else if (a == "--list-scenes") {
            std::fputs(scene_table_text().c_str(), stdout);
            std::exit(0);
        } else if (a == "--window") {
            o.mode.fullscreen = false;
            // The size is optional: a next argument that is not an option is the size.
            if (i + 1 < argc && argv[i + 1][0] != '-' && !parseSize(argv[++i], o.mode.width, o.mode.height))
                usageError(std::string("--window takes a size such as 1440x1080 (64 to 16384 each), not '") +
                           argv[i] + "'");
        } else if (a == "--no-vsync") {
            o.mode.vsync = false;
        } else if (a == "--start") {
            long ms;
            if (i + 1 >= argc)
                usageError("--start needs a show time in ms or a scene's name or title");
            const char* what = argv[++i];
            const Scene* scene = scene_called(what);
            if (scene)
                o.startMs = scene->range[0];
            else if (!std::strchr("0123456789+-", what[0]))
                usageError(std::string("--start: no scene is called '") + what + "'");
            else if (!parseNumber(what, 0, SHOW_END_MS, ms))
                usageError(std::string("--start takes a show time from 0 to ") + std::to_string(SHOW_END_MS) +
                           " ms, not '" + what + "'");
            else
                o.startMs = (int)ms;
        } else {
            usageError("unknown option '" + a + "'");
        }
    }
    return o;
}
