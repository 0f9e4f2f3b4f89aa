#include "ScreenSaver/DebugLevel.h"

#include <cstdlib>
#include <cstring>

int SaverDebugLevel() {
    const char* debug = std::getenv("VANTEL_DEBUG");
    if (debug == nullptr) return 0;
    if (std::strcmp(debug, "1") == 0) return 1;
    return std::strcmp(debug, "2") == 0 ? 2 : 0;
}
