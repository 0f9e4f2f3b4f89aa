// Updates that carry a file besides their values: refusals that change
// nothing and say what refused, and writers killed at any moment.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <random>

#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Profile/ProfileFault.h"
#include "Platform/Win32/Win32Extensions.h"
#include "tests/Platform/Win32/Profile/ProfilePair.h"
#include "tests/Support/KernelTestSupport.h"

namespace fs = std::filesystem;
using namespace kernel_test;
using namespace win32_kernel;
using namespace win32_profile;

namespace {

enum Refused { kSettings, kSettingsFolder, kPicture, kPictureFolder };

struct RefusalCase {
    const char* what;
    std::function<void(const Pair&)> spoil;
    DWORD error;
    Refused refused;
};

void PrintTo(const RefusalCase& example, std::ostream* out) {
    *out << example.what;
}

class ProfileUpdateRefusalTest : public testing::TestWithParam<RefusalCase> {};

// Runs as an ordinary user: root would write through any mode bits.
TEST_P(ProfileUpdateRefusalTest, ChangesNothingAndSaysWhatRefused) {
    TempDir temp;
    const Pair pair(temp.path());
    const fs::path refused[] = {pair.settings, pair.settings.parent_path(), pair.picture,
                                pair.picture.parent_path()};
    const int result = RunAsOrdinaryUser(temp.path(), [&] {
        if (!pair.Save(1, pair.picture)) return 1;
        GetParam().spoil(pair);
        const std::vector<std::string> before = pair.Snapshot();
        if (pair.Save(2, pair.picture) || GetLastError() != GetParam().error) return 2;
        char path[4096];
        const int item = Win32GetProfileUpdateFailure(path, sizeof path);
        if (item != (GetParam().refused >= kPicture) || path != refused[GetParam().refused]) return 3;
        chmod(refused[kSettingsFolder].c_str(), 0700);
        chmod(refused[kPictureFolder].c_str(), 0700);
        return pair.Snapshot() == before ? 0 : 4;
    });
    EXPECT_EQ(result, 0)
        << "2: saved, or not for that reason; 3: another file or path named; 4: changed on disk";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileUpdateRefusalTest,
    testing::Values(RefusalCase{"read-only settings", [](const Pair& p) { chmod(p.settings.c_str(), 0444); },
                                ERROR_ACCESS_DENIED, kSettings},
                    RefusalCase{"read-only settings folder",
                                [](const Pair& p) { chmod(p.settings.parent_path().c_str(), 0500); },
                                ERROR_ACCESS_DENIED, kSettingsFolder},
                    RefusalCase{"read-only picture", [](const Pair& p) { chmod(p.picture.c_str(), 0444); },
                                ERROR_ACCESS_DENIED, kPicture},
                    RefusalCase{"read-only picture folder",
                                [](const Pair& p) { chmod(p.picture.parent_path().c_str(), 0500); },
                                ERROR_ACCESS_DENIED, kPictureFolder},
                    RefusalCase{
                        "settings are a FIFO",
                        [](const Pair& p) { fs::remove(p.settings), mkfifo(p.settings.c_str(), 0600); },
                        ERROR_BAD_FILE_TYPE, kSettings},
                    RefusalCase{"picture is a folder",
                                [](const Pair& p) { fs::remove(p.picture), fs::create_directory(p.picture); },
                                ERROR_BAD_FILE_TYPE, kPicture},
                    RefusalCase{"settings too large to read",
                                [](const Pair& p) { truncate(p.settings.c_str(), off_t{64} << 20); },
                                ERROR_FILE_TOO_LARGE, kSettings}));

// A writer killed at any moment of its updates leaves the settings and the
// picture they name from one update, as a reader holding the lock finds
// them, and nothing of the update behind once that reader is done.
TEST(ProfileUpdateKillTest, AWriterKilledAnywhereLeavesAWholePair) {
    TempDir temp;
    const Pair pair(temp.path());
    // Each update names another picture than the last, as a save to a new
    // name does.
    const auto pictureOf = [&](int serial) {
        return pair.picture.parent_path() / (serial % 2 ? "odd" : "even");
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
    int leftHalfDone = 0;
    for (int kill = 0, serial = 100; kill < 150; ++kill, serial += 1000) {
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
        // New settings beside an old picture, which the reader must finish.
        leftHalfDone += !pair.Whole();
        Win32BeginProfileRead(pair.settings.c_str(), 1000);
        ASSERT_TRUE(pair.Whole()) << "kill " << kill << " left a mixed pair";
        Win32EndProfileRead();
        // At most the settings' own temporary of a writer killed before its
        // update began, which the next writer sweeps away.
        ASSERT_EQ(ListDirectory(pair.picture.parent_path()), (std::vector<std::string>{"even", "odd"}));
        ASSERT_LE(ListDirectory(pair.settings.parent_path()).size(), 3u) << "kill " << kill;
    }
    // Kills landed between the settings and the picture, or the test proved little.
    EXPECT_GT(leftHalfDone, 0);
    ASSERT_TRUE(pair.Save(1, pictureOf(1)));
    EXPECT_EQ(ListDirectory(pair.settings.parent_path()),
              (std::vector<std::string>{".Vantel.ini.lock", "Vantel.ini"}));
}

}  // namespace
