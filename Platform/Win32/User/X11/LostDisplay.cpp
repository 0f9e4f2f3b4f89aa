// The X server going away under a running program: one line on standard
// error and exit code 1, at once, the lock files gone. Xlib's own handler
// would run the exit handlers, whose teardown may wait forever for replies
// from the dead server. An X error goes to our handler from then on too
// (XErrors.h), which ends the program the same way on one nobody expected.
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>

#include "Platform/Win32/User/UserInternal.h"
#include "Platform/Win32/User/X11/X11Internal.h"
#include "Platform/Win32/User/X11/XErrors.h"
#include "Platform/Win32/Win32Extensions.h"

namespace {

[[noreturn]] int EndProgram(Display* display) {
    std::fprintf(stderr, "%s: lost the connection to the X display %s\n", Win32ProgramName(),
                 DisplayString(display));
    Win32EndProcessAtOnce(1);
}

}  // namespace

namespace win32user {

void EndOnLostDisplay() {
    XSetIOErrorHandler(EndProgram);
    HandleXErrors();
    // A request written to a server that has just gone would end the process
    // by SIGPIPE, without a word; the failed write then reaches the handler.
    std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace win32user
