// Where no D-Bus session bus runs (a bare X session, a scrubbed environment),
// libdbus "autolaunches" one for the first library that asks for it, SDL's
// video start-up or Qt's: it runs dbus-launch, whose bus outlives the program
// on that display for good, and of several programs starting at once all but
// one wait seconds for it. Neither program needs a bus.
#include "Platform/Posix/SessionBus.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

constexpr const char* kAddressVariable = "DBUS_SESSION_BUS_ADDRESS";
// A transport libdbus does not know: connecting fails at once, and nothing
// is started. Children inherit it, and there is no bus for them either.
constexpr const char* kNoBus = "disabled:";

// libdbus's own place for a user's bus when the variable is unset: the
// socket "bus" in the runtime directory, if this user owns it.
bool RuntimeDirectoryBus() {
    const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
    if (runtimeDir == nullptr || runtimeDir[0] == '\0') return false;
    struct stat status {};
    const std::string socket = std::string(runtimeDir) + "/bus";
    return stat(socket.c_str(), &status) == 0 && S_ISSOCK(status.st_mode) && status.st_uid == getuid();
}

}  // namespace

namespace posix {

void NeverAutolaunchSessionBus() {
    const char* address = std::getenv(kAddressVariable);
    if (address != nullptr && address[0] != '\0') return;
    if (RuntimeDirectoryBus()) return;
    setenv(kAddressVariable, kNoBus, 1);
}

}  // namespace posix
