// The software devices this Direct3D offers, in the order they are announced.
#pragma once

#include <vector>

#include "Platform/DirectX/EnumeratedDevice.h"

namespace dx {

// "Ramp Emulation" (mono), "RGB Emulation" and "MMX Emulation" (RGB); each
// with an all-zero hardware description and a filled software one.
std::vector<EnumeratedDevice> SoftwareDevices();

}  // namespace dx
