// The single-instance mutex's name, and the display identity it is keyed by.
#include "ScreenSaver/SingleInstance.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <string_view>

namespace {

constexpr char kMutexName[] = "Deepdrift";

// Host names and protocols that reach a display of this machine.
bool IsThisMachine(std::string_view host) {
    constexpr std::string_view kLocalNames[] = {"",          "unix", "local", "localhost",
                                                "127.0.0.1", "::1",  "[::1]"};
    if (std::find(std::begin(kLocalNames), std::end(kLocalNames), host) != std::end(kLocalNames)) return true;
    char ownName[HOST_NAME_MAX + 1] = {};
    return gethostname(ownName, sizeof ownName - 1) == 0 && host == ownName;
}

}  // namespace

std::string CanonicalDisplayName(const char* display) {
    const std::string_view name = display != nullptr ? display : "";
    const std::size_t colon = name.rfind(':');
    if (colon == std::string_view::npos) return std::string(name);
    std::string_view host = name.substr(0, colon);
    // "protocol/host": either part may say that the display is this machine's
    // ("unix/:0", "tcp/localhost:0", or the "host/unix:0" of X authority files).
    const std::size_t slash = host.find('/');
    bool local = IsThisMachine(host);
    if (slash != std::string_view::npos) {
        const std::string_view before = host.substr(0, slash);
        host = host.substr(slash + 1);
        local = IsThisMachine(before) || IsThisMachine(host);
    }
    const std::string_view rest = name.substr(colon + 1);
    const std::string_view number = rest.substr(0, rest.find('.'));
    unsigned value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size())
        return std::string(name);
    return (local ? std::string() : std::string(host)) + ":" + std::to_string(value);
}

std::string SaverMutexName(std::uint64_t hostWindow, const char* display) {
    const std::string name = std::string(kMutexName) + "-" + CanonicalDisplayName(display);
    if (hostWindow == 0) return display != nullptr && display[0] != '\0' ? name : kMutexName;
    char id[24];
    char* end = std::to_chars(id, id + sizeof id, hostWindow, 16).ptr;
    return name + "-0x" + std::string(id, end);
}
