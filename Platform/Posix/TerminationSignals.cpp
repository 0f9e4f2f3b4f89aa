// SIGTERM and SIGINT as a clean end of the program, and SIGPIPE as no end at
// all. Nothing a program of ours leaves on the display outlives its process,
// so the handler need not wait for the program to reach a safe point: it
// removes what would outlive it (lock files) and ends the process there.
#include "Platform/Posix/TerminationSignals.h"

#include <signal.h>
#include <unistd.h>

#include <initializer_list>

namespace {

volatile sig_atomic_t exitCodeOnSignal = 0;
void (*removeOnSignal)() = nullptr;

void EndProcess(int) {
    if (removeOnSignal != nullptr) removeOnSignal();
    _exit(exitCodeOnSignal);
}

// A handler rather than SIG_IGN, which would pass on to the programs we
// start: there the default comes back with exec.
void IgnoreBrokenPipe(int) {}

void Install(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigfillset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

}  // namespace

namespace posix {

void EndOnTerminationSignals(int exitCode, void (*removeFirst)()) {
    exitCodeOnSignal = exitCode;
    removeOnSignal = removeFirst;
    sigset_t ending;
    sigemptyset(&ending);
    for (const int signal : {SIGTERM, SIGINT}) {
        // Whoever started us with the signal ignored (a shell's background
        // job ignores SIGINT) meant it to be.
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        Install(signal, EndProcess);
        sigaddset(&ending, signal);
    }
    // A blocked mask passes through exec, so a parent may have left these
    // blocked: a request to end that came early waits there, and is taken now.
    pthread_sigmask(SIG_UNBLOCK, &ending, nullptr);
    Install(SIGPIPE, IgnoreBrokenPipe);
}

}  // namespace posix
