// The debug output of a piece of code, for tests that compare its trace
// lines byte for byte.
#pragma once

#include <string>

// Redirects standard error, where the debug output goes, into a file until
// Stop().
class DebugCapture {
public:
    DebugCapture();
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
