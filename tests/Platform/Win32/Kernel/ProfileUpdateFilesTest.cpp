// Updates that carry a file besides their values: refusals that change
// nothing and say what refused, and writers killed at any moment.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>

#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Kernel/ProfileFault.h"
#include "Platform/Win32/Win32.h"
#include "tests/Platform/Win32/Kernel/KernelTestSupport.h"

namespace fs = std::filesystem;
using namespace kernel_test;
using namespace win32_kernel;

namespace {

// A settings file and the picture it names, each in a folder of its own.
struct Pair {
    explicit Pair(const fs::path& root)
        : settings(root / "config" / "Vantel.ini"), picture(root / "pictures" / "123.bmp") {
        fs::create_directories(settings.parent_path());
        fs::create_directories(picture.parent_path());
    }
    // The serial in the settings, and the picture they name holding it.
    bool Save(int serial, const fs::path& to, std::size_t size = 4096) const {
        const std::string text = std::to_string(serial);
        const std::string bytes = text + std::string(size - text.size(), '.');
        Win32BeginProfileUpdate(settings.c_str());
        WritePrivateProfileStringA("SETTING", "FILENAME", to.c_str(), settings.c_str());
        WritePrivateProfileStringA("SETTING", "SERIAL", text.c_str(), settings.c_str());
        Win32AddProfileUpdateFile(to.c_str(), bytes.data(), static_cast<DWORD>(bytes.size()));
        return Win32EndProfileUpdate() == TRUE;
    }
    std::string Value(const char* key) const {
        char value[4096];
        GetPrivateProfileStringA("SETTING", key, "", value, sizeof value, settings.c_str());
        return value;
    }
    // Both as a reader holding the lock finds them: one serial, or empty.
    std::string SerialOfBoth() const {
        Win32BeginProfileRead(settings.c_str(), 1000);
        const std::string serial = Value("SERIAL");
        const std::string bytes = ReadFile(Value("FILENAME"));
        Win32EndProfileRead();
        return bytes.substr(0, bytes.find('.')) == serial ? serial : "";
    }

    fs::path settings;
    fs::path picture;
};

struct RefusalCase {
    const char* what;
    std::function<void(const Pair&)> spoil;
    DWORD error;
    int item;  // 0: the settings, 1: the picture
    fs::path (*refused)(const Pair&);
};

void PrintTo(const RefusalCase& example, std::ostream* out) {
    *out << example.what;
}

fs::path SettingsFile(const Pair& pair) {
    return pair.settings;
}
fs::path SettingsFolder(const Pair& pair) {
    return pair.settings.parent_path();
}
fs::path Picture(const Pair& pair) {
    return pair.picture;
}
fs::path PictureFolder(const Pair& pair) {
    return pair.picture.parent_path();
}

// Both files and the folders' names, whatever lies under the names.
std::vector<std::string> Snapshot(const Pair& pair) {
    std::vector<std::string> seen = ListDirectory(SettingsFolder(pair));
    for (const std::string& name : ListDirectory(PictureFolder(pair))) seen.push_back("picture/" + name);
    for (const fs::path& file : {pair.settings, pair.picture})
        seen.push_back(fs::is_regular_file(file) ? ReadFile(file) : "not a file");
    return seen;
}

class ProfileUpdateRefusalTest : public testing::TestWithParam<RefusalCase> {};

// Runs as an ordinary user: root would write through any mode bits.
TEST_P(ProfileUpdateRefusalTest, ChangesNothingAndSaysWhatRefused) {
    TempDir temp;
    const Pair pair(temp.path());
    const int result = RunAsOrdinaryUser(temp.path(), [&] {
        if (!pair.Save(1, pair.picture)) return 1;
        GetParam().spoil(pair);
        const std::vector<std::string> before = Snapshot(pair);
        if (pair.Save(2, pair.picture)) return 2;
        if (GetLastError() != GetParam().error) return 3;
        char refused[4096];
        if (Win32GetProfileUpdateFailure(refused, sizeof refused) != GetParam().item) return 4;
        if (refused != GetParam().refused(pair)) return 5;
        chmod(SettingsFolder(pair).c_str(), 0700);
        chmod(PictureFolder(pair).c_str(), 0700);
        return Snapshot(pair) == before ? 0 : 6;
    });
    EXPECT_EQ(result, 0) << "2: saved; 3: error code; 4: which file; 5: refused path; 6: changed on disk";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileUpdateRefusalTest,
    testing::Values(
        RefusalCase{"read-only settings file", [](const Pair& p) { chmod(p.settings.c_str(), 0444); },
                    ERROR_ACCESS_DENIED, 0, SettingsFile},
        RefusalCase{"read-only settings folder",
                    [](const Pair& p) { chmod(SettingsFolder(p).c_str(), 0500); }, ERROR_ACCESS_DENIED, 0,
                    SettingsFolder},
        RefusalCase{"read-only picture", [](const Pair& p) { chmod(p.picture.c_str(), 0444); },
                    ERROR_ACCESS_DENIED, 1, Picture},
        RefusalCase{"read-only picture folder", [](const Pair& p) { chmod(PictureFolder(p).c_str(), 0500); },
                    ERROR_ACCESS_DENIED, 1, PictureFolder},
        RefusalCase{"settings are a FIFO",
                    [](const Pair& p) { fs::remove(p.settings), mkfifo(p.settings.c_str(), 0600); },
                    ERROR_BAD_FILE_TYPE, 0, SettingsFile},
        RefusalCase{"picture is a folder",
                    [](const Pair& p) { fs::remove(p.picture), fs::create_directory(p.picture); },
                    ERROR_BAD_FILE_TYPE, 1, Picture},
        RefusalCase{"settings too large to read",
                    [](const Pair& p) { truncate(p.settings.c_str(), off_t{64} << 20); },
                    ERROR_FILE_TOO_LARGE, 0, SettingsFile}));

// A writer killed at any moment of its updates leaves the settings and the
// picture they name from one update, as a reader holding the lock finds
// them, and nothing of the update behind once that reader is done.
TEST(ProfileUpdateKillTest, AWriterKilledAnywhereLeavesAWholePair) {
    TempDir temp;
    const Pair pair(temp.path());
    // Each update names another picture than the last, the way a save to a
    // new name does, and the serial tells their contents apart.
    const auto pictureOf = [&](int serial) {
        return PictureFolder(pair) / (serial % 2 == 0 ? "even.bmp" : "odd.bmp");
    };
    constexpr std::size_t kPictureBytes = 200000;
    const auto started = std::chrono::steady_clock::now();
    for (int serial = 1; serial <= 8; ++serial)
        ASSERT_TRUE(pair.Save(serial, pictureOf(serial), kPictureBytes));
    const auto updateTime =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started) / 8;

    const unsigned seed = testing::UnitTest::GetInstance()->random_seed();
    SCOPED_TRACE("seed " + std::to_string(seed) + " (--gtest_random_seed=" + std::to_string(seed) + ")");
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(0, 3 * updateTime.count());
    int serial = 100;
    int leftHalfDone = 0;
    for (int kill = 0; kill < 150; ++kill, serial += 1000) {
        const int ended = KillAfter(
            [&] {
                // Stretches the moment between the settings and the picture,
                // so that kills land there too.
                SetProfileCommitPause(updateTime / 4);
                for (int next = serial;; ++next)
                    if (!pair.Save(next, pictureOf(next), kPictureBytes)) return 2;
            },
            std::chrono::microseconds(moment(random)));
        ASSERT_EQ(ended, 128 + SIGKILL) << "the writer failed before it was killed";

        // New settings beside an old picture: the reader must finish the update.
        const std::string named = ReadFile(pair.Value("FILENAME"));
        leftHalfDone += named.substr(0, named.find('.')) != pair.Value("SERIAL");
        ASSERT_NE(pair.SerialOfBoth(), "") << "kill " << kill << " left a mixed pair";
        // At most the settings' own temporary of a writer killed before it
        // began the update, which the next writer sweeps away.
        ASSERT_EQ(ListDirectory(PictureFolder(pair)), (std::vector<std::string>{"even.bmp", "odd.bmp"}));
        ASSERT_LE(ListDirectory(SettingsFolder(pair)).size(), 3u) << "kill " << kill;
    }
    // Kills landed between the settings and the picture, or the test proved little.
    EXPECT_GT(leftHalfDone, 0);
    ASSERT_TRUE(pair.Save(1, pictureOf(1)));
    EXPECT_EQ(ListDirectory(SettingsFolder(pair)),
              (std::vector<std::string>{".Vantel.ini.lock", "Vantel.ini"}));
}

}  // namespace
