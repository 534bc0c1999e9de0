// The capture tool's options and its --help text.
#include "options.h"

#include "formats.h"
#include "run.h"
#include "frame/timeline.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static const char* const USAGE =
    "usage: quenrastilan-capture [--fps N] [--size WxH] [--overwrite] --at MS --out FILE.png\n"
    "       quenrastilan-capture [--fps N] [--size WxH] [--jobs N] [--overwrite] --from MS --to MS\n"
    "                            --out DIR\n"
    "       quenrastilan-capture --video FILE.mp4|.mov|.mkv|.webm|- [--fps N] [--size WxH] [--jobs N]\n"
    "                            [--from MS] [--to MS] [--preset NAME] [--crf N] [--overwrite]\n"
    "       quenrastilan-capture --video FILE.mp4|.mov|.mkv|.webm|- --from-master MASTER.mkv\n"
    "                            [--size WxH] [--preset NAME] [--crf N] [--overwrite]\n"
    "       quenrastilan-capture --master FILE.mkv|- [--fps N] [--size WxH] [--jobs N] [--from MS]\n"
    "                            [--to MS] [--piece K/N] [--overwrite]\n"
    "       quenrastilan-capture --join FILE.mkv|- [--overwrite] PIECE.mkv...\n"
    "       quenrastilan-capture --sheet FILE.png [--fps N] [--size WxH] [--overwrite]\n"
    "       quenrastilan-capture --audio FILE.wav [--overwrite]\n"
    "       quenrastilan-capture --check [--fps N]\n"
    "\n"
    "Renders the show headless on a simulated clock: frame n is drawn at (int)(n * 1000 / fps)\n"
    "ms, each as a run from 0 ms would show it (the scenes are brought on through the frames\n"
    "before it without drawing them). Times are show milliseconds, 0 to 245000. Paths may be\n"
    "relative; folders they name are made when missing. The format follows the file's name, as\n"
    "in ffmpeg: another ending is refused before anything is drawn. An option that the mode does\n"
    "not take, or one given twice, is refused too. A file already there (a frame's name, for a\n"
    "range) is refused unless --overwrite is given. Ctrl-C stops any capture within a second; a\n"
    "stopped or failed run removes what it wrote and puts back any file it replaced, and leaves\n"
    "everything else as it was.\n"
    "\n"
    "  --size WxH     the frames' size (default 1024x768), drawn natively at that size: the\n"
    "                 4:3 picture fills it, or is centred between black bars in another shape\n"
    "                 e.g. quenrastilan-capture --video show.mp4 --size 1440x1080\n"
    "  --jobs N       render a range (frames, --video, --master) in N processes at once,\n"
    "                 which take its pieces in turn. Without it, up to the number of cores:\n"
    "                 a process for every 1000 frames of 1024x768 (every 300 PNG frames), so\n"
    "                 a short range runs in one process. Frames and masters are the same as\n"
    "                 from one process; a video's pieces are encoded apart, so its frames\n"
    "                 differ from one process's within the encoder's loss\n"
    "  --fps N        frames per second of the simulated clock (default 30; 60 with --video,\n"
    "                 --master and --check)\n"
    "  --at MS        bring the scenes through the frames before MS, then draw one frame at\n"
    "                 exactly MS, and write it as PNG\n"
    "                 e.g. quenrastilan-capture --fps 30 --at 5220 --out still.png\n"
    "  --from MS      first time of a range of frames (with --video: default 0)\n"
    "  --to MS        last time of the range (with --video: default 245000); without --video\n"
    "                 each frame is written to DIR as NNNNNN.png, named by frame number\n"
    "                 e.g. quenrastilan-capture --fps 30 --from 3000 --to 6000 --out frames/\n"
    "  --out PATH     the PNG file (--at) or the folder (--from/--to)\n"
    "  --overwrite    replace an output already there (with a range, the frames of its names);\n"
    "                 a stopped or failed run puts the files it replaced back\n"
    "  --video FILE   a video of the range with the soundtrack from the range's first frame,\n"
    "                 encoded by ffmpeg while the frames render, converted with the BT.709\n"
    "                 matrix and tagged so, as long as its frames to the sample; the name's\n"
    "                 ending chooses the container and codecs:\n"
    "                   .mp4, .mov  H.264 and AAC, the index at the front: ready to upload\n"
    "                   .mkv        H.264 and FLAC, the sound lossless\n"
    "                   .webm       VP9 and Opus, for web pages\n"
    "                 - or /dev/stdout (standard output), /dev/fd/N, a FIFO or a device get\n"
    "                 the stream as it is made, Matroska unless the name ends in .webm; an MP4\n"
    "                 or MOV is refused there, since it is finished by going back to its start.\n"
    "                 A video or master has a chapter for each scene it shows, named by the\n"
    "                 scene's title, from the scene's start (its first frame for a scene\n"
    "                 already on) to the next chapter's\n"
    "                 e.g. quenrastilan-capture --video show.mp4\n"
    "                      quenrastilan-capture --video newton.webm --from 66000 --to 94000\n"
    "                      quenrastilan-capture --video - --from 66000 --to 94000 | ffplay -\n"
    "  --preset NAME  the encoder's speed for --video, x264's presets, fastest first:\n"
    "                 ultrafast superfast veryfast faster fast medium slow slower veryslow;\n"
    "                 VP9 takes the speed that matches (real-time 8 to 5, then \"good\" 4 to\n"
    "                 2). Default medium, as in x264 and ffmpeg: the whole show is half the\n"
    "                 size ultrafast makes, as close to the frames, for 3/4 more CPU time\n"
    "                 e.g. quenrastilan-capture --video show.mp4 --preset ultrafast\n"
    "  --crf N        quality for --video, lower is closer to the frames drawn and larger:\n"
    "                 H.264 0 (lossless) to 51, default 18; VP9 0 to 63, default 26\n"
    "  --master FILE  a lossless master of the range to keep: FFV1 video in full RGB and the\n"
    "                 soundtrack in FLAC, in Matroska (.mkv, or a stream as for --video);\n"
    "                 frame n spans the samples from n * 48000 / fps on, and the frames decode\n"
    "                 to exactly the PNG frames\n"
    "                 e.g. quenrastilan-capture --master show.mkv\n"
    "  --piece K/N    with --master: only the K-th (from 1) of N ranges of the range's frames,\n"
    "                 cut as evenly as whole frames allow, with their sound, into\n"
    "                 NAME.piece-K-of-N.mkv beside the master named (K with as many digits as\n"
    "                 N). Each piece is made on its own, by any machine in any order, and the\n"
    "                 same options give the same bytes; it says in its tags which capture it is\n"
    "                 part of, and which part\n"
    "                 e.g. quenrastilan-capture --master show.mkv --piece 3/16\n"
    "  --join FILE    join the pieces of one capture, all of them, each once, into the master\n"
    "                 FILE (.mkv, or a stream as for --video): the same frames and sound as the\n"
    "                 master made in one run, copied, not encoded again. Pieces of another\n"
    "                 capture (its size, rate, range, count or build), a piece given twice or\n"
    "                 one missing are refused, naming them, before anything is written\n"
    "                 e.g. quenrastilan-capture --join show.mkv show.piece-*-of-16.mkv\n"
    "  --from-master FILE  with --video: encode the video from a master this tool made\n"
    "                 instead of drawing the show again, at the master's size or, with --size,\n"
    "                 smaller (scaled, the picture's shape kept between black bars): the same\n"
    "                 range, rate, sound, tags and chapters as a video captured directly\n"
    "                 e.g. quenrastilan-capture --video show.webm --from-master show.mkv\n"
    "  --sheet FILE   a contact sheet (PNG): one thumbnail per scene at the middle of its\n"
    "                 range (or a little later where the scene shows next to nothing in the\n"
    "                 4:3 picture), labelled with the scene's name and time. The moments are\n"
    "                 the same at any --size; the thumbnails are 256 pixels wide, in the\n"
    "                 frame's shape, with its bars\n"
    "                 e.g. quenrastilan-capture --sheet sheet.png\n"
    "  --audio FILE   render the soundtrack (music.xm, looked up as the show does: the working\n"
    "                 directory, then beside this program) from 0 ms to its end as a 48000 Hz\n"
    "                 stereo 16-bit WAV file with the show's own engine, and exit; no display\n"
    "                 e.g. quenrastilan-capture --audio show.wav\n"
    "  --check        run the whole show, 0 to 245000 ms, without rasterising, reading\n"
    "                 glGetError after start-up and every frame; print the frames run, the GL\n"
    "                 errors (the first with its frame, time and scenes) and the peak resident\n"
    "                 memory; exit 1 on any GL error. A soak test, best in the sanitizer build\n"
    "                 e.g. quenrastilan-capture --check --fps 60\n"
    "  --quiet        no progress lines (otherwise shown for runs longer than two seconds,\n"
    "                 a still's catch-up included: what is done and the time left at its\n"
    "                 average rate)\n"
    "  --help         this text\n"
    "\n"
    "Exit status: 0 when done; 1 when it failed, said in one line that names the file and the\n"
    "reason (\"No space left on device\"; a failure of ffmpeg's output is one too), nothing\n"
    "left behind; 2 when the command line is refused (an output already there among the\n"
    "reasons), said in one line, nothing written; 130 when stopped by Ctrl-C (143 by TERM),\n"
    "with the one line \"stopped\", nothing left behind.\n"

    "Licence: MIT; the glyphs are DejaVu Sans Bold's, under the Bitstream Vera font licence.\n";

// The most pieces a capture is cut into.
static const int MAX_PIECES = 9999;

// The largest frame: 8K wide, as tall as the 4:3 picture at that width.
static const int MAX_WIDTH = 7680, MAX_HEIGHT = 5760;

void refuse(const std::string& message)
{
    std::fprintf(stderr, "quenrastilan-capture: %s\n", message.c_str());
    std::exit(2);
}

// A whole number from low to high; `scale` names whose range it is, when it is not the option's own.
static int parseInt(const std::string& option, const char* text, int low, int high, const std::string& scale = "")
{
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno || end == text || *end != '\0' || v < low || v > high)
        refuse(option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
               scale + ", not '" + text + "'");
    return (int)v;
}

// The mode the options ask for, refusing none or several.
static void checkOneMode(const Options& o)
{
    std::string modes;
    int count = 0;
    auto mode = [&](bool given, const char* name) {
        if (given)
            modes += std::string(count++ ? " and " : "") + name;
    };
    mode(o.at >= 0, "--at");
    mode(!o.encoded() && (o.from >= 0 || o.to >= 0), "--from/--to");
    mode(!o.video.empty(), "--video");
    mode(!o.master.empty(), "--master");
    mode(!o.join.empty(), "--join");
    mode(!o.sheet.empty(), "--sheet");
    mode(!o.audio.empty(), "--audio");
    mode(o.check, "--check");
    static const char* const ONE_OF = "one of --at, --from/--to, --video, --master, --join, --sheet, --audio or --check";
    if (count == 0)
        refuse(std::string("give ") + ONE_OF + " (see --help)");
    if (count > 1)
        refuse(modes + " do not go together: give only " + ONE_OF + " (see --help)");
}

// The format of the file the options write follows its name, as in ffmpeg; another name is
// refused here, before any frame is drawn.
static void checkFormat(Options& o)
{
    auto aFile = [](const std::string& option, const std::string& path) {
        if (path.empty() || path.back() == '/')
            refuse(option + " " + (path.empty() ? "''" : path) + ": names a folder, not a file");
    };
    auto single = [&](const std::string& option, const std::string& path, const char* what, const char* extension) {
        aFile(option, path);
        if (!namedAs(path, extension))
            refuse(option + " " + path + ": " + what + ", so the name must end in " + extension);
    };
    if (o.at >= 0 && !o.out.empty())
        single("--out", o.out, "a still is a PNG file", ".png");
    if (!o.sheet.empty())
        single("--sheet", o.sheet, "the sheet is a PNG file", ".png");
    if (!o.audio.empty())
        single("--audio", o.audio, "the soundtrack is a WAV file", ".wav");
    if (o.encoded() || !o.join.empty()) {
        bool master = o.video.empty();
        const std::string& path = !o.video.empty() ? o.video : !o.join.empty() ? o.join : o.master;
        const char* option = !o.video.empty() ? "--video" : !o.join.empty() ? "--join" : "--master";
        aFile(option, path);
        o.format = videoFormatOf(path, master);
        std::string named = std::string(option) + " " + path + ": ";
        if (!o.format)
            refuse(named + (master ? "a master is Matroska, so the name must end in .mkv"
                                   : "the container follows the name, which must end in " + videoExtensions(false)));
        if (o.pieces && writtenInPlace(path))
            refuse(named + "a piece is a file beside the master it names, not a stream: name a file");
        if (writtenInPlace(path)) {
            if (o.format->indexFirst)
                refuse(named + "an MP4 or MOV is finished by going back to its start to put the index there, "
                       "which a pipe or device cannot do: name it .mkv or .webm");
            int fd = descriptorNamed(path);
            struct stat st;
            if (fd >= 0 && fstat(fd, &st) != 0)
                refuse(named + "descriptor " + std::to_string(fd) + " is not open");
            if (fd >= 0 && isatty(fd))
                refuse(named + "a terminal, not a file or a pipe: redirect it");
        }
    }
    if (!o.preset.empty() && presetRank(o.preset) < 0) {
        std::string names;
        for (int i = 0; i < PRESET_COUNT; i++)
            names += std::string(i ? ", " : "") + PRESETS[i];
        refuse("--preset takes one of " + names + ", not '" + o.preset + "'");
    }
}

// The modes an option other than the mode's own applies to.
static bool appliesTo(const std::string& option, const Options& o)
{
    bool frames = !o.encoded() && o.from >= 0, still = o.at >= 0, sheet = !o.sheet.empty();
    bool range = frames || (o.encoded() && o.fromMaster.empty());
    if (!o.join.empty())
        return option == "--join" || option == "--overwrite" || option == "--quiet";
    if (option == "--out")
        return still || frames;
    if (option == "--fps")
        return o.audio.empty() && o.fromMaster.empty();
    if (option == "--from" || option == "--to")
        return o.fromMaster.empty();
    if (option == "--size")
        return still || range || sheet || !o.fromMaster.empty();
    if (option == "--piece")
        return !o.master.empty();
    if (option == "--from-master")
        return !o.video.empty();
    if (option == "--jobs")
        return range;
    if (option == "--preset" || option == "--crf")
        return !o.video.empty();
    if (option == "--overwrite")
        return !o.check;
    return true;
}

// The name of the mode, for the message that refuses an option it does not take.
static std::string modeName(const Options& o)
{
    return o.at >= 0           ? "--at"
           : !o.video.empty()  ? (o.fromMaster.empty() ? "--video" : "--video with --from-master")
           : !o.master.empty() ? "--master"
           : !o.join.empty()   ? "--join"
           : !o.sheet.empty()  ? "--sheet"
           : !o.audio.empty()  ? "--audio"
           : o.check           ? "--check"
                               : "a range of frames (--from/--to with --out)";
}

Options parseOptions(int argc, char** argv)
{
    Options o;
    std::vector<std::string> given;
    std::string crf, piece;
    std::vector<std::string> loose;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        // The pieces of --join; anything else not an option is refused once the mode is known.
        if (a.compare(0, 2, "--") != 0 && a != "-h") {
            loose.push_back(a);
            continue;
        }
        if (a == "--help" || a == "-h") {
            std::fputs(USAGE, stdout);
            std::exit(0);
        }
        static const char* const flags[] = {"--quiet", "--check", "--overwrite"};
        static const char* const valued[] = {"--fps",   "--at",    "--from",  "--to",     "--out",  "--audio",
                                             "--video", "--sheet", "--crf",   "--size",   "--master", "--jobs",
                                             "--preset", "--piece", "--join", "--from-master"};
        bool flag = std::find(std::begin(flags), std::end(flags), a) != std::end(flags);
        if (!flag && std::find(std::begin(valued), std::end(valued), a) == std::end(valued))
            refuse("unknown option '" + a + "' (see --help)");
        if (std::find(given.begin(), given.end(), a) != given.end())
            refuse(a + " is given twice: give it once");
        given.push_back(a);
        if (flag) {
            (a == "--quiet" ? o.quiet : a == "--check" ? o.check : o.overwrite) = true;
            continue;
        }
        if (i + 1 >= argc)
            refuse(a + " needs a value (see --help)");
        const char* v = argv[++i];
        if (a == "--fps")
            o.fps = parseInt(a, v, 1, 1000);
        else if (a == "--at")
            o.at = parseInt(a, v, 0, SHOW_LENGTH_MS);
        else if (a == "--from")
            o.from = parseInt(a, v, 0, SHOW_LENGTH_MS);
        else if (a == "--to")
            o.to = parseInt(a, v, 0, SHOW_LENGTH_MS);
        else if (a == "--crf")
            crf = v;  // its range is the codec's, known from the video's name
        else if (a == "--out")
            o.out = v;
        else if (a == "--audio")
            o.audio = v;
        else if (a == "--video")
            o.video = v;
        else if (a == "--master")
            o.master = v;
        else if (a == "--sheet")
            o.sheet = v;
        else if (a == "--preset")
            o.preset = v;
        else if (a == "--jobs")
            o.jobs = parseInt(a, v, 1, 64);
        else if (a == "--piece")
            piece = v;
        else if (a == "--join")
            o.join = v;
        else if (a == "--from-master")
            o.fromMaster = v;
        else {
            std::string text = v;
            size_t x = text.find('x');
            if (x == std::string::npos)
                refuse("--size takes WxH, e.g. 1440x1080, not '" + text + "'");
            o.width = parseInt("the width of --size", text.substr(0, x).c_str(), 16, MAX_WIDTH);
            o.height = parseInt("the height of --size", text.substr(x + 1).c_str(), 16, MAX_HEIGHT);
            o.sizeGiven = true;
        }
    }
    if (!piece.empty()) {
        size_t slash = piece.find('/');
        if (slash == std::string::npos || slash == 0 || slash + 1 == piece.size())
            refuse("--piece takes K/N, the K-th of N pieces, e.g. 3/16, not '" + piece + "'");
        o.pieces = parseInt("the N of --piece K/N", piece.substr(slash + 1).c_str(), 1, MAX_PIECES);
        o.piece = parseInt("the K of --piece K/N", piece.substr(0, slash).c_str(), 1, o.pieces);
    }
    checkOneMode(o);
    if (o.join.empty() && !loose.empty())
        refuse("unknown option '" + loose[0] + "' (see --help)");
    if (!o.join.empty() && loose.empty())
        refuse("--join " + o.join + ": give the pieces to join after it (see --help)");
    o.joined = loose;
    for (const std::string& option : given)
        if (!appliesTo(option, o))
            refuse(option + " does not go with " + modeName(o) + " (see --help)");
    checkFormat(o);
    if (!crf.empty())
        o.crf = parseInt("--crf", crf.c_str(), 0, crfMost(o.format->video), std::string(" for ") + o.format->extension);
    // 4:2:0 halves the colour planes in both directions.
    if (!o.video.empty() && (o.width % 2 || o.height % 2))
        refuse("--video needs an even width and height, not " + std::to_string(o.width) + "x" +
               std::to_string(o.height));
    if (o.encoded() && !o.fromMaster.empty()) {
        // The range, rate and size are the master's, read from it.
    } else if (o.encoded()) {
        if (o.from < 0)
            o.from = 0;
        if (o.to < 0)
            o.to = SHOW_LENGTH_MS;
    } else if (o.from >= 0 || o.to >= 0) {
        if (o.from < 0 || o.to < 0)
            refuse("a range needs both --from and --to");
        if (o.out.empty())
            refuse("--out is missing (see --help)");
        if (namedAs(o.out, ".png"))
            refuse("--out " + o.out + ": a range of frames is a folder of NNNNNN.png files, so --out names a "
                   "folder, not a .png file");
    } else if (o.at >= 0 && o.out.empty()) {
        refuse("--out is missing (see --help)");
    }
    if (o.from > o.to)
        refuse("--from " + std::to_string(o.from) + " is after --to " + std::to_string(o.to));
    if (o.fps < 0)
        o.fps = o.encoded() || o.check ? 60 : 30;
    if (o.pieces && wholeRangeOf(o).count < o.pieces)
        refuse("--piece " + piece + ": the range has " + std::to_string(wholeRangeOf(o).count) +
               " frames at this rate, fewer than the pieces asked for");
    if (o.from >= 0 && o.fromMaster.empty() && frameTime(firstFrameFrom(o.from, o.fps), o.fps) > o.to)
        refuse("no frame falls in the range at this frame rate");
    if (o.preset.empty())
        o.preset = DEFAULT_PRESET;
    return o;
}
