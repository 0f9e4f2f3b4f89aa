#include "Settings/Version.h"

namespace vantel_settings {

const char kVersion[] = VANTEL_VERSION;

const char kCopyrightNotice[] =
    "Copyright (c) 2026 The Vantel developers\n"
    "Released under the MIT (Expat) licence: free to use, copy, change and share, without warranty.\n";

}  // namespace vantel_settings
