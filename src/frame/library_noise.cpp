// Muting the system libraries' own messages on stderr.
#include "frame/library_noise.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

LibraryNoiseMuted::LibraryNoiseMuted()
{
    const char* verbose = std::getenv("QUENRASTILAN_VERBOSE");
    if (verbose && *verbose)
        return;
    std::fflush(stderr);
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0)
        return;
    saved_ = fcntl(2, F_DUPFD_CLOEXEC, 3);
    if (saved_ >= 0)
        dup2(null, 2);
    close(null);
}

LibraryNoiseMuted::~LibraryNoiseMuted()
{
    if (saved_ < 0)
        return;
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
}
