// Output files that appear only when complete: PNG frames, WAV soundtracks.
#ifndef QUENRASTILAN_TOOLS_OUTFILE_H
#define QUENRASTILAN_TOOLS_OUTFILE_H

#include <cstdio>
#include <functional>
#include <string>

// Writes path through `write`, which returns false (with error set) when it fails. A regular
// file is written under a temporary name beside it and renamed when complete, so a failed or
// interrupted write leaves no file that looks whole. Something that is not a regular file (a
// device such as /dev/full, a pipe) is written in place and never removed. Returns false with
// "path: reason" in error on failure. Without `replace`, a file already at path (or one that
// appears there meanwhile) is left as it is and the write fails with "File exists".
bool writeOutputFile(const std::string& path, const std::function<bool(FILE*)>& write, std::string& error,
                     bool replace = true);

// Renames the complete file temp to path in one step: over whatever file is there when
// `replace`, otherwise only if nothing is there. False with errno set when it fails (EEXIST for
// something in the way); temp then stays.
bool placeFile(const std::string& temp, const std::string& path, bool replace);

#endif
