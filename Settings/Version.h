// The version both programs report, the project's own, and the licence they
// are released under.
#pragma once

namespace vantel_settings {

// "3.0": the build's project version.
extern const char kVersion[];

// The lines a --version answer gives after the program's name and version:
// the copyright holder and the licence, each ended by a newline.
extern const char kCopyrightNotice[];

}  // namespace vantel_settings
