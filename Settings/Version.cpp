#include "Settings/Version.h"

namespace vantel_settings {

const char kVersion[] = VANTEL_VERSION;

}  // namespace vantel_settings
