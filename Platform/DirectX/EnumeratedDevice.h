// A Direct3D device as IDirect3D2::EnumDevices reports it.
#pragma once

#include <string>

#include "Platform/DirectX/D3D.h"

struct EnumeratedDevice {
    GUID guid;
    std::string description;
    std::string name;
    D3DDEVICEDESC hardware;
    D3DDEVICEDESC software;
};
