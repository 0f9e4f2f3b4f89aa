// Test-only hook of the profile functions. Nothing outside tests arms it;
// unarmed it costs one test per update that carries files.
#pragma once

#include <chrono>

namespace win32_profile {

// From now on, every update that carries files waits `pause` after the
// profile was replaced and before its files take their names, with the
// writers' lock held: the moment a reader without the lock would meet new
// values beside old files, and where a writer killed leaves the update for
// the next holder of the lock to finish. Zero turns it off.
void SetProfileCommitPause(std::chrono::microseconds pause);

}  // namespace win32_profile
