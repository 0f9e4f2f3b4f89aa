// One copy at a time: the name of the saver's single-instance mutex.
#pragma once

#include <cstdint>
#include <string>

// "Deepdrift" for a saver in its own window. For one drawing into
// `hostWindow` (not 0) of the display named `display` (the value of DISPLAY,
// null when unset): one name per window of each display, whichever of its
// names the display goes by.
std::string SaverMutexName(std::uint64_t hostWindow, const char* display);

// Which display an X display name ([protocol/][host]:number[.screen]) names:
// ":N" for display N of this machine, however reached (":N.1", "unix:N",
// "localhost:N", "unix/:N", "<this host>/unix:N"), "host:N" for another
// machine's. The screen is dropped: it is one display. A name that does not
// read as a display name is kept as it is.
std::string CanonicalDisplayName(const char* display);
