// The options of a command line, and which host window, if any, it and the
// environment name.
#include "ScreenSaver/SaverOptions.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <string_view>
#include <vector>

#include "ScreenSaver/CommandLineWords.h"

const char kSaverUsage[] =
    "Usage: vantel /s | /c\n"
    "       vantel [--root | --window-id ID] [--speed N] [--texture FILE] [--fps] [--display NAME]\n"
    "       vantel --help | --version\n"
    "\n"
    "A textured box drifts through space, bounces between invisible walls and turns.\n"
    "\n"
    "  /s               cover every monitor until a key or a mouse button is pressed\n"
    "  /c               start the settings tool, vantel30\n"
    "  --root           draw into the screensaver host's window, XSCREENSAVER_WINDOW\n"
    "  --window-id ID   draw into the window ID (0x and hex digits, or decimal)\n"
    "  --speed N        turn N degrees per frame, 1 to 10, instead of the settings' speed\n"
    "  --texture FILE   wear the bitmap FILE instead of the settings' texture\n"
    "  --fps            show the frame rate in the top-left corner\n"
    "  --display NAME   draw on the X display NAME instead of DISPLAY's\n"
    "  -h, --help       print this help\n"
    "  --version        print the version\n"
    "\n"
    "Every option may be written with one dash or two (-fps, --fps), and a value\n"
    "after a blank or an equals sign (-speed 3, --speed=3).\n"
    "Without --root or --window-id the options run the saver as /s does.\n"
    "Settings: $XDG_CONFIG_HOME/vantel/Vantel.ini (by default ~/.config/vantel/),\n"
    "written by vantel30.\n";

const char kSaverUsageLine[] =
    "vantel: usage: vantel /s | /c | [--root | --window-id ID] [--speed N] [--texture FILE] [--fps] "
    "[--display NAME] (vantel --help tells more)\n";

namespace {

// X resource ids are 32-bit values.
constexpr std::uint64_t kLargestWindowId = 0xFFFFFFFFu;

enum class Option { Root, WindowId, Speed, Texture, FrameRate, Display, Help, Version };

struct OptionName {
    std::string_view name;  // without its dashes
    Option option;
    bool takesValue;
};

constexpr OptionName kOptions[] = {
    {"root", Option::Root, false},       {"window-id", Option::WindowId, true},
    {"speed", Option::Speed, true},      {"texture", Option::Texture, true},
    {"fps", Option::FrameRate, false},   {"display", Option::Display, true},
    {"help", Option::Help, false},       {"h", Option::Help, false},
    {"version", Option::Version, false},
};

struct FoundOption {
    const OptionName* option = nullptr;
    std::string_view written;               // the option as written, its dashes included
    std::optional<std::string_view> value;  // given after '=' in the same word
};

// One dash or two, as X programs and GNU programs write options.
FoundOption FindOption(std::string_view word) {
    const std::size_t dashes = word.starts_with("--") ? 2 : word.starts_with('-') ? 1 : 0;
    if (dashes == 0) return {};
    const std::size_t equals = word.find('=');
    const std::string_view name =
        word.substr(dashes, equals == std::string_view::npos ? equals : equals - dashes);
    for (const OptionName& option : kOptions) {
        if (name != option.name) continue;
        if (equals == std::string_view::npos) return {&option, word, std::nullopt};
        if (option.takesValue) return {&option, word.substr(0, equals), word.substr(equals + 1)};
    }
    return {};
}

std::optional<std::uint64_t> ParseWindowId(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || id == 0 ||
        id > kLargestWindowId)
        return std::nullopt;
    return id;
}

// A whole number, optionally signed; beyond int's range it stays at its end.
std::optional<int> ParseSpeed(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (text.starts_with('+') || negative) text.remove_prefix(1);
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    long long value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) value = LLONG_MAX;
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

HostRequest Invalid(std::string problem) {
    return HostRequest{HostRequest::Kind::Invalid, 0, std::move(problem)};
}

HostRequest WindowFrom(std::string_view text, std::string_view source) {
    if (const std::optional<std::uint64_t> id = ParseWindowId(text))
        return HostRequest{HostRequest::Kind::HostWindow, *id, {}};
    return Invalid("vantel: " + std::string(source) + ": \"" + std::string(text) +
                   "\" is not a window id (0x and hex digits, or a decimal number)\n");
}

bool StartsWithDash(std::string_view word) {
    return word.starts_with('-');
}

// A value comes after its option unless the next word is an option itself
// ("--speed --fps"); a negative number is a value.
bool TakesAsValue(std::string_view word) {
    return !StartsWithDash(word) || ParseSpeed(word).has_value();
}

// The saver switch among options: the options run the saver anyway.
bool IsSaverSwitch(std::string_view word) {
    return word.size() == 2 && (word[0] == '/' || word[0] == '-') && (word[1] == 's' || word[1] == 'S');
}

// Warns of words[i], which is no option of ours, and gives the index of the
// last word passed over with it: an unknown option takes the words after it
// that do not start with '-' along, as its values ("-colors 64").
std::size_t PassOver(const std::vector<std::string>& words, std::size_t i, std::string& warnings) {
    const bool option = words[i].size() > 1 && StartsWithDash(words[i]);
    std::string passed = words[i];
    while (option && i + 1 < words.size() && !StartsWithDash(words[i + 1])) passed += ' ' + words[++i];
    warnings += (option ? "vantel: ignoring unknown option \"" : "vantel: ignoring \"") + passed + "\"\n";
    return i;
}

// Where a host window may come from besides XSCREENSAVER_WINDOW alone.
struct HostWords {
    std::string root;                   // the root option as written, when given
    std::optional<HostRequest> window;  // what the window id option gave
};

// Takes one option of ours, with its value when it has one, into `options`.
void TakeOption(const FoundOption& found, std::optional<std::string_view> value, SaverOptions& options,
                HostWords& host) {
    const std::string name(found.written);
    switch (found.option->option) {
        case Option::Root:
            host.root = name;
            break;
        case Option::WindowId:
            host.window =
                value ? WindowFrom(*value, name) : Invalid("vantel: " + name + " needs a window id\n");
            break;
        case Option::Speed:
            if (const std::optional<int> speed = value ? ParseSpeed(*value) : std::nullopt)
                options.overrides.speed = speed;
            else if (value)
                options.warnings +=
                    "vantel: ignoring " + name + " \"" + std::string(*value) + "\": not a whole number\n";
            else
                options.warnings += "vantel: ignoring " + name + ": it needs a whole number\n";
            break;
        case Option::Texture:
            if (value && !value->empty())
                options.overrides.texture = std::string(*value);
            else
                options.warnings += "vantel: ignoring " + name + ": it needs a file name\n";
            break;
        case Option::FrameRate:
            options.overrides.showFrameRate = true;
            break;
        case Option::Display:
            if (value && !value->empty())
                options.display = std::string(*value);
            else
                options.warnings += "vantel: ignoring " + name + ": it needs a display name\n";
            break;
        case Option::Help:
            options.help = true;
            break;
        case Option::Version:
            options.version = true;
            break;
    }
}

// The window id option's window, else the root option's (the variable's),
// else the variable's when it is set, else the own window.
HostRequest ChooseHost(const HostWords& host, const char* hostWindowVariable, bool variableSet) {
    if (host.window) return *host.window;
    if (!host.root.empty())
        return variableSet ? WindowFrom(hostWindowVariable, "XSCREENSAVER_WINDOW")
                           : Invalid("vantel: " + host.root +
                                     " draws into a screensaver host's window, but "
                                     "XSCREENSAVER_WINDOW is not set\n");
    if (variableSet) return WindowFrom(hostWindowVariable, "XSCREENSAVER_WINDOW");
    return {};
}

}  // namespace

SaverOptions ReadSaverOptions(const char* commandLine, const char* hostWindowVariable) {
    const std::vector<std::string> words = CommandLineWords(commandLine);
    const bool variableSet = hostWindowVariable != nullptr && hostWindowVariable[0] != '\0';
    SaverOptions options;
    if (std::none_of(words.begin(), words.end(),
                     [](const std::string& word) { return FindOption(word).option != nullptr; })) {
        options.mode = ScanCommandLine(commandLine);
        if (options.mode == RunMode::Saver && variableSet)
            options.host = WindowFrom(hostWindowVariable, "XSCREENSAVER_WINDOW");
        return options;
    }

    options.mode = RunMode::Saver;
    HostWords host;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const FoundOption found = FindOption(words[i]);
        if (found.option == nullptr) {
            if (!IsSaverSwitch(words[i])) i = PassOver(words, i, options.warnings);
            continue;
        }
        std::optional<std::string_view> value = found.value;
        if (found.option->takesValue && !value && i + 1 < words.size() && TakesAsValue(words[i + 1]))
            value = words[++i];
        TakeOption(found, value, options, host);
    }
    options.host = ChooseHost(host, hostWindowVariable, variableSet);
    return options;
}

std::string ExpandHomeDirectory(const std::string& path, const char* home) {
    if (home == nullptr || home[0] == '\0' || !path.starts_with('~')) return path;
    if (path.size() == 1 || path[1] == '/') return home + path.substr(1);
    return path;
}
