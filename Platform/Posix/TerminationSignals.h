// SIGTERM and SIGINT as a clean end of the program, SIGPIPE as no end at all.
#pragma once

namespace posix {

// From now on SIGTERM and SIGINT call `removeFirst` (when not null; it must
// be async-signal-safe) and end the process at once with `exitCode`; exit
// handlers do not run. SIGHUP, SIGUSR1, SIGALRM and SIGQUIT call it too,
// then end the process by the signal as they would have (SIGQUIT with a core
// dump, where the system keeps one). A signal that was ignored when
// the program started stays ignored; one left blocked is unblocked, and one
// that came while it was blocked ends the process now. SIGPIPE no longer ends the process: a
// write to a pipe without a reader fails with EPIPE instead. Programs it
// starts get the default handling back.
void EndOnTerminationSignals(int exitCode, void (*removeFirst)());

}  // namespace posix
