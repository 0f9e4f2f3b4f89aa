// The command-line scan that chooses the run mode.
#include "ScreenSaver/Deepdr.h"

RunMode ScanCommandLine(const char* commandLine) {
    if (commandLine == nullptr || commandLine[0] == '\0') return RunMode::None;
    bool configure = false;
    bool saver = false;
    const char* cursor = commandLine;
    while (*cursor != '\0') {
        if (*cursor == '-' || *cursor == '/') {
            ++cursor;
            // Any other character, the terminating zero or another "-" or "/"
            // included, is looked at again as an ordinary character.
            if (*cursor == 'C' || *cursor == 'c') {
                configure = true;
                ++cursor;
            } else if (*cursor == 'S' || *cursor == 's') {
                saver = true;
                ++cursor;
            }
        } else {
            ++cursor;
        }
    }
    if (configure) return RunMode::Configure;
    return saver ? RunMode::Saver : RunMode::None;
}
