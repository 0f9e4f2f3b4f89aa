// What the Retained Mode device needs of a software IDirect3DDevice2: the
// rasterizer it draws with and the memory of its render surface and z-buffer.
#pragma once

#include "Platform/DirectX/D3D.h"
#include "Platform/DirectX/Raster/Rasterizer.h"

// The rasterizer of a device made by IDirect3D2::CreateDevice.
const raster::Rasterizer& SoftwareDeviceRasterizer(IDirect3DDevice2* device);

// Fills `target` with the render surface and its z-buffer, ready to draw
// into. False when a surface is lost; nothing is allocated.
bool SoftwareDeviceTarget(IDirect3DDevice2* device, raster::Target* target);
