// What a host's command line gives for one run in place of the settings file.
#pragma once

#include <optional>
#include <string>

struct HostOverrides {
    std::optional<int> speed;            // as given: the scene clamps it as it does SPEED
    std::optional<std::string> texture;  // the texture bitmap's file name, in place of FILENAME
    bool showFrameRate = false;          // the frame rate in the top-left corner
};
