#include "tests/Support/DebugCapture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "Platform/Win32/Win32Extensions.h"

DebugCapture::DebugCapture(bool listening) {
    char path[] = "/tmp/vantel-debugXXXXXX";
    file_ = mkstemp(path);
    if (file_ < 0) std::abort();
    unlink(path);
    std::fflush(stderr);
    saved_ = dup(2);
    dup2(file_, 2);
    Win32ListenToDebugOutput(listening);
}

DebugCapture::~DebugCapture() {
    Stop();
}

std::string DebugCapture::Stop() {
    if (saved_ < 0) return {};
    Win32ListenToDebugOutput(false);
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
    saved_ = -1;
    std::string text;
    char buf[4096];
    lseek(file_, 0, SEEK_SET);
    for (ssize_t n; (n = read(file_, buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
    close(file_);
    return text;
}

DebugListener::DebugListener() {
    Win32ListenToDebugOutput(true);
}

DebugListener::~DebugListener() {
    Win32ListenToDebugOutput(false);
}
