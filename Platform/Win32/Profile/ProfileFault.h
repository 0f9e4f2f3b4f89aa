// Test-only hook of the profile functions. Nothing outside tests arms it;
// unarmed it costs one test per update that carries files.
#pragma once

#include <chrono>

namespace win32_profile {

// Where in its commit an update that carries files pauses, with the
// writers' lock and the commit gate held.
enum class CommitPausePoint {
    // Before the profile is replaced: a reader without the lock meets the
    // gate busy and the update not yet made, its temporaries all written.
    BeforeProfile,
    // After the profile was replaced and before the files take their names:
    // the moment a reader without the lock would meet new values beside old
    // files, and where a writer killed leaves the update for the next holder
    // of the lock to finish.
    AfterProfile,
};

// From now on, every update that carries files waits `pause` at `point`.
// Zero turns it off.
void SetProfileCommitPause(std::chrono::microseconds pause,
                           CommitPausePoint point = CommitPausePoint::AfterProfile);

}  // namespace win32_profile
