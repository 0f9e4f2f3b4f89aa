// Frame cost of the software devices against the memory floor.
//
// Per frame, as the screensaver does it: clear the back surface and its
// z-buffer, draw a textured, lit box (12 triangles, about a sixth of the
// screen's height) turning a little every frame, and blit the frame to the
// primary surface (the off-screen screen image: no window, no pacing).
// The floor is what no renderer can beat: one memset of colour and depth
// and one memcpy of the frame. Prints the median milliseconds of each step.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "Platform/DirectX/DirectDraw/ScreenImage.h"
#include "Platform/DirectX/DxFault.h"
#include "Platform/DirectX/SoftwareDevice.h"
#include "bench/MemoryFloor.h"
#include "bench/SurfaceDesc.h"

namespace {

constexpr int kFrames = 200;
using bench::Clock;
using bench::Median;
using bench::Ms;

struct Vec {
    float x, y, z;
};

Vec Turn(Vec p, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    const Vec y{c * p.x + s * p.z, p.y, -s * p.x + c * p.z};  // about y
    const float c2 = std::cos(angle * 0.7f), s2 = std::sin(angle * 0.7f);
    return {y.x, c2 * y.y - s2 * y.z, s2 * y.y + c2 * y.z};  // about x
}

// The box's 12 triangles, turned by `angle`, lit by one directional light,
// projected onto a width × height target so that it is about height / 6 across.
void BuildBox(float angle, int width, int height, raster::Vertex out[36]) {
    static const Vec kNormals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    static const float kCorners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    const Vec light{0.3f, 0.5f, -0.81f};
    const float distance = 5.0f, focal = 5.0f * static_cast<float>(height) / 12.0f;
    int n = 0;
    for (const Vec& normal : kNormals) {
        // Two axes across the face.
        const Vec a = normal.x != 0 ? Vec{0, 1, 0} : Vec{1, 0, 0};
        const Vec b{normal.y * a.z - normal.z * a.y, normal.z * a.x - normal.x * a.z,
                    normal.x * a.y - normal.y * a.x};
        const Vec turned = Turn(normal, angle);
        const float lit =
            0.3f + 0.7f * std::max(0.0f, -(turned.x * light.x + turned.y * light.y + turned.z * light.z));
        raster::Vertex quad[4];
        for (int i = 0; i < 4; ++i) {
            const float s = kCorners[i][0], t = kCorners[i][1];
            const Vec p = Turn(
                {normal.x + s * a.x + t * b.x, normal.y + s * a.y + t * b.y, normal.z + s * a.z + t * b.z},
                angle);
            const float z = p.z + distance;
            quad[i] = {static_cast<float>(width) / 2 + focal * p.x / z,
                       static_cast<float>(height) / 2 - focal * p.y / z,
                       (z - 1.0f) / 9.0f,
                       1.0f / z,
                       (s + 1) / 2,
                       (t + 1) / 2,
                       lit,
                       lit,
                       lit};
        }
        for (int i : {0, 1, 2, 0, 2, 3}) out[n++] = quad[i];
    }
}

struct Steps {
    double clear, draw, present, frame;
};

// False when the device cannot be made (no SIMD rasterizer).
bool RunDevice(IDirectDraw* dd, IDirectDrawSurface* primary, IDirectDrawSurface* back, const GUID& guid,
               int width, int height, const raster::Texture& texture, Steps* steps) {
    void* d3dAnswer = nullptr;
    if (dd->QueryInterface(IID_IDirect3D2, &d3dAnswer) != S_OK) return false;
    auto* d3d = static_cast<IDirect3D2*>(d3dAnswer);
    IDirect3DDevice2* device = nullptr;
    const bool made = d3d->CreateDevice(guid, back, &device) == DD_OK;
    d3d->Release();
    if (!made) return false;

    const raster::Rasterizer& rasterizer = SoftwareDeviceRasterizer(device);
    const raster::State state{&texture, raster::Shading::Gouraud, raster::Filter::Bilinear};
    raster::Vertex box[36];
    RECT screen{0, 0, width, height};
    std::vector<double> clear, draw, present, frame;
    for (int f = 0; f < kFrames; ++f) {
        BuildBox(0.05f * static_cast<float>(f), width, height, box);
        const auto t0 = Clock::now();
        raster::Target target{};
        SoftwareDeviceTarget(device, &target);
        rasterizer.Clear(target, 0, 0xFFFF);
        // A whole clear changes the whole surface: the blit copies all of it.
        SoftwareDeviceDamage(device, screen);
        const auto t1 = Clock::now();
        rasterizer.DrawTriangles(target, state, box, 12);
        const auto t2 = Clock::now();
        primary->Blt(&screen, back, nullptr, DDBLT_WAIT, nullptr);
        const auto t3 = Clock::now();
        clear.push_back(Ms(t1 - t0));
        draw.push_back(Ms(t2 - t1));
        present.push_back(Ms(t3 - t2));
        frame.push_back(Ms(t3 - t0));
    }
    device->Release();
    *steps = {Median(clear), Median(draw), Median(present), Median(frame)};
    return true;
}

void RunSize(int width, int height, const raster::Texture& texture) {
    DxPretendDesktopSize(width, height);
    IDirectDraw* dd = nullptr;
    if (DirectDrawCreate(nullptr, &dd, nullptr) != DD_OK) return;
    dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    DDSURFACEDESC primaryDesc = bench::SurfaceDesc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE, 0, 0);
    DDSURFACEDESC backDesc =
        bench::SurfaceDesc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT,
                           DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_3DDEVICE, width, height);
    DDSURFACEDESC zDesc = bench::SurfaceDesc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_ZBUFFERBITDEPTH,
                                             DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, width, height);
    IDirectDrawSurface *primary = nullptr, *back = nullptr, *zbuffer = nullptr;
    if (dd->CreateSurface(&primaryDesc, &primary, nullptr) == DD_OK &&
        dd->CreateSurface(&backDesc, &back, nullptr) == DD_OK &&
        dd->CreateSurface(&zDesc, &zbuffer, nullptr) == DD_OK && back->AddAttachedSurface(zbuffer) == DD_OK) {
        const bench::FloorSteps floor = bench::MemoryFloor(width, height, kFrames);
        std::printf("%4dx%-4d  floor  memset colour+z %7.3f  memcpy frame %7.3f  floor %7.3f\n", width,
                    height, floor.fill, floor.copy, floor.frame);
        const struct {
            const char* name;
            const GUID* guid;
        } devices[] = {{"MMX", &IID_IDirect3DMMXDevice}, {"ramp", &IID_IDirect3DRampDevice}};
        for (const auto& device : devices) {
            Steps steps{};
            if (!RunDevice(dd, primary, back, *device.guid, width, height, texture, &steps)) {
                std::printf("%4dx%-4d  %-5s  (not available)\n", width, height, device.name);
                continue;
            }
            std::printf(
                "%4dx%-4d  %-5s  clear %7.3f  draw %7.3f  present %7.3f  frame %7.3f  frame/floor %5.2f\n",
                width, height, device.name, steps.clear, steps.draw, steps.present, steps.frame,
                steps.frame / floor.frame);
        }
    }
    for (IUnknown* object : {static_cast<IUnknown*>(zbuffer), static_cast<IUnknown*>(back),
                             static_cast<IUnknown*>(primary), static_cast<IUnknown*>(dd)})
        if (object != nullptr) object->Release();
}

}  // namespace

int main() {
    DxFault::PretendDisplayDepth(32);
    std::vector<std::uint32_t> texels(256 * 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            texels[static_cast<std::size_t>(y) * 256 + x] =
                ((x ^ y) & 32) ? 0x00E0C080u : static_cast<std::uint32_t>(x << 16 | y << 8 | 0x40);
    const raster::Texture texture{texels.data(), 256, 256};
    std::printf("median ms per frame over %d frames, 32-bit surfaces\n", kFrames);
    for (const auto& size : {std::pair{640, 480}, std::pair{1280, 720}, std::pair{1920, 1080}})
        RunSize(size.first, size.second, texture);
    return 0;
}
