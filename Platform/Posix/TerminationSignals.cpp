// SIGTERM and SIGINT as a clean end of the program, and SIGPIPE as no end at
// all. Nothing a program of ours leaves on the display outlives its process,
// so the handler need not wait for the program to reach a safe point: it
// removes what would outlive it (lock files) and ends the process there.
// The other signals that end a process by default and that users or
// session managers send (SIGHUP, SIGUSR1, SIGALRM, and SIGQUIT for a core
// dump) keep their meaning: only the lock files go first.
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

// The handler runs with every signal blocked, so the signal raised again
// waits until it is unblocked here, now with its default action: a core
// dump of SIGQUIT's still shows, under this handler, where it found us.
void EndProcessBySignal(int signal) {
    if (removeOnSignal != nullptr) removeOnSignal();
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
    raise(signal);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    _exit(128 + signal);
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

// Whoever started us with the signal ignored (a shell's background job
// ignores SIGINT, nohup SIGHUP) meant it to be.
bool Ignored(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

}  // namespace

namespace posix {

void EndOnTerminationSignals(int exitCode, void (*removeFirst)()) {
    exitCodeOnSignal = exitCode;
    removeOnSignal = removeFirst;
    sigset_t ending;
    sigemptyset(&ending);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGALRM, SIGQUIT}) {
        if (Ignored(signal)) continue;
        const bool clean = signal == SIGTERM || signal == SIGINT;
        Install(signal, clean ? EndProcess : EndProcessBySignal);
        sigaddset(&ending, signal);
    }
    // A blocked mask passes through exec, so a parent may have left these
    // blocked: a request to end that came early waits there, and is taken now.
    pthread_sigmask(SIG_UNBLOCK, &ending, nullptr);
    Install(SIGPIPE, IgnoreBrokenPipe);
}

}  // namespace posix
