// The piece scheduler: a range cut into pieces, which child processes of the tool, each with
// its own context and its share of llvmpipe's threads, take in turn; a video's parts are then
// joined with the sound.
#include "pieces.h"

#include "modes.h"
#include "paths.h"
#include "progress.h"
#include "ending.h"
#include "video.h"
#include "frame/show.h"
#include "lib/glcontext.h"
#include "render/picture.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <new>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A piece of a range: frames [first, first + count).
struct Piece {
    long long first, count;
};

// What the processes of a range share: the number of the next piece to take, and whether one
// of them has said why it failed (the others, failing too or stopped for it, say nothing).
struct Shared {
    std::atomic<long> next{0};
    std::atomic<bool> failureSaid{false};
};

// The range cut into the pieces its processes take one after another: four seconds of show
// each, shrinking towards the end to a second (or less in a short range) so that the
// processes finish close together.
static std::vector<Piece> piecesOf(const Frames& f, int jobs, int fps)
{
    long long most = 4LL * fps, least = std::max(1LL, std::min<long long>(fps, f.count / (4LL * jobs)));
    std::vector<Piece> pieces;
    for (long long next = f.first, end = f.first + f.count; next < end;) {
        long long n = std::min(end - next, std::max(least, std::min(most, (end - next) / (2LL * jobs))));
        pieces.push_back({next, n});
        next += n;
    }
    return pieces;
}

// One process of a range rendered by several, in a child of the tool: it opens its own context,
// then takes the next piece nobody has taken until none is left. Before each piece it brings the scenes that carry state to the piece's
// first frame without drawing anything, as the player does for a jump; the other scenes derive
// everything from their position. It writes the frames of its pieces to the folder (PNG files)
// or to one video part each in `parts`, reports each frame's number on `progressFd` once it
// is written (and a PNG frame put in place), and exits. It never undoes its frames: the capture
// that started it does, from what it reported.
[[noreturn]] static void renderPieces(const Options& o, const std::vector<Piece>& pieces, Shared* shared,
                                      FrameFolder* folder, const std::string& parts, int progressFd)
{
    startedForRange(&shared->failureSaid);
    stopAtOnceOnSignals();
    stopIfAsked();
    HeadlessContext gl;
    if (!gl.open(o.width, o.height))
        fail("no OpenGL context: " + gl.error());
    show_resources_init();
    show_init();
    stopOnSignals();
    bool encoded = o.encoded();
    Run run(o.fps);
    std::string error;
    for (long k; (k = shared->next.fetch_add(1)) < (long)pieces.size();) {
        const Piece& p = pieces[(size_t)k];
        VideoEncoder encoder(o.master.empty() ? o.video : o.master, &stopped);
        undoOnFailure([&encoder] { encoder.abort(); });
        if (encoded && !encoder.start(partName(parts, (size_t)k), encodingOf(o, {p.first, p.count}), error))
            fail(error);
        for (long long n = p.first; n < p.first + p.count; n++) {
            run.draw(frameTime(n, o.fps));
            if (!encoded)
                writeFrame(gl, *folder, n);
            else if (!encoder.write(gl.readRGB(), error))
                fail(error);
            if (write(progressFd, &n, sizeof n) != (ssize_t)sizeof n)
                fail("the capture that started this process has gone");
        }
        stopIfAsked();
        if (encoded && !encoder.finish(error))
            fail(error);
        keepNewest();
    }
    show_free();
    show_resources_free();
    std::exit(0);
}

// One process already keeps most of two cores busy (llvmpipe's threads, the encoder), and each
// further one costs about 3 s of CPU (its start, its catch-up, an encoder for each of its
// pieces, the join): a video or master gains only from about 500 frames on, so a process is
// added per 1000 frames of 1024x768 (a larger frame counts as more). PNG frames gain far more
// (their writing is each process's own) and cost no encoders: one per 300.
int processesFor(const Options& o, const Frames& f)
{
    if (o.jobs > 0)
        return o.jobs;
    int cores = std::max(1, (int)sysconf(_SC_NPROCESSORS_ONLN));
    double frames = (double)f.count * o.width * o.height / ((double)PICTURE_WIDTH * PICTURE_HEIGHT);
    long long gained = 1 + (long long)(frames / (o.encoded() ? 1000 : 300));
    return (int)std::min<long long>(cores, gained);
}

void captureInParts(const Options& o, const Frames& f, int jobs)
{
    bool encoded = o.encoded();
    std::vector<Piece> pieces = piecesOf(f, jobs, o.fps);
    jobs = (int)std::min<size_t>((size_t)jobs, pieces.size());
    int cores = std::max(1, (int)sysconf(_SC_NPROCESSORS_ONLN));
    std::string threads = std::to_string(std::max(1, cores / jobs));

    // Made before the processes, which share it.
    std::unique_ptr<FrameFolder> folder;
    if (!encoded) {
        folder.reset(new FrameFolder(o.out, o.overwrite));
        undoOnFailure([&folder] { folder->undo(); });
    }
    std::string parts = encoded ? partsFolderFor(o.master.empty() ? o.video : o.master) : "";
    // The parts, and whatever a stopped encoder left beside them.
    auto removeParts = [parts] {
        DIR* folder = parts.empty() ? nullptr : opendir(parts.c_str());
        if (!folder)
            return;
        while (dirent* entry = readdir(folder))
            if (entry->d_name[0] != '.')
                unlink((parts + "/" + entry->d_name).c_str());
        closedir(folder);
        rmdir(parts.c_str());
    };
    undoOnFailure(removeParts);
    void* memory = mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        fail(std::string("cannot share memory with the processes: ") + std::strerror(errno));
    Shared* shared = new (memory) Shared;
    int progressPipe[2];
    if (pipe(progressPipe) != 0)
        fail(std::string("cannot make a pipe: ") + std::strerror(errno));
    // The processes started, and how each ended (-1 while it runs).
    std::vector<pid_t> children;
    std::vector<int> ends;
    // Whether a process has ended with a failure, looking without waiting.
    auto oneFailed = [&] {
        for (size_t k = 0; k < children.size(); k++)
            if (ends[k] < 0 && waitpid(children[k], &ends[k], WNOHANG) <= 0)
                ends[k] = -1;
            else if (!WIFEXITED(ends[k]) || WEXITSTATUS(ends[k]) != 0)
                return true;
        return false;
    };
    // Stops the processes still running, if asked, and waits for them; whether all ended well.
    auto waitForAll = [&](bool stop) {
        bool ok = true;
        for (size_t k = 0; k < children.size(); k++) {
            if (ends[k] < 0 && stop)
                kill(children[k], SIGTERM);
            while (ends[k] < 0 && waitpid(children[k], &ends[k], 0) < 0) {
                ends[k] = -1;
                if (errno != EINTR)
                    break;
                if (stopped)
                    kill(children[k], SIGTERM);
            }
            ok = ok && ends[k] >= 0 && WIFEXITED(ends[k]) && WEXITSTATUS(ends[k]) == 0;
        }
        return ok;
    };
    pid_t capture = getpid();
    for (int k = 0; k < jobs; k++) {
        pid_t pid = fork();
        if (pid == 0) {
            // A capture killed outright (SIGKILL) takes its processes with it.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != capture)
                std::exit(1);
            close(progressPipe[0]);
            // Read by llvmpipe when the context is made: the processes share the cores, unless
            // the caller chose the number of threads.
            setenv("LP_NUM_THREADS", threads.c_str(), 0);
            renderPieces(o, pieces, shared, folder.get(), parts, progressPipe[1]);
        }
        if (pid < 0) {
            int why = errno;
            waitForAll(true);
            fail(std::string("cannot start a process: ") + std::strerror(why));
        }
        children.push_back(pid);
        ends.push_back(-1);
    }
    close(progressPipe[1]);
    Progress progress(encoded ? (o.master.empty() ? "video" : "master") : "frames", f.count, o.quiet);
    // Polled, so that Ctrl-C is seen within a tenth of a second even when it comes between a
    // look at `stopped` and the read, and a process that failed stops the others at once.
    // Each frame comes as its number, written at once: a read returns whole numbers.
    long long numbers[64];
    auto readNumbers = [&] {
        ssize_t n = read(progressPipe[0], numbers, sizeof numbers);
        for (ssize_t i = 0; i < n / (ssize_t)sizeof numbers[0]; i++) {
            if (folder)
                folder->record(numbers[i]);
            progress.step();
        }
        return n;
    };
    bool failed = false;
    for (pollfd p = {progressPipe[0], POLLIN, 0}; !stopped && !(failed = oneFailed());) {
        progress.tick();
        if (poll(&p, 1, 100) <= 0)
            continue;
        ssize_t n = readNumbers();
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
    }
    bool ok = waitForAll(stopped || failed) && !failed;
    // The frames the processes wrote since the last look, up to the end of the pipe (or what is
    // there, should a process of ffmpeg's still hold it).
    fcntl(progressPipe[0], F_SETFL, O_NONBLOCK);
    for (ssize_t n; (n = readNumbers()) > 0 || (n < 0 && errno == EINTR);)
        continue;
    close(progressPipe[0]);
    munmap(memory, sizeof(Shared));
    stopIfAsked();
    // The process that failed has said why.
    if (!ok)
        fail("");
    if (encoded) {
        std::vector<VideoPart> names;
        for (size_t k = 0; k < pieces.size(); k++)
            names.push_back({partName(parts, k), pieces[k].count});
        Encoding e = encodingOf(o, f);
        e.wavPath = soundOf(f, o.fps);
        e.metadataPath = metadataOf(o, f);
        VideoEncoder joiner(o.master.empty() ? o.video : o.master, &stopped);
        joiner.destination(o.streamFd, o.overwrite);
        undoOnFailure([&joiner] { joiner.abort(); });
        std::string error;
        if (!joiner.join(o.master.empty() ? o.video : o.master, names, e, error) || !joiner.finish(error))
            fail(error);
        std::remove(e.wavPath.c_str());
        std::remove(e.metadataPath.c_str());
        keepNewest();
    }
    removeParts();
    if (folder)
        folder->keep();
    keepAll();
    progress.finish();
}
