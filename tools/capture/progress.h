// Progress of a long capture on stderr: one updating line on a terminal, otherwise a line
// every few seconds. Quiet for runs that end within a couple of seconds.
#ifndef QUENRASTILAN_CAPTURE_PROGRESS_H
#define QUENRASTILAN_CAPTURE_PROGRESS_H

#include <string>

class Progress {
public:
    // `total` is the number of things asked for, `unit` what they are: frames, or thumbnails.
    Progress(const std::string& what, long long total, bool quiet, const std::string& unit = "frames");
    // One more done, or `count` more.
    void step(long long count = 1);
    // Nothing more done, but time has passed: a line is due now and then all the same.
    void tick();
    // Ends the updating line (and says how long the whole run took, if anything was shown).
    void finish();
    // How many are done.
    long long done() const { return done_; }

private:
    void show(bool last);

    std::string what_, unit_;
    long long total_, done_ = 0, firstCount_ = 0;
    bool quiet_, terminal_, shown_ = false;
    // When the run started, when the first thing was done (-1 before) and how many that was,
    // when a line was last shown.
    double start_, first_ = -1, lastShown_;
};

#endif
