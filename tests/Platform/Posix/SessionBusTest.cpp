// No session bus of our own: the address variable is set to one that fails
// only where no bus runs; a bus that runs stays reachable.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "Platform/Win32/Win32Extensions.h"
#include "tests/Support/KernelTestSupport.h"

namespace {

bool Listening(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    return fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

struct BusCase {
    const char* address;  // null: unset
    bool runtimeBus;      // a bus socket in XDG_RUNTIME_DIR
    const char* expected;
};

TEST(SessionBusTest, ClosesTheWayToAnAutolaunchedBusOnlyWhereNoneRuns) {
    const BusCase cases[] = {{nullptr, false, "disabled:"},
                             {"", false, "disabled:"},
                             {"unix:path=/run/user/1000/bus", false, "unix:path=/run/user/1000/bus"},
                             {nullptr, true, nullptr}};
    for (const BusCase& c : cases) {
        kernel_test::TempDir runtime;
        // In a child: the test's own environment stays as it was.
        const int outcome = kernel_test::RunInChild([&] {
            setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
            if (c.runtimeBus && !Listening(runtime.path() / "bus")) return 2;
            c.address != nullptr ? setenv("DBUS_SESSION_BUS_ADDRESS", c.address, 1)
                                 : unsetenv("DBUS_SESSION_BUS_ADDRESS");
            Win32NeverAutolaunchSessionBus();
            const char* after = std::getenv("DBUS_SESSION_BUS_ADDRESS");
            const bool asExpected = after == nullptr || c.expected == nullptr
                                        ? after == c.expected
                                        : std::strcmp(after, c.expected) == 0;
            return asExpected ? 0 : 1;
        });
        EXPECT_EQ(outcome, 0) << (c.address != nullptr ? c.address : "unset")
                              << (c.runtimeBus ? ", a bus in the runtime directory" : "");
    }
}

}  // namespace
