// A save that stalls inside its commit, the commit gate between a writer and
// a reader that could not wait, journals that name what is not their
// update's own, and the temporary files killed writers leave.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

// A writer of the pair's second save, once it has replaced the settings and
// stalls for 2.5 s before renaming the picture.
pid_t StartStalledWriter(const Pair& pair) {
    if (!pair.Save(1, pair.picture)) return -1;
    const pid_t writer = StartChild([&] {
        SetProfileCommitPause(std::chrono::milliseconds(2500));
        return pair.Save(2, pair.picture) ? 0 : 1;
    });
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (pair.Value("SERIAL") != "2" && Clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return writer;
}

// A writer stalled between replacing the settings and renaming the picture,
// longer than a reader waits: the reader goes on without the lock, and gets
// the new settings with the new picture; the writer then finishes its save.
// A reader that cannot wait for `writer`, stalled in its commit, finishes
// the update itself at once: the new pair, whole, and nothing left over.
void ExpectTheReaderFinishesTheUpdate(const Pair& pair, pid_t writer) {
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

TEST(ProfileStalledUpdateTest, AReaderThatCannotWaitGetsOneSavesPair) {
    TempDir temp;
    const Pair pair(temp.path());
    const pid_t writer = StartStalledWriter(pair);
    ASSERT_FALSE(pair.Whole()) << "the writer did not stall between the settings and the picture";

    ExpectTheReaderFinishesTheUpdate(pair, writer);
}

// The same stall met by a reader that may not rename in the folders (a
// saver another user runs on these settings): it reads the new settings
// with the new picture where the writer's journal says it lies.
TEST(ProfileStalledUpdateTest, AReaderThatMayNotWriteTheFoldersGetsOneSavesPair) {
    TempDir temp;
    const Pair pair(temp.path());
    const pid_t writer = StartStalledWriter(pair);
    ASSERT_FALSE(pair.Whole()) << "the writer did not stall between the settings and the picture";

    // Root ignores permission bits: the reader becomes nobody, who may read
    // the tree and write nothing in it; anyone else finds the folders closed.
    const bool root = geteuid() == 0;
    const auto readable = fs::perms::others_read | fs::perms::others_exec;
    for (const fs::path& folder : {temp.path(), pair.settings.parent_path(), pair.picture.parent_path()})
        fs::permissions(folder, root ? readable : fs::perms::owner_write,
                        root ? fs::perm_options::add : fs::perm_options::remove);
    const int read = RunInChild([&] {
        if (root && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) return 100;
        Win32BeginProfileRead(pair.settings.c_str(), 1000);
        char source[4096];
        const DWORD length = Win32GetProfileFileToRead(pair.Value("FILENAME").c_str(), source, sizeof source);
        const bool whole = length > 0 && ReadFile(source).starts_with(pair.Value("SERIAL") + ".");
        Win32EndProfileRead();
        return whole ? 0 : 1;
    });
    for (const fs::path& folder : {pair.settings.parent_path(), pair.picture.parent_path()})
        fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(read, 0) << "the reader got the new settings with the old picture";
    EXPECT_EQ(WaitForChild(writer), 0) << "the stalled writer's save failed";
    EXPECT_TRUE(pair.Whole());
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

    ExpectTheReaderFinishesTheUpdate(pair, writer);
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
    // The journal lies elsewhere, and a link to it beside the settings.
    bool linked = false;
};

void PrintTo(const HostileCase& example, std::ostream* out) {
    *out << example.what;
}

// The pids of two writers that died: children's, reaped.
std::string DeadPid(int which) {
    static const std::string pids[] = {std::to_string(StartChild([] { return 0; })),
                                       std::to_string(StartChild([] { return 0; }))};
    static const bool reaped = WaitForChild(std::stoi(pids[0])) == 0 && WaitForChild(std::stoi(pids[1])) == 0;
    return reaped ? pids[which] : "";
}

// A temporary of `name` as a writer of that pid names it.
std::string Tmp(const std::string& name, const std::string& pid = DeadPid(0), int counter = 0) {
    return "." + name + "." + pid + "." + std::to_string(counter) + ".tmp";
}

// The settings' temporary of a writer that never replaced them: the journal
// then says to remove the files' temporaries.
std::string SettingsTemporary() {
    return Tmp("Vantel.ini");
}
// A name no file bears: the settings were replaced, so the journal says to
// rename the files' temporaries into place.
std::string SettingsReplaced() {
    return Tmp("Vantel.ini", DeadPid(0), 1);
}

class ProfileHostileJournalTest : public testing::TestWithParam<HostileCase> {};

TEST_P(ProfileHostileJournalTest, IsSetAsideAndNothingElseChanges) {
    TempDir temp;
    const Scene scene(temp.path());
    const Journal journal = GetParam().plant(scene);
    const fs::path journalPath = scene.Config() / ".Vantel.ini.journal";
    if (GetParam().linked) {
        WriteFile(scene.elsewhere / "journal", JournalText(journal));
        fs::create_symlink(scene.elsewhere / "journal", journalPath);
    } else {
        WriteFile(journalPath, JournalText(journal));
    }
    const std::vector<std::string> before = scene.Snapshot();

    testing::internal::CaptureStderr();
    Win32BeginProfileRead(scene.pair.settings.c_str(), 1000);
    Win32EndProfileRead();
    const std::string said = testing::internal::GetCapturedStderr();

    EXPECT_EQ(scene.Snapshot(), before);
    EXPECT_FALSE(fs::exists(fs::symlink_status(journalPath)));
    EXPECT_TRUE(fs::exists(fs::symlink_status(scene.Config() / ".Vantel.ini.journal.set-aside")));
    EXPECT_TRUE(said.starts_with(std::string(program_invocation_short_name) + ": ")) << said;
    EXPECT_NE(said.find(journalPath.string()), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileHostileJournalTest,
    testing::Values(
        HostileCase{"a file elsewhere renamed over another",
                    [](const Scene& s) {
                        return Journal{SettingsReplaced(), {{s.elsewhere / "src", s.elsewhere / "precious"}}};
                    }},
        HostileCase{"a path through '..'",
                    [](const Scene& s) {
                        WriteFile(s.elsewhere / Tmp("precious"), "hostile");
                        const fs::path up = s.Pictures() / ".." / "elsewhere";
                        return Journal{SettingsReplaced(), {{up / Tmp("precious"), up / "precious"}}};
                    }},
        HostileCase{"the very file the settings name, through '..' as they name it",
                    [](const Scene& s) {
                        const fs::path up = s.Pictures() / ".." / s.Pictures().filename();
                        WriteFile(s.pair.settings, "[SETTING]\nFILENAME=" + (up / "p.bmp").string() + "\n");
                        WriteFile(s.Pictures() / Tmp("p.bmp"), "hostile");
                        return Journal{SettingsReplaced(), {{up / Tmp("p.bmp"), up / "p.bmp"}}};
                    }},
        HostileCase{"a temporary in another folder than its file",
                    [](const Scene& s) {
                        WriteFile(s.elsewhere / Tmp("p.bmp"), "hostile");
                        return Journal{SettingsReplaced(), {{s.elsewhere / Tmp("p.bmp"), s.pair.picture}}};
                    }},
        HostileCase{"a file elsewhere as the temporary to remove",
                    [](const Scene& s) {
                        WriteFile(s.Config() / SettingsTemporary(), "[SETTING]\n");
                        return Journal{SettingsTemporary(), {{s.elsewhere / "precious", s.pair.picture}}};
                    }},
        HostileCase{"the settings file as the settings' temporary",
                    [](const Scene& s) {
                        return Journal{"Vantel.ini", {{s.elsewhere / "precious", s.pair.picture}}};
                    }},
        HostileCase{
            "the settings file as a file to replace",
            [](const Scene& s) {
                WriteFile(s.Config() / SettingsTemporary(), "[SETTING]\nFILENAME=/etc/passwd\n");
                return Journal{SettingsReplaced(), {{s.Config() / SettingsTemporary(), s.pair.settings}}};
            }},
        HostileCase{"a temporary that is a link",
                    [](const Scene& s) {
                        fs::create_symlink(s.elsewhere / "precious", s.Pictures() / Tmp("p.bmp"));
                        return Journal{SettingsReplaced(), {{s.Pictures() / Tmp("p.bmp"), s.pair.picture}}};
                    }},
        HostileCase{"a file to replace that is a link",
                    [](const Scene& s) {
                        fs::remove(s.pair.picture);
                        fs::create_symlink(s.elsewhere / "precious", s.pair.picture);
                        WriteFile(s.Pictures() / Tmp("p.bmp"), "hostile");
                        return Journal{SettingsReplaced(), {{s.Pictures() / Tmp("p.bmp"), s.pair.picture}}};
                    }},
        HostileCase{"a file the settings do not name",
                    [](const Scene& s) {
                        WriteFile(s.Pictures() / "other.bmp", "precious");
                        WriteFile(s.Pictures() / Tmp("other.bmp"), "hostile");
                        return Journal{SettingsReplaced(),
                                       {{s.Pictures() / Tmp("other.bmp"), s.Pictures() / "other.bmp"}}};
                    }},
        HostileCase{"the writer's own but for being a link",
                    [](const Scene& s) {
                        WriteFile(s.Pictures() / Tmp("p.bmp"), "hostile");
                        return Journal{SettingsReplaced(), {{s.Pictures() / Tmp("p.bmp"), s.pair.picture}}};
                    },
                    true},
        HostileCase{"temporaries of two pids",
                    [](const Scene& s) {
                        const std::string other = Tmp("p.bmp", DeadPid(1));
                        WriteFile(s.Pictures() / other, "hostile");
                        return Journal{SettingsReplaced(), {{s.Pictures() / other, s.pair.picture}}};
                    }},
        HostileCase{"the pid of a living process that writes nothing",
                    [](const Scene& s) {
                        WriteFile(s.Pictures() / Tmp("p.bmp", "1"), "hostile");
                        return Journal{Tmp("Vantel.ini", "1", 1),
                                       {{s.Pictures() / Tmp("p.bmp", "1"), s.pair.picture}}};
                    }},
        HostileCase{
            "a file reached through a linked folder, named by another key", [](const Scene& s) {
                fs::create_directory_symlink(s.elsewhere, s.Pictures() / "linked");
                const fs::path precious = s.Pictures() / "linked" / "precious";
                WriteFile(s.pair.settings, ReadFile(s.pair.settings) + "\nOTHER=" + precious.string());
                WriteFile(s.elsewhere / Tmp("precious"), "hostile");
                return Journal{SettingsReplaced(), {{precious.parent_path() / Tmp("precious"), precious}}};
            }}));

// A journal that cannot be read is no writer's either: set aside, and the
// save goes on.
struct UnreadableJournal {
    const char* what;
    std::function<void(const fs::path&)> make;
};

void PrintTo(const UnreadableJournal& example, std::ostream* out) {
    *out << example.what;
}

class ProfileUnreadableJournalTest : public testing::TestWithParam<UnreadableJournal> {};

TEST_P(ProfileUnreadableJournalTest, IsSetAsideAndTheSaveGoesOn) {
    TempDir temp;
    const Pair pair(temp.path());
    ASSERT_TRUE(pair.Save(1, pair.picture));
    const fs::path journalPath = pair.settings.parent_path() / ".Vantel.ini.journal";
    GetParam().make(journalPath);

    testing::internal::CaptureStderr();
    EXPECT_TRUE(pair.Save(2, pair.picture));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(pair.Whole());
    EXPECT_EQ(pair.Value("SERIAL"), "2");
    EXPECT_FALSE(fs::exists(fs::symlink_status(journalPath)));
    EXPECT_TRUE(fs::exists(fs::symlink_status(journalPath.string() + ".set-aside")));
    EXPECT_NE(said.find(journalPath.string()), std::string::npos) << said;
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileUnreadableJournalTest,
    testing::Values(UnreadableJournal{"well-formed, of 12000 files, over 1 MiB",
                                      [](const fs::path& path) {
                                          Journal journal{SettingsReplaced(), {}};
                                          const std::string folder = "/" + std::string(60, 'd') + "/";
                                          for (int i = 0; i < 12000; ++i)
                                              journal.files.emplace_back(folder + Tmp(std::to_string(i)),
                                                                         folder + std::to_string(i));
                                          WriteFile(path, JournalText(journal));
                                      }},
                    UnreadableJournal{"sparse, of 100 MiB",
                                      [](const fs::path& path) {
                                          WriteFile(path, "");
                                          fs::resize_file(path, std::uintmax_t{100} << 20);
                                      }},
                    UnreadableJournal{"a FIFO", [](const fs::path& path) { mkfifo(path.c_str(), 0600); }},
                    UnreadableJournal{"a directory",
                                      [](const fs::path& path) { fs::create_directory(path); }}));

// The writer's own journal, left by a kill after the settings were
// replaced, is still obeyed, and quietly.
TEST(ProfileHostileJournalTest, TheWritersOwnJournalIsObeyed) {
    TempDir temp;
    const Scene scene(temp.path());
    WriteFile(scene.Pictures() / Tmp("p.bmp"), "new picture");
    WriteFile(scene.Config() / ".Vantel.ini.journal",
              JournalText({SettingsReplaced(), {{scene.Pictures() / Tmp("p.bmp"), scene.pair.picture}}}));
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
