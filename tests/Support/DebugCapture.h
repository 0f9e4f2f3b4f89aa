// The debug output of a piece of code, for tests that compare its trace
// lines byte for byte.
#pragma once

#include <string>

// Listens to the debug output as a debugger would (unless told not to) and
// redirects standard error, where it goes, into a file until Stop().
class DebugCapture {
public:
    explicit DebugCapture(bool listening = true);
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::string Stop();

private:
    int saved_ = -1;
    int file_ = -1;
};

template <typename F>
std::string Captured(F&& f) {
    DebugCapture capture;
    f();
    return capture.Stop();
}

// Standard error while `f` runs with nobody listening to the debug output.
template <typename F>
std::string CapturedUnheard(F&& f) {
    DebugCapture capture(false);
    f();
    return capture.Stop();
}

// Listens to the debug output while it lives, standard error left as it is:
// for death tests, whose child's standard error the framework reads.
class DebugListener {
public:
    DebugListener();
    ~DebugListener();
    DebugListener(const DebugListener&) = delete;
    DebugListener& operator=(const DebugListener&) = delete;
};
