#include "Tool/ToolCommandLine.h"

#include <cstdio>
#include <string_view>

#include "Settings/Version.h"

namespace {

constexpr char kUsage[] =
    "Usage: vantel30 [--help | --version]\n"
    "\n"
    "Paints the texture of the Vantel screensaver's box and sets its turning speed\n"
    "for vantel, and starts vantel as a preview.\n"
    "\n"
    "  -h, --help   print this help\n"
    "  --version    print the version\n"
    "\n"
    "Settings: $XDG_CONFIG_HOME/vantel/Vantel.ini (by default ~/.config/vantel/).\n"
    "Qt's own options, such as -platform, are taken too.\n";

}  // namespace

std::optional<int> AnswerCommandLine(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == "--version") {
            std::printf("vantel30 %s\n%s", vantel_settings::kVersion, vantel_settings::kCopyrightNotice);
            return 0;
        }
    }
    return std::nullopt;
}
