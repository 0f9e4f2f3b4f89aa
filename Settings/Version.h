// The version both programs report, the project's own.
#pragma once

namespace vantel_settings {

// "3.0": the build's project version.
extern const char kVersion[];

}  // namespace vantel_settings
