// How a capture run ends: Ctrl-C and TERM, failures said in one line, and the undo of
// whatever a failed or stopped run wrote.
#ifndef QUENRASTILAN_CAPTURE_ENDING_H
#define QUENRASTILAN_CAPTURE_ENDING_H

#include <atomic>
#include <csignal>
#include <functional>
#include <string>

// The signal (Ctrl-C's SIGINT or a TERM) that asked the capture to stop, 0 while none has. Every
// mode looks at it before each frame it draws or brings the scenes through, and every wait (for
// the encoder, for the processes of a range) is cut short by it.
extern volatile std::sig_atomic_t stopped;

// Ctrl-C and TERM set `stopped` instead of ending the tool. Without SA_RESTART, so that a wait
// for the processes of a range is interrupted.
void stopOnSignals();
// While a process opens its context and initialises the scenes (seconds on a busy machine), it
// has written nothing but folders: Ctrl-C or TERM then end it at once, the folders removed.
void stopAtOnceOnSignals();

// Adds a step to what a failed or stopped run undoes; the steps run newest first.
void undoOnFailure(std::function<void()> step);
// Drops the newest step (its work finished well), or every step (the whole run did).
void keepNewest();
void keepAll();
// A folder the capture made, removed on failure (when empty), also by a stop at once.
void undoMadeFolder(const std::string& path);

// For a process started for a range: it begins with nothing to undo, and leaves saying
// "stopped" to the capture that started it. Of its sibling processes, only the first to fail
// says why: *failureSaid, shared by them, records that one has.
void startedForRange(std::atomic<bool>* failureSaid);

// Says why the capture ends in one line, undoes what it wrote and exits: with 128 + the signal
// when it was stopped, whatever else went wrong on the way, and 1 otherwise. An empty message
// is a failure already reported.
[[noreturn]] void fail(const std::string& message);
// Fails with "stopped" once Ctrl-C or TERM has come. Looked at last before a run's output is
// put in place: a stop that comes while it is finishing leaves the finished output.
void stopIfAsked();

#endif
