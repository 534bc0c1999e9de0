// The capture tool's modes in one process.
#include "modes.h"

#include "paths.h"
#include "progress.h"
#include "sheet.h"
#include "tags.h"
#include "ending.h"
#include "frame/module.h"
#include "frame/show.h"
#include "frame/timeline.h"
#include "lib/png.h"
#include "lib/soundtrack.h"
#include "render/picture.h"
#include "scenes/scene_table.h"

#include <GL/gl.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

// A failure names the frame's own name, not where it was written first.
void writeFrame(const HeadlessContext& gl, FrameFolder& folder, long long n)
{
    std::string error, written = folder.written(n);
    if (!writePNG(written, gl.width(), gl.height(), gl.readRGB(), error))
        fail("cannot write " + numberedFrame(folder.name(), n) + error.substr(std::min(error.size(), written.size())));
    folder.place(n);
}

void renderAudio(int fromMs, const std::string& path, bool overwrite)
{
    std::string error, module = sound_find_module(error);
    std::vector<std::int16_t> pcm;
    if (module.empty() || !sound_render(module, fromMs, pcm, error, &stopped))
        fail(error);
    stopIfAsked();
    if (!sound_write_wav(path, pcm, error, overwrite))
        fail("cannot write " + error);
}

void captureStill(const HeadlessContext& gl, const Options& o)
{
    // The frames before it are most of the work at a late moment and a high rate.
    Progress progress("still", firstFrameFrom(o.at, o.fps), o.quiet, "frames brought on");
    Run run(o.fps, [&progress](long long frames) { progress.step(frames); });
    run.draw(o.at);
    progress.finish();
    stopIfAsked();
    std::string error;
    if (!writePNG(o.out, gl.width(), gl.height(), gl.readRGB(), error, o.overwrite))
        fail("cannot write " + error);
}

void captureFrames(const HeadlessContext& gl, const Options& o)
{
    Frames f = framesOf(o);
    FrameFolder folder(o.out, o.overwrite);
    undoOnFailure([&folder] { folder.undo(); });
    Progress progress("frames", f.count, o.quiet);
    Run run(o.fps, [&progress](long long) { progress.tick(); });
    for (long long n = f.first; n < f.first + f.count; n++) {
        run.draw(frameTime(n, o.fps));
        writeFrame(gl, folder, n);
        progress.step();
    }
    stopIfAsked();
    folder.keep();
    keepNewest();
    progress.finish();
}

// Frame n spans the stereo samples from n * 48000 / fps on. Rendered from the song's start as
// the show plays it and cut there, so the sound starts with the first frame to the sample;
// silence past the end.
std::string soundOf(const Frames& f, int fps)
{
    std::string error, module = sound_find_module(error);
    std::vector<std::int16_t> song;
    if (module.empty() || !sound_render(module, 0, song, error, &stopped))
        fail(error);
    long long from = f.first * SOUND_RATE / fps, to = (f.first + f.count) * SOUND_RATE / fps;
    std::vector<std::int16_t> pcm((size_t)(to - from) * 2, 0);
    for (long long i = from; i < to && 2 * i + 1 < (long long)song.size(); i++) {
        pcm[(size_t)(i - from) * 2] = song[(size_t)i * 2];
        pcm[(size_t)(i - from) * 2 + 1] = song[(size_t)i * 2 + 1];
    }
    // Named by the folder in messages: the file's own name means nothing to the user.
    std::string wavName = temporaryFolder() + "/quenrastilan-capture-XXXXXX.wav";
    int fd = mkstemps(&wavName[0], 4);
    if (fd < 0)
        fail("cannot write in the temporary folder " + temporaryFolder() + ": " + std::strerror(errno));
    close(fd);
    undoOnFailure([wavName] { std::remove(wavName.c_str()); });
    if (!sound_write_wav(wavName, pcm, error))
        fail("cannot write in the temporary folder " + temporaryFolder() + error.substr(wavName.size()));
    return wavName;
}

std::string metadataOf(const Options& o, const Frames& f)
{
    Capture c = captureOf(o);
    return metadataFile(o.master.empty() ? nullptr : &c, f, o.fps);
}

Encoding encodingOf(const Options& o, const Frames& f)
{
    Encoding e;
    e.format = o.format;
    e.width = o.width;
    e.height = o.height;
    e.fps = o.fps;
    e.crf = o.crf;
    e.preset = o.preset;
    e.frames = f.count;
    return e;
}

void captureEncoded(const HeadlessContext& gl, const Options& o)
{
    const std::string& path = o.master.empty() ? o.video : o.master;
    Frames f = framesOf(o);
    Encoding e = encodingOf(o, f);
    e.wavPath = soundOf(f, o.fps);
    e.metadataPath = metadataOf(o, f);
    VideoEncoder encoder(path, &stopped);
    encoder.destination(o.streamFd, o.overwrite);
    undoOnFailure([&encoder] { encoder.abort(); });
    std::string error;
    if (!encoder.start(path, e, error))
        fail(error);
    Progress progress(o.master.empty() ? "video" : "master", f.count, o.quiet);
    Run run(o.fps, [&progress](long long) { progress.tick(); });
    for (long long n = f.first; n < f.first + f.count; n++) {
        run.draw(frameTime(n, o.fps));
        if (!encoder.write(gl.readRGB(), error))
            fail(error);
        progress.step();
    }
    stopIfAsked();
    if (!encoder.finish(error))
        fail(error);
    std::remove(e.wavPath.c_str());
    std::remove(e.metadataPath.c_str());
    keepAll();
    progress.finish();
}

// Whether a frame shows next to nothing: drawn darker than light grey in under a quarter of a
// percent of the picture (2000 pixels at 1024x768). Judged on the 4:3 picture alone, without
// the bars a frame of another shape has, so that a sheet chooses the same moments at any size.
static bool nearlyBlank(const std::vector<unsigned char>& rgb, int width, int height)
{
    Picture p = picture_fit(width, height);
    long long drawn = 0;
    for (int row = height - p.y - p.height; row < height - p.y; row++)
        for (int x = p.x; x < p.x + p.width; x++) {
            const unsigned char* c = &rgb[((size_t)row * width + x) * 3];
            drawn += std::min({c[0], c[1], c[2]}) < 200;
        }
    return drawn * PICTURE_WIDTH * PICTURE_HEIGHT < 2000LL * p.width * p.height;
}

void captureSheet(const HeadlessContext& gl, const Options& o)
{
    // Each scene's thumbnail is the first frame of the run at or after the middle of its range.
    // Some middles fall where the scene shows next to nothing (between two credit lines, on a
    // boundary of the fractal's or the clouds' quarters): such a frame moves the thumbnail on by
    // a twentieth of the range.
    std::vector<SheetCell> cells;
    Progress progress("sheet", SCENE_COUNT, o.quiet, "thumbnails");
    Run run(o.fps, [&progress](long long) { progress.tick(); });
    int target = (SCENES[0].range[0] + SCENES[0].range[1]) / 2;
    for (int next = 0; next < SCENE_COUNT;) {
        int t = frameTime(firstFrameFrom(target, o.fps), o.fps);
        run.draw(t);
        std::vector<unsigned char> frame = gl.readRGB();
        const int* range = SCENES[next].range;
        if (nearlyBlank(frame, gl.width(), gl.height()) && target + (range[1] - range[0]) / 20 < range[1]) {
            target += (range[1] - range[0]) / 20;
            continue;
        }
        char label[48];
        std::snprintf(label, sizeof label, "%s %.1f s", SCENES[next].name, t / 1000.0);
        cells.push_back({label, frame, gl.width(), gl.height()});
        progress.step();
        if (++next < SCENE_COUNT)
            target = std::max(t + 1, (SCENES[next].range[0] + SCENES[next].range[1]) / 2);
    }
    int width, height;
    std::vector<unsigned char> sheet = makeSheet(cells, "Quenrastilan", width, height);
    std::string error;
    stopIfAsked();
    if (!writePNG(o.sheet, width, height, sheet, error, o.overwrite))
        fail("cannot write " + error);
    progress.finish();
}

// The whole show without rasterisation, glGetError read after start-up and after every frame.
int checkShow(const Options& o)
{
    long long errors = 0;
    std::string first;
    // Frame -1 is the start-up.
    auto readErrors = [&](long long frame, int t) {
        for (GLenum e; (e = glGetError()) != GL_NO_ERROR;) {
            if (errors++ > 0)
                continue;
            char where[160];
            if (frame < 0)
                std::snprintf(where, sizeof where, "0x%04x at start-up", (unsigned)e);
            else {
                std::string scenes = scenesAt(t, "+");
                std::snprintf(where, sizeof where, "0x%04x at frame %lld (%d ms, %s)", (unsigned)e, frame, t,
                              scenes.empty() ? "no scene" : scenes.c_str());
            }
            first = where;
        }
    };
    readErrors(-1, 0);
    long long frames = 0;
    Progress progress("check", (long long)SHOW_LENGTH_MS * o.fps / 1000 + 1, o.quiet);
    for (; frameTime(frames, o.fps) <= SHOW_LENGTH_MS; frames++) {
        int t = frameTime(frames, o.fps);
        stopIfAsked();
        NoRaster unseen;
        show_frame(t);
        readErrors(frames, t);
        progress.step();
    }
    progress.finish();
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("frames run: %lld (0 to %d ms at %d fps)\nGL errors: %lld%s%s\npeak resident memory: %ld MB\n",
                frames, SHOW_LENGTH_MS, o.fps, errors, errors ? ", the first " : "", first.c_str(),
                usage.ru_maxrss / 1024);
    return errors ? 1 : 0;
}
