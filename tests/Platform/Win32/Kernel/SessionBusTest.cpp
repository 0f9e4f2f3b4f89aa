// No session bus of our own: the address variable is set to one that fails
// only where no bus runs, and a running bus stays reachable.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "Platform/Win32/Win32.h"
#include "tests/Platform/Win32/Kernel/KernelTestSupport.h"

namespace {

using kernel_test::PrivateEnvironment;
using kernel_test::TempDir;

enum class RuntimeBus { None, Socket, RegularFile };

struct BusCase {
    const char* name;
    const char* address;  // null: unset
    RuntimeBus runtimeBus;
    const char* expected;  // null: still unset
};

void PrintTo(const BusCase& c, std::ostream* os) {
    *os << c.name;
}

void MakeRuntimeBus(const std::string& path, RuntimeBus kind) {
    if (kind == RuntimeBus::RegularFile) kernel_test::WriteFile(path, "");
    if (kind != RuntimeBus::Socket) return;
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
}

class SessionBusTest : public testing::TestWithParam<BusCase> {
protected:
    void SetUp() override {
        if (const char* value = std::getenv("DBUS_SESSION_BUS_ADDRESS")) saved_ = value;
    }
    void TearDown() override {
        if (saved_)
            setenv("DBUS_SESSION_BUS_ADDRESS", saved_->c_str(), 1);
        else
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

    std::optional<std::string> saved_;
};

TEST_P(SessionBusTest, LeavesARunningBusAndClosesTheWayToAnAutolaunchedOne) {
    const BusCase& c = GetParam();
    TempDir root;
    PrivateEnvironment environment(root.path());
    MakeRuntimeBus(std::getenv("XDG_RUNTIME_DIR") + std::string("/bus"), c.runtimeBus);
    if (c.address != nullptr)
        setenv("DBUS_SESSION_BUS_ADDRESS", c.address, 1);
    else
        unsetenv("DBUS_SESSION_BUS_ADDRESS");

    Win32NeverAutolaunchSessionBus();

    const char* after = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (c.expected == nullptr)
        EXPECT_EQ(after, nullptr);
    else
        EXPECT_STREQ(after, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, SessionBusTest,
    testing::Values(BusCase{"no_bus", nullptr, RuntimeBus::None, "disabled:"},
                    BusCase{"empty_address", "", RuntimeBus::None, "disabled:"},
                    BusCase{"address_given", "unix:path=/run/user/1000/bus", RuntimeBus::None,
                            "unix:path=/run/user/1000/bus"},
                    BusCase{"bus_in_runtime_directory", nullptr, RuntimeBus::Socket, nullptr},
                    BusCase{"no_socket_in_runtime_directory", nullptr, RuntimeBus::RegularFile, "disabled:"}),
    [](const testing::TestParamInfo<BusCase>& info) { return std::string(info.param.name); });

}  // namespace
