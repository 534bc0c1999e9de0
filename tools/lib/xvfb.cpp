// Starting a private Xvfb: it picks a free display number and writes it to a pipe once it takes
// connections.
#include "lib/xvfb.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

int xvfb_start(int width, int height, pid_t& pid, const char* extraOption)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, 1);
        dup2(devnull, 2);
        std::string fd = std::to_string(fds[1]);
        std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               extraOption, (char*)nullptr);
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return -1;
    }
    // Xvfb writes its display number and a newline once it accepts connections; the pipe must
    // stay open until the newline, or Xvfb fails writing it.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    return number.empty() ? -1 : std::atoi(number.c_str());
}
