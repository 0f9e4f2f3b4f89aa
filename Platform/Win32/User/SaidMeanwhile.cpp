// What libraries write to standard error while they fail to connect: Xlib
// writes an X server's reason for refusing a client there, raw and with a
// blank line after it, which our one line quotes instead.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "Platform/Win32/User/UserInternal.h"

namespace win32user {

std::string SaidDuring(const std::function<void()>& call) {
    int pipeFds[2];
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    // Non-blocking, so that a long text cannot stall the library's write.
    if (saved < 0 || pipe2(pipeFds, O_NONBLOCK | O_CLOEXEC) != 0) {
        if (saved >= 0) close(saved);
        call();
        return {};
    }
    dup2(pipeFds[1], STDERR_FILENO);
    close(pipeFds[1]);
    call();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::string said;
    char buffer[256];
    for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        said.append(buffer, static_cast<std::size_t>(got));
    close(pipeFds[0]);
    return said;
}

std::string FirstLine(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return {};
    return text.substr(start, text.find_first_of("\r\n", start) - start);
}

}  // namespace win32user
