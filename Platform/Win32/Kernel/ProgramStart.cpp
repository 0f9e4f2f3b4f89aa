// What each program's main calls first: the POSIX services, with the named
// mutexes' lock files removed on the signals that end the process; and the
// end at once that leaves no lock file behind either.
#include <unistd.h>

#include "Platform/Posix/SessionBus.h"
#include "Platform/Posix/TerminationSignals.h"
#include "Platform/Win32/Kernel/HeldLocks.h"
#include "Platform/Win32/Win32Extensions.h"

void Win32NeverAutolaunchSessionBus() {
    posix::NeverAutolaunchSessionBus();
}

void Win32EndOnTerminationSignals(int exitCode) {
    posix::EndOnTerminationSignals(exitCode, win32_kernel::RemoveHeldLockFiles);
}

void Win32EndProcessAtOnce(int exitCode) {
    win32_kernel::RemoveHeldLockFiles();
    _exit(exitCode);
}
