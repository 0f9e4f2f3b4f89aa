// The layout of the window Form3 in twips, controls in tab order.
#pragma once

#include <array>

struct ControlLayout {
    const char* name;
    int left;  // twips, from the parent's client area
    int top;
    int width;
    int height;
};

constexpr int kForm3ClientWidth = 5610;  // twips
constexpr int kForm3ClientHeight = 4305;

// Picture3 lies inside Picture1's client area; all others in the window's.
inline constexpr std::array<ControlLayout, 14> kForm3Controls{{
    {"Picture1", 120, 120, 3900, 3900},
    {"Command1", 4080, 840, 735, 375},
    {"Command2", 4080, 120, 1455, 375},
    {"Picture2", 4800, 840, 735, 375},
    {"Command6", 4080, 480, 735, 375},
    {"Command7", 4800, 480, 735, 375},
    {"Picture3", 1560, 1320, 855, 735},
    {"Command8", 4080, 1200, 1455, 375},
    {"Label1", 240, 4080, 2895, 255},
    {"Command4", 4080, 3120, 1455, 375},
    {"Command5", 4080, 2760, 1455, 375},
    {"HScroll1", 4080, 1920, 1455, 255},
    {"Label2", 4125, 1680, 495, 255},
    {"Command3", 4080, 3600, 1455, 375},
}};
