// Joins of pieces and videos from masters: ffmpeg reads the masters, nothing is drawn.
#include "master.h"

#include "ending.h"
#include "formats.h"
#include "modes.h"
#include "paths.h"
#include "progress.h"
#include "tags.h"
#include "video.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

std::string pieceName(const std::string& master, int k, int n)
{
    size_t slash = master.find_last_of('/'), dot = master.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = master.size();
    std::string count = std::to_string(n), number = std::to_string(k);
    number.insert(0, count.size() - number.size(), '0');
    return master.substr(0, dot) + ".piece-" + number + "-of-" + count + master.substr(dot);
}

// The frames of a capture's whole range.
static Frames framesOfCapture(const Capture& c)
{
    Options o;
    o.fps = c.fps;
    o.from = c.from;
    o.to = c.to;
    return wholeRangeOf(o);
}

// A file given to --join, and what it says it is.
struct Given {
    std::string path;
    bool piece = false;  // it is a piece of some capture
    Capture capture;
    std::string error;   // why it cannot be read, if it cannot
};

// The name a missing piece would have beside a piece that is there, named as the capture names
// its pieces; empty when that piece is named otherwise.
static std::string nameLike(const std::string& present, const Capture& c, int k)
{
    std::string own = pieceName("x.", c.piece, c.pieces), missing = pieceName("x.", k, c.pieces);
    own = own.substr(1, own.size() - 2);
    size_t at = present.rfind(own);
    if (at == std::string::npos)
        return "";
    return present.substr(0, at) + missing.substr(1, missing.size() - 2) + present.substr(at + own.size());
}

void joinPieces(const Options& o)
{
    stopOnSignals();
    std::vector<Given> given;
    for (const std::string& path : o.joined) {
        Given g;
        g.path = path;
        std::map<std::string, std::string> tags;
        if (readTags(path, tags, g.error))
            g.piece = parseCapture(tags, g.capture) && g.capture.pieces > 0;
        given.push_back(g);
        stopIfAsked();
    }
    // The capture: the one most of the pieces given belong to (the first given of those as many).
    auto ofCapture = [](const Capture& a, const Capture& b) {
        return a.pieces == b.pieces && captureText(a) == captureText(b);
    };
    const Given* reference = nullptr;
    long most = 0;
    for (const Given& g : given) {
        long count = std::count_if(given.begin(), given.end(),
                                   [&](const Given& h) { return h.piece && g.piece && ofCapture(h.capture, g.capture); });
        if (count > most) {
            most = count;
            reference = &g;
        }
    }
    std::vector<std::string> problems;
    std::map<int, std::vector<const Given*>> byNumber;
    for (const Given& g : given) {
        if (!g.error.empty())
            problems.push_back(g.path + ": " + g.error);
        else if (!g.piece)
            problems.push_back(g.path + " is not a piece of a capture");
        else if (!ofCapture(g.capture, reference->capture))
            problems.push_back(g.path + " is piece " + std::to_string(g.capture.piece) + " of " +
                               std::to_string(g.capture.pieces) + " of another capture (" + captureText(g.capture) +
                               ")");
        else
            byNumber[g.capture.piece].push_back(&g);
    }
    if (reference) {
        const Capture& c = reference->capture;
        std::string of = " of " + std::to_string(c.pieces);
        for (const auto& entry : byNumber)
            if (entry.second.size() > 1) {
                std::string names;
                for (size_t i = 0; i < entry.second.size(); i++)
                    names += (i == 0 ? "" : i + 1 < entry.second.size() ? ", " : " and ") + entry.second[i]->path;
                problems.push_back(names + " are each piece " + std::to_string(entry.first) + of);
            }
        std::vector<std::string> missing;
        for (int k = 1; k <= c.pieces; k++)
            if (!byNumber.count(k)) {
                std::string name = nameLike(reference->path, c, k);
                missing.push_back(std::to_string(k) + (name.empty() ? "" : " (" + name + ")"));
            }
        if (!missing.empty()) {
            std::string list;
            for (size_t i = 0; i < missing.size() && i < 8; i++)
                list += (i == 0 ? "" : i + 1 < missing.size() ? ", " : " and ") + missing[i];
            if (missing.size() > 8)
                list += " and " + std::to_string(missing.size() - 8) + " more";
            problems.push_back("piece" + std::string(missing.size() > 1 ? "s " : " ") + list + of +
                               (missing.size() > 1 ? " are" : " is") + " missing");
        }
    }
    if (!problems.empty()) {
        std::string line;
        for (const std::string& p : problems)
            line += (line.empty() ? "" : "; ") + p;
        refuse("--join " + o.join + ": " + line);
    }

    Capture whole = reference->capture;
    whole.piece = whole.pieces = 0;
    Frames f = framesOfCapture(whole);
    prepareOutputFile("--join", o.join, o.overwrite);
    int streamFd = writtenInPlace(o.join) ? openStream(o.join) : -1;
    std::vector<VideoPart> parts;
    for (int k = 1; k <= reference->capture.pieces; k++)
        parts.push_back({byNumber[k][0]->path, pieceOf(f, k, reference->capture.pieces).count});
    Encoding e;
    e.format = o.format;
    e.width = whole.width;
    e.height = whole.height;
    e.fps = whole.fps;
    e.frames = f.count;
    e.metadataPath = metadataFile(&whole, f, whole.fps);
    VideoEncoder joiner(o.join, &stopped);
    joiner.destination(streamFd, o.overwrite);
    Progress progress("join", f.count, o.quiet);
    joiner.reportFrames([&progress](long long frames) { progress.step(frames - progress.done()); });
    joiner.expectFrames(f.count);
    undoOnFailure([&joiner] { joiner.abort(); });
    std::string error;
    if (!joiner.join(o.join, parts, e, error) || !joiner.finish(error))
        fail(error);
    std::remove(e.metadataPath.c_str());
    keepAll();
    progress.finish();
}

void videoFromMaster(Options o)
{
    stopOnSignals();
    std::string named = "--from-master " + o.fromMaster + ": ", error;
    std::map<std::string, std::string> tags;
    Capture c;
    if (!readTags(o.fromMaster, tags, error))
        refuse(named + error);
    if (!parseCapture(tags, c))
        refuse(named + "not a master this tool made (it has no " + CAPTURE_TAG + " tag)");
    if (c.pieces)
        refuse(named + "piece " + std::to_string(c.piece) + " of " + std::to_string(c.pieces) +
               " of a capture, not a whole master: join the pieces first (--join)");
    std::string size = std::to_string(c.width) + "x" + std::to_string(c.height);
    if (!o.sizeGiven) {
        o.width = c.width;
        o.height = c.height;
        if (o.width % 2 || o.height % 2)
            refuse(named + "the master is " + size + ", and a video needs an even width and height: give --size");
    }
    if (o.width > c.width || o.height > c.height)
        refuse(named + "the master is " + size + ", smaller than --size " + std::to_string(o.width) + "x" +
               std::to_string(o.height) + ": a video from a master is its size or smaller");
    o.fps = c.fps;
    o.from = c.from;
    o.to = c.to;
    Frames f = wholeRangeOf(o);
    prepareOutputFile("--video", o.video, o.overwrite);
    if (writtenInPlace(o.video))
        o.streamFd = openStream(o.video);
    Encoding e = encodingOf(o, f);
    e.sourceWidth = c.width;
    e.sourceHeight = c.height;
    e.wavPath = o.fromMaster;
    e.metadataPath = metadataOf(o, f);
    VideoEncoder encoder(o.video, &stopped);
    encoder.destination(o.streamFd, o.overwrite);
    Progress progress("video", f.count, o.quiet);
    encoder.reportFrames([&progress](long long frames) { progress.step(frames - progress.done()); });
    encoder.expectFrames(f.count);
    undoOnFailure([&encoder] { encoder.abort(); });
    if (!encoder.encodeMaster(o.video, e, error) || !encoder.finish(error))
        fail(error);
    std::remove(e.metadataPath.c_str());
    keepAll();
    progress.finish();
}
