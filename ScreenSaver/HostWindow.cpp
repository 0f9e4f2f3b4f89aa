// Which host window, if any, the command line and the environment name.
#include "ScreenSaver/HostWindow.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "ScreenSaver/Deepdr.h"

namespace {

// X resource ids are 32-bit values.
constexpr std::uint64_t kLargestWindowId = 0xFFFFFFFFu;

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        if (end > start) words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
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

HostRequest Invalid(std::string problem) {
    return HostRequest{HostRequest::Kind::Invalid, 0, std::move(problem)};
}

HostRequest WindowFrom(std::string_view text, std::string_view source) {
    if (const std::optional<std::uint64_t> id = ParseWindowId(text))
        return HostRequest{HostRequest::Kind::HostWindow, *id, {}};
    return Invalid("vantel: " + std::string(source) + ": \"" + std::string(text) +
                   "\" is not a window id (0x and hex digits, or a decimal number)\n");
}

bool IsOneOf(std::string_view word, std::string_view a, std::string_view b) {
    return word == a || word == b;
}

}  // namespace

HostRequest FindHostWindow(const char* commandLine, const char* hostWindowVariable) {
    const RunMode mode = ScanCommandLine(commandLine);
    if (mode == RunMode::Configure) return {};
    const std::vector<std::string_view> words = Words(commandLine != nullptr ? commandLine : "");
    const bool variableSet = hostWindowVariable != nullptr && hostWindowVariable[0] != '\0';

    for (std::size_t i = 0; i < words.size(); ++i) {
        if (!IsOneOf(words[i], "--window-id", "-window-id")) continue;
        if (i + 1 == words.size())
            return Invalid("vantel: " + std::string(words[i]) + " needs a window id\n");
        return WindowFrom(words[i + 1], words[i]);
    }
    for (const std::string_view word : words) {
        if (!IsOneOf(word, "--root", "-root")) continue;
        if (!variableSet)
            return Invalid("vantel: " + std::string(word) +
                           " draws into a screensaver host's window, but XSCREENSAVER_WINDOW is not set\n");
        return WindowFrom(hostWindowVariable, "XSCREENSAVER_WINDOW");
    }
    if (mode == RunMode::Saver && variableSet) return WindowFrom(hostWindowVariable, "XSCREENSAVER_WINDOW");
    return {};
}
