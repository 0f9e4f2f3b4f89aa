// A save that stalls inside its commit, the commit gate between a writer and
// a reader that could not wait, journals that name what is not their
// update's own, and the temporary files killed writers leave.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "Platform/Win32/Kernel/KernelErrors.h"
#include "Platform/Win32/Profile/ProfileCommitGate.h"
#include "Platform/Win32/Profile/ProfileFault.h"
#include "Platform/Win32/Profile/ProfileJournal.h"
#include "Platform/Win32/Profile/ProfileLock.h"
#include "Platform/Win32/Win32Extensions.h"
#include "tests/Platform/Win32/Profile/ProfilePair.h"
#include "tests/Support/KernelTestSupport.h"

namespace fs = std::filesystem;
using namespace kernel_test;
using namespace win32_kernel;
using namespace win32_profile;

namespace {

using Clock = std::chrono::steady_clock;

// A writer stalled between replacing the settings and renaming the picture,
// longer than a reader waits: the reader goes on without the lock, and gets
// the new settings with the new picture; the writer then finishes its save.
TEST(ProfileStalledUpdateTest, AReaderThatCannotWaitGetsOneSavesPair) {
    TempDir temp;
    const Pair pair(temp.path());
    ASSERT_TRUE(pair.Save(1, pair.picture));
    const pid_t writer = StartChild([&] {
        SetProfileCommitPause(std::chrono::milliseconds(2500));
        return pair.Save(2, pair.picture) ? 0 : 1;
    });
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (pair.Value("SERIAL") != "2" && Clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_FALSE(pair.Whole()) << "the writer did not stall between the settings and the picture";

    const auto started = Clock::now();
    EXPECT_FALSE(Win32BeginProfileRead(pair.settings.c_str(), 1000));
    EXPECT_EQ(pair.Value("SERIAL"), "2");
    EXPECT_TRUE(pair.Whole());
    Win32EndProfileRead();
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(2000)) << "the reader waited for the writer";

    EXPECT_EQ(WaitForChild(writer), 0) << "the stalled writer's save failed";
    EXPECT_TRUE(pair.Whole());
    EXPECT_EQ(ListDirectory(pair.settings.parent_path()),
              (std::vector<std::string>{".Vantel.ini.lock", "Vantel.ini"}));
    EXPECT_EQ(ListDirectory(pair.picture.parent_path()), std::vector<std::string>{"p.bmp"});
}

// A reader that went on without the lock holds the commit gate while it
// reads what lies in place: a writer's commit, from the settings' rename on,
// waits until the reader lets go.
TEST(ProfileCommitGateTest, AReaderHoldingTheGateHoldsOffAWritersCommit) {
    TempDir temp;
    const Pair pair(temp.path());
    ASSERT_TRUE(pair.Save(1, pair.picture));
    const std::optional<ProfileLocation> location = ResolveProfilePath(pair.settings.c_str());
    ASSERT_TRUE(location);
    // The writer starts before the reader locks anything, which it would
    // hold as well, and saves once the reader holds the gate.
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    const pid_t writer = StartChild([&] {
        char byte;
        return read(go[0], &byte, 1) == 1 && pair.Save(2, pair.picture) ? 0 : 1;
    });
    {
        // Held by another for longer than the reader waits.
        const ProfileLock held(*location, ProfileLock::Mode::Exclusive);
        ASSERT_TRUE(held.held());
        EXPECT_FALSE(Win32BeginProfileRead(pair.settings.c_str(), 10));
    }
    ASSERT_EQ(write(go[1], "g", 1), 1);
    close(go[0]);
    close(go[1]);
    const fs::path journal = pair.settings.parent_path() / ".Vantel.ini.journal";
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (!fs::exists(journal) && Clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(fs::exists(journal)) << "the writer never began its update";
    // Its files written, the writer waits at the gate for as long as the reader reads.
    const auto reading = Clock::now() + std::chrono::seconds(1);
    while (Clock::now() < reading) {
        ASSERT_EQ(pair.Value("SERIAL"), "1") << "the writer replaced the settings under the reader";
        ASSERT_TRUE(pair.Whole());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Win32EndProfileRead();
    EXPECT_EQ(WaitForChild(writer), 0);
    EXPECT_EQ(pair.Value("SERIAL"), "2");
    EXPECT_TRUE(pair.Whole());
}

// A writer stalled inside its commit before it replaced the settings: a
// reader that cannot wait meets the gate busy and makes the whole update
// happen, the settings with the picture, not the picture alone.
TEST(ProfileCommitGateTest, AReaderMeetingTheGateBusyBeforeTheSettingsAreReplacedGetsTheNewPair) {
    TempDir temp;
    const Pair pair(temp.path());
    ASSERT_TRUE(pair.Save(1, pair.picture));
    const pid_t writer = StartChild([&] {
        SetProfileCommitPause(std::chrono::milliseconds(2500), CommitPausePoint::BeforeProfile);
        return pair.Save(2, pair.picture) ? 0 : 1;
    });
    const auto gateBusy = [&] {
        return CommitGate(pair.settings.parent_path(), CommitGate::Mode::Shared).busy();
    };
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (!gateBusy() && Clock::now() < giveUp) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(gateBusy()) << "the writer never reached its commit";
    ASSERT_EQ(pair.Value("SERIAL"), "1") << "the writer did not stall before replacing the settings";

    const auto started = Clock::now();
    EXPECT_FALSE(Win32BeginProfileRead(pair.settings.c_str(), 1000));
    EXPECT_EQ(pair.Value("SERIAL"), "2");
    EXPECT_TRUE(pair.Whole());
    Win32EndProfileRead();
    EXPECT_LT(Clock::now() - started, std::chrono::milliseconds(2000)) << "the reader waited for the writer";

    EXPECT_EQ(WaitForChild(writer), 0) << "the stalled writer's save failed";
    EXPECT_TRUE(pair.Whole());
    EXPECT_EQ(ListDirectory(pair.settings.parent_path()),
              (std::vector<std::string>{".Vantel.ini.lock", "Vantel.ini"}));
    EXPECT_EQ(ListDirectory(pair.picture.parent_path()), std::vector<std::string>{"p.bmp"});
}

// The folders a hostile journal reaches for: the pair's, and one beside them.
struct Scene {
    explicit Scene(const fs::path& root) : pair(root), elsewhere(root / "elsewhere") {
        fs::create_directories(elsewhere);
        WriteFile(elsewhere / "precious", "precious");
        WriteFile(elsewhere / "src", "hostile");
        pair.Save(1, pair.picture);
    }
    fs::path Config() const { return pair.settings.parent_path(); }
    fs::path Pictures() const { return pair.picture.parent_path(); }
    // Every name and what lies under it, links as links.
    std::vector<std::string> Snapshot() const {
        std::vector<std::string> seen{ReadFile(pair.settings)};
        for (const fs::path& folder : {Pictures(), elsewhere}) {
            for (const std::string& name : ListDirectory(folder)) {
                const fs::path path = folder / name;
                seen.push_back(
                    name + ": " +
                    (fs::is_symlink(path) ? "link to " + fs::read_symlink(path).string() : ReadFile(path)));
            }
        }
        return seen;
    }

    Pair pair;
    fs::path elsewhere;
};

struct HostileCase {
    const char* what;
    // Plants what the journal needs to do harm, and gives the journal.
    std::function<Journal(const Scene&)> plant;
};

void PrintTo(const HostileCase& example, std::ostream* out) {
    *out << example.what;
}

// The settings' temporary of a writer that never replaced them: the journal
// then says to remove the files' temporaries.
constexpr char kSettingsTemporary[] = ".Vantel.ini.1.0.tmp";
// A name no file bears: the settings were replaced, so the journal says to
// rename the files' temporaries into place.
constexpr char kSettingsReplaced[] = ".Vantel.ini.2.0.tmp";

class ProfileHostileJournalTest : public testing::TestWithParam<HostileCase> {};

TEST_P(ProfileHostileJournalTest, IsSetAsideAndNothingElseChanges) {
    TempDir temp;
    const Scene scene(temp.path());
    const Journal journal = GetParam().plant(scene);
    const std::vector<std::string> before = scene.Snapshot();
    const fs::path journalPath = scene.Config() / ".Vantel.ini.journal";
    WriteFile(journalPath, JournalText(journal));

    testing::internal::CaptureStderr();
    Win32BeginProfileRead(scene.pair.settings.c_str(), 1000);
    Win32EndProfileRead();
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_EQ(scene.Snapshot(), before);
    EXPECT_FALSE(fs::exists(journalPath));
    EXPECT_TRUE(fs::exists(scene.Config() / ".Vantel.ini.journal.set-aside"));
    EXPECT_TRUE(said.starts_with(std::string(program_invocation_short_name) + ": ")) << said;
    EXPECT_NE(said.find(journalPath.string()), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileHostileJournalTest,
    testing::Values(
        HostileCase{"a file elsewhere renamed over another",
                    [](const Scene& s) {
                        return Journal{kSettingsReplaced, {{s.elsewhere / "src", s.elsewhere / "precious"}}};
                    }},
        HostileCase{"a path through '..'",
                    [](const Scene& s) {
                        WriteFile(s.elsewhere / ".precious.1.0.tmp", "hostile");
                        const fs::path up = s.Pictures() / ".." / "elsewhere";
                        return Journal{kSettingsReplaced, {{up / ".precious.1.0.tmp", up / "precious"}}};
                    }},
        HostileCase{"the very file the settings name, through '..' as they name it",
                    [](const Scene& s) {
                        const fs::path up = s.Pictures() / ".." / s.Pictures().filename();
                        WriteFile(s.pair.settings, "[SETTING]\nFILENAME=" + (up / "p.bmp").string() + "\n");
                        WriteFile(s.Pictures() / ".p.bmp.1.0.tmp", "hostile");
                        return Journal{kSettingsReplaced, {{up / ".p.bmp.1.0.tmp", up / "p.bmp"}}};
                    }},
        HostileCase{"a temporary in another folder than its file",
                    [](const Scene& s) {
                        WriteFile(s.elsewhere / ".p.bmp.1.0.tmp", "hostile");
                        return Journal{kSettingsReplaced, {{s.elsewhere / ".p.bmp.1.0.tmp", s.pair.picture}}};
                    }},
        HostileCase{"a file elsewhere as the temporary to remove",
                    [](const Scene& s) {
                        WriteFile(s.Config() / kSettingsTemporary, "[SETTING]\n");
                        return Journal{kSettingsTemporary, {{s.elsewhere / "precious", s.pair.picture}}};
                    }},
        HostileCase{"the settings file as the settings' temporary",
                    [](const Scene& s) {
                        return Journal{"Vantel.ini", {{s.elsewhere / "precious", s.pair.picture}}};
                    }},
        HostileCase{
            "the settings file as a file to replace",
            [](const Scene& s) {
                WriteFile(s.Config() / kSettingsTemporary, "[SETTING]\nFILENAME=/etc/passwd\n");
                return Journal{kSettingsReplaced, {{s.Config() / kSettingsTemporary, s.pair.settings}}};
            }},
        HostileCase{
            "a temporary that is a link",
            [](const Scene& s) {
                fs::create_symlink(s.elsewhere / "precious", s.Pictures() / ".p.bmp.1.0.tmp");
                return Journal{kSettingsReplaced, {{s.Pictures() / ".p.bmp.1.0.tmp", s.pair.picture}}};
            }},
        HostileCase{
            "a file to replace that is a link",
            [](const Scene& s) {
                fs::remove(s.pair.picture);
                fs::create_symlink(s.elsewhere / "precious", s.pair.picture);
                WriteFile(s.Pictures() / ".p.bmp.1.0.tmp", "hostile");
                return Journal{kSettingsReplaced, {{s.Pictures() / ".p.bmp.1.0.tmp", s.pair.picture}}};
            }},
        HostileCase{"a file the settings do not name", [](const Scene& s) {
                        WriteFile(s.Pictures() / "other.bmp", "precious");
                        WriteFile(s.Pictures() / ".other.bmp.1.0.tmp", "hostile");
                        return Journal{kSettingsReplaced,
                                       {{s.Pictures() / ".other.bmp.1.0.tmp", s.Pictures() / "other.bmp"}}};
                    }}));

// The writer's own journal, left by a kill after the settings were
// replaced, is still obeyed, and quietly.
TEST(ProfileHostileJournalTest, TheWritersOwnJournalIsObeyed) {
    TempDir temp;
    const Scene scene(temp.path());
    WriteFile(scene.Pictures() / ".p.bmp.1.0.tmp", "new picture");
    WriteFile(scene.Config() / ".Vantel.ini.journal",
              JournalText({kSettingsReplaced, {{scene.Pictures() / ".p.bmp.1.0.tmp", scene.pair.picture}}}));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(Win32BeginProfileRead(scene.pair.settings.c_str(), 1000));
    Win32EndProfileRead();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(ReadFile(scene.pair.picture), "new picture");
    EXPECT_EQ(ListDirectory(scene.Config()), (std::vector<std::string>{".Vantel.ini.lock", "Vantel.ini"}));
}

// A journal is obeyed only for files the settings name, so a save of any
// other file is refused whole.
TEST(ProfileUpdateNamingTest, AFileNoValueNamesIsRefusedAndNothingChanges) {
    TempDir temp;
    const Pair pair(temp.path());
    ASSERT_TRUE(pair.Save(1, pair.picture));
    const std::vector<std::string> before = pair.Snapshot();
    const fs::path other = pair.picture.parent_path() / "other.bmp";
    Win32BeginProfileUpdate(pair.settings.c_str());
    WritePrivateProfileStringA("SETTING", "SERIAL", "2", pair.settings.c_str());
    Win32AddProfileUpdateFile(other.c_str(), "2", 1);
    EXPECT_FALSE(Win32EndProfileUpdate());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    char refused[4096];
    EXPECT_EQ(Win32GetProfileUpdateFailure(refused, sizeof refused), 1);
    EXPECT_EQ(refused, other.string());
    EXPECT_EQ(pair.Snapshot(), before);
}

// Under the lock no writer lives: every temporary of the settings' shape
// goes, whatever pid it names; other names stay.
TEST(ProfileLeftoverTest, AReaderUnderTheLockRemovesWritersTemporaries) {
    TempDir temp;
    const Pair pair(temp.path());
    ASSERT_TRUE(pair.Save(1, pair.picture));
    const fs::path config = pair.settings.parent_path();
    const std::string ownPid = std::to_string(getpid());
    for (const std::string& name :
         std::vector<std::string>{".Vantel.ini.4194303.0.tmp", ".Vantel.ini." + ownPid + ".7.tmp",
                                  ".Vantel.ini.x.0.tmp", "Vantel.ini.1.0.tmp", ".Other.ini.1.0.tmp"})
        WriteFile(config / name, "left");
    EXPECT_TRUE(Win32BeginProfileRead(pair.settings.c_str(), 1000));
    Win32EndProfileRead();
    EXPECT_EQ(ListDirectory(config),
              (std::vector<std::string>{".Other.ini.1.0.tmp", ".Vantel.ini.lock", ".Vantel.ini.x.0.tmp",
                                        "Vantel.ini", "Vantel.ini.1.0.tmp"}));
}

}  // namespace
