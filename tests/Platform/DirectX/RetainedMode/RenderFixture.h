// A Retained Mode device and viewport over a software Direct3D device on an
// off-screen render surface with a z-buffer, and helpers to build scenes of
// squares and read the picture back.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/Platform/DirectX/RetainedMode/RetainedModeFixture.h"

class RenderTest : public RetainedModeTest {
protected:
    static constexpr DWORD kWidth = 640;
    static constexpr DWORD kHeight = 480;

    void SetUp() override;
    void TearDown() override;

    // A device of `kind` (IID_IDirect3DMMXDevice or IID_IDirect3DRampDevice)
    // and a viewport of the given rectangle through `camera`.
    void MakeDevice(const GUID& kind, D3DRMRENDERQUALITY quality = D3DRMRENDER_GOURAUD,
                    D3DRMTEXTUREQUALITY filter = D3DRMTEXTURE_NEAREST, DWORD x = 0, DWORD y = 0,
                    DWORD width = kWidth, DWORD height = kHeight);
    void ReleaseDevice();

    // Ambient light on the scene root; a directional one on its own frame
    // shining along `direction`.
    void AddLights(float ambient, float directional, D3DVECTOR direction,
                   D3DVECTOR directionalRgb = {1, 1, 1});
    // A face with these corners and one normal, on a frame of its own.
    void AddFace(const std::vector<D3DVECTOR>& corners, D3DVECTOR normal, D3DCOLOR color = 0xFFFFFFFFu,
                 IDirect3DRMTexture* texture = nullptr, const std::vector<D3DVECTOR>& uv = {});
    // A square of half-side `half` facing the camera at distance z, corners
    // clockwise as the camera sees them (or anticlockwise when `away`).
    void AddSquare(float z, float half, D3DCOLOR color = 0xFFFFFFFFu, IDirect3DRMTexture* texture = nullptr,
                   bool away = false);

    void RenderScene();
    // The render surface's pixel, 0x00RRGGBB.
    std::uint32_t Pixel(int x, int y);
    std::vector<std::uint32_t> Picture();
    void FillSurface(std::uint32_t xrgb);

    IDirectDraw* dd = nullptr;
    IDirect3D2* d3d = nullptr;
    IDirectDrawSurface* back = nullptr;
    IDirect3DDevice2* d3dDevice = nullptr;
    IDirect3DRMDevice2* device = nullptr;
    IDirect3DRMViewport* viewport = nullptr;
    IDirect3DRMFrame2* scene = nullptr;
    IDirect3DRMFrame2* camera = nullptr;
};

// True when every channel of the two colours differs by at most `tolerance`.
bool Near(std::uint32_t a, std::uint32_t b, int tolerance = 1);
