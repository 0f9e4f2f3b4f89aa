// No D-Bus session bus of our own.
#pragma once

namespace posix {

// Makes sure that no library of the program starts a D-Bus session bus of
// its own: where none runs (DBUS_SESSION_BUS_ADDRESS unset or empty, and no
// bus socket of this user in XDG_RUNTIME_DIR), sets the variable to an
// address that fails at once. A bus that runs stays reachable. Call before
// any library starts.
void NeverAutolaunchSessionBus();

}  // namespace posix
