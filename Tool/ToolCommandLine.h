// What the settings tool answers on the command line without opening its
// window: --help (or -h) and --version. It takes no other options of its
// own; Qt's (such as -platform) go on to QApplication.
#pragma once

#include <optional>

// Prints the usage or the version on standard output when an argument after
// the program's name asks for one, and gives the exit code, 0; nothing
// otherwise.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv);
