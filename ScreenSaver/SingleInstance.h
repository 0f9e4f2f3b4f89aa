// One copy at a time: the name of the saver's single-instance mutex.
#pragma once

#include <cstdint>
#include <string>

// One name per display for a saver in its own window ("Deepdrift-:0", or
// "Deepdrift" where no display is named), one per window of each display
// for a saver drawing into `hostWindow` (not 0), whichever of its names the
// display goes by. `display` is the name of the display the saver draws on
// (null: none).
std::string SaverMutexName(std::uint64_t hostWindow, const char* display);

// Which display an X display name ([protocol/][host]:number[.screen]) names:
// ":N" for display N of this machine, however reached (":N.1", "unix:N",
// "localhost:N", "unix/:N", "<this host>/unix:N"), "host:N" for another
// machine's. The screen is dropped: it is one display. A name that does not
// read as a display name is kept as it is.
std::string CanonicalDisplayName(const char* display);
