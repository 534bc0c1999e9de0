// quenrastilan-capture: renders the show headless on a simulated clock and writes stills,
// frames, a video with the soundtrack, a contact sheet, or the soundtrack alone.
//
// The parts, in the order a run goes through them: options.* reads the command line, paths.*
// checks the output and makes its folders, ending.* is how a run stops or fails and what it
// then undoes, pieces.* renders a long range in several processes, modes.* each mode in one;
// run.* is the simulated clock they share, video.* the encoder, tags.* the chapters and tags
// of its files, sheet.* and progress.* what they say. master.* joins pieces of a capture made
// anywhere and encodes videos from a master, drawing nothing.
#include "formats.h"
#include "master.h"
#include "modes.h"
#include "options.h"
#include "paths.h"
#include "pieces.h"
#include "ending.h"
#include "video.h"
#include "frame/show.h"
#include "lib/glcontext.h"

#include <GL/gl.h>
#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    Options o = parseOptions(argc, argv);
    // A finished encoder or a full pipe is reported as an error, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    stopAtOnceOnSignals();

    if ((o.encoded() || !o.join.empty()) && !ffmpegAvailable())
        fail(std::string(!o.video.empty() ? "--video" : !o.join.empty() ? "--join" : "--master") +
             " needs ffmpeg, which is not installed (apt-get install ffmpeg)");
    if (!o.join.empty()) {
        joinPieces(o);
        return 0;
    }
    if (!o.fromMaster.empty()) {
        videoFromMaster(o);
        return 0;
    }
    if (o.pieces)
        o.master = pieceName(o.master, o.piece, o.pieces);
    bool encoded = o.encoded();
    const std::string& file = o.video.empty() ? o.master : o.video;
    if (!o.audio.empty()) {
        prepareOutputFile("--audio", o.audio, o.overwrite);
    } else if (encoded) {
        prepareOutputFile(o.video.empty() ? "--master" : "--video", file, o.overwrite);
        if (writtenInPlace(file))
            o.streamFd = openStream(file);
    } else if (!o.sheet.empty()) {
        prepareOutputFile("--sheet", o.sheet, o.overwrite);
    } else if (o.at >= 0) {
        prepareOutputFile("--out", o.out, o.overwrite);
    } else if (!o.check) {
        prepareOutputFolder(o, framesOf(o));
    }

    if (encoded || (o.from >= 0 && !o.out.empty())) {
        Frames f = framesOf(o);
        int jobs = processesFor(o, f);
        if (jobs > 1) {
            stopOnSignals();
            captureInParts(o, f, jobs);
            return 0;
        }
    }
    if (!o.audio.empty()) {
        stopOnSignals();
        renderAudio(0, o.audio, o.overwrite);
        return 0;
    }

    HeadlessContext gl;
    if (!gl.open(o.width, o.height))
        fail("no OpenGL context: " + gl.error());
    show_resources_init();
    show_init();
    stopOnSignals();

    int status = 0;
    if (o.check)
        status = checkShow(o);
    else if (encoded)
        captureEncoded(gl, o);
    else if (!o.sheet.empty())
        captureSheet(gl, o);
    else if (o.at >= 0)
        captureStill(gl, o);
    else
        captureFrames(gl, o);
    keepAll();

    show_free();
    show_resources_free();
    if (o.check && glGetError() != GL_NO_ERROR) {
        std::fprintf(stderr, "quenrastilan-capture: GL error at shutdown\n");
        status = 1;
    }
    return status;
}
