// The directory of the running program's executable: the two programs lie
// there side by side and start one another from it.
#pragma once

#include <string>

namespace vantel_settings {

// Without a trailing '/' ("/" for the root); empty when the platform cannot
// tell it, or when the path it gives may have been cut short.
std::string ProgramDirectory();

}  // namespace vantel_settings
