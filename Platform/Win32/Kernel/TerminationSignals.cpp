// SIGTERM and SIGINT as a clean end of the program, and SIGPIPE as no end at
// all. Nothing a program of ours leaves on the display outlives its process,
// so the handler need not wait for the program to reach a safe point: it
// removes what would outlive it (lock files) and ends the process there.
// The other signals that end a process by default and that users or
// session managers send (SIGHUP, SIGUSR1, SIGALRM) keep their meaning: only
// the lock files go first.
#include <signal.h>
#include <unistd.h>

#include <initializer_list>

#include "Platform/Win32/Kernel/HeldLocks.h"
#include "Platform/Win32/Win32.h"

namespace {

volatile sig_atomic_t exitCodeOnSignal = 0;

void EndProcess(int) {
    Win32EndProcessAtOnce(exitCodeOnSignal);
}

// The handler runs with every signal blocked, so the signal raised again
// waits until it is unblocked here, now with its default action.
void EndProcessBySignal(int signal) {
    win32_kernel::RemoveHeldLockFiles();
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

void Win32EndProcessAtOnce(int exitCode) {
    win32_kernel::RemoveHeldLockFiles();
    _exit(exitCode);
}

void Win32EndOnTerminationSignals(int exitCode) {
    exitCodeOnSignal = exitCode;
    sigset_t ending;
    sigemptyset(&ending);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1, SIGALRM}) {
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
