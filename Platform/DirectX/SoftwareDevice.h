// What the Retained Mode device needs of a software IDirect3DDevice2: the
// rasterizer it draws with and the memory of its render surface and z-buffer.
#pragma once

#include <cstdint>

#include "Platform/DirectX/D3D.h"
#include "Platform/DirectX/Raster/Rasterizer.h"

// The rasterizer of a device made by IDirect3D2::CreateDevice.
const raster::Rasterizer& SoftwareDeviceRasterizer(IDirect3DDevice2* device);

// Fills `target` with the render surface and its z-buffer, ready to draw
// into. False when a surface is lost; nothing is allocated.
bool SoftwareDeviceTarget(IDirect3DDevice2* device, raster::Target* target);

// The part of `target` that `area` (target coordinates, inside it) covers.
raster::Target SoftwareTargetPart(const raster::Target& target, const RECT& area);

// What has changed the render surface's memory, so that a caller can tell
// whether what it drew and cleared there is still as it left it.
struct SoftwareSurfaceWrites {
    // Writes other than the devices' drawing: locks, blits into the surface,
    // restores and losses, of the render surface and of its z-buffer.
    std::uint64_t foreign;
    // Drawing reported through SoftwareDeviceDamage, by any device.
    std::uint64_t drawn;
    // The generation of the render surface's palette (0: none); its colours
    // decide which index a colour is drawn with.
    std::uint64_t palette;
    // Where the latest foreign write of the render surface and the latest of
    // its z-buffer went (surface coordinates; empty when there was none), so
    // that a caller who missed exactly one can make up for that one alone.
    RECT lastForeign;
};

// Fills `writes` for the render surface of `device`. False for a device
// that is not a software one.
bool SoftwareDeviceWrites(IDirect3DDevice2* device, SoftwareSurfaceWrites* writes);

// Reports that drawing through `device` changed `rect` of the render surface
// (surface coordinates; clipped to it), for presentation to copy.
void SoftwareDeviceDamage(IDirect3DDevice2* device, const RECT& rect);
