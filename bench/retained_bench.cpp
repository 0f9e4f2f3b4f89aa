// A whole Retained Mode frame of the screensaver's kind, step by step,
// against the memory floor, and the heap allocations it makes.
//
// The scene is the saver's: a scene root, a camera at the origin looking
// along +z, ambient light 0.1 and a directional light 0.9 along +z, and the
// textured box of edge 4 bouncing between the saver's walls and turning 5
// degrees a frame, here starting at z = 30 so that a run sweeps it from
// about 30 to 90. Per frame: the box's motion step and Move, Clear,
// Render, Update, and the blit to the primary surface (the off-screen
// screen image: no window, no pacing). The floor is one memset of colour
// and depth plus one memcpy of the frame. Prints median milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "Platform/DirectX/D3DRM.h"
#include "Platform/DirectX/DirectDraw/ScreenImage.h"
#include "ScreenSaver/BoxShape.h"
#include "bench/MemoryFloor.h"
#include "bench/SurfaceDesc.h"

namespace {

// Every heap allocation of the process goes through the replaced operator
// new below and is counted here.
long allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++allocations;
    return std::malloc(size != 0 ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void* operator new(std::size_t size, std::align_val_t align) {
    ++allocations;
    const auto alignment = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) {
    return operator new(size, align);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}

namespace {

constexpr int kWarmUp = 10;
constexpr int kFrames = 300;
using bench::Clock;
using bench::Median;
using bench::Ms;

// The saver's motion step: turn at the walls, then set velocity and turn.
struct Motion {
    int dir[3] = {1, 1, 1};

    void Step(IDirect3DRMFrame2* box, IDirect3DRMFrame2* scene) {
        static constexpr float kLow[3] = {-7.0f, -4.0f, 18.0f};
        static constexpr float kHigh[3] = {7.0f, 4.0f, 110.0f};
        static constexpr double kStep[3] = {0.1, 0.08, 0.2};
        D3DVECTOR p;
        box->GetPosition(scene, &p);
        const float at[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i)
            if (!(kLow[i] <= at[i] && at[i] <= kHigh[i])) dir[i] = -dir[i];
        box->SetVelocity(scene, static_cast<float>(dir[0] * kStep[0]), static_cast<float>(dir[1] * kStep[1]),
                         static_cast<float>(dir[2] * kStep[2]), FALSE);
        box->SetRotation(scene, dir[0] > 0 ? 1.0f : -1.0f, dir[1] > 0 ? 1.0f : -1.0f,
                         dir[2] > 0 ? 1.0f : -1.0f, static_cast<float>(5.0 * 3.14159265359 / 180));
    }
};

IDirect3DRMTexture2* Canvas(IDirect3DRM2* rm) {
    std::vector<std::uint32_t> texels(256 * 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            texels[y * 256 + x] = static_cast<std::uint32_t>(x) << 16 | static_cast<std::uint32_t>(y) << 8 |
                                  static_cast<std::uint32_t>(x ^ y);
    D3DRMIMAGE image{256, 256, 1, 1, 32, TRUE, 1024, texels.data(), nullptr, 0xFF0000u, 0xFF00u, 0xFFu, 0};
    IDirect3DRMTexture2* texture = nullptr;
    rm->CreateTexture(&image, &texture);
    return texture;
}

void AddBox(IDirect3DRM2* rm, IDirect3DRMFrame2* frame, IDirect3DRMTexture2* texture) {
    const auto& kUv = box_shape::kCornerUV;
    IDirect3DRMMeshBuilder2* builder = nullptr;
    rm->CreateMeshBuilder(&builder);
    for (DWORD f = 0; f < 6; ++f) {
        IDirect3DRMFace* face = nullptr;
        builder->CreateFace(&face);
        const box_shape::BoxFace& shape = box_shape::kBoxFaces[f];
        for (const box_shape::Corner& c : shape.corners) builder->AddVertex(c.x, c.y, c.z);
        builder->AddNormal(shape.normal.x, shape.normal.y, shape.normal.z);
        face->SetTexture(texture);
        for (DWORD k = 0; k < 4; ++k) {
            face->AddVertexAndNormalIndexed(4 * f + k, f);
            face->SetTextureCoordinates(k, kUv[k][0], kUv[k][1]);
        }
        face->Release();
    }
    builder->SetColor(0xFFFFFFFFu);
    IDirect3DRMMesh* mesh = nullptr;
    builder->CreateMesh(&mesh);
    frame->AddVisual(mesh);
    mesh->Release();
    builder->Release();
}

struct Steps {
    double move, clear, render, update, blt, frame;
    double allocationsPerFrame;
    long setupAllocations;  // shows the counter is live
};

struct Surfaces {
    IDirectDraw* dd = nullptr;
    IDirect3D2* d3d = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawSurface* back = nullptr;

    ~Surfaces() {
        for (IUnknown* object : {static_cast<IUnknown*>(back), static_cast<IUnknown*>(primary),
                                 static_cast<IUnknown*>(d3d), static_cast<IUnknown*>(dd)})
            if (object != nullptr) object->Release();
    }
};

bool MakeSurfaces(int width, int height, Surfaces* s) {
    DxPretendDesktopSize(width, height);
    if (DirectDrawCreate(nullptr, &s->dd, nullptr) != DD_OK) return false;
    s->dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
    DDSURFACEDESC primaryDesc = bench::SurfaceDesc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE, 0, 0);
    DDSURFACEDESC backDesc =
        bench::SurfaceDesc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT,
                           DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY | DDSCAPS_3DDEVICE, width, height);
    DDSURFACEDESC zDesc = bench::SurfaceDesc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_ZBUFFERBITDEPTH,
                                             DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY, width, height);
    IDirectDrawSurface* zbuffer = nullptr;
    if (s->dd->CreateSurface(&primaryDesc, &s->primary, nullptr) != DD_OK ||
        s->dd->CreateSurface(&backDesc, &s->back, nullptr) != DD_OK ||
        s->dd->CreateSurface(&zDesc, &zbuffer, nullptr) != DD_OK)
        return false;
    const bool attached = s->back->AddAttachedSurface(zbuffer) == DD_OK;
    zbuffer->Release();
    return attached && s->dd->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&s->d3d)) == S_OK;
}

// The saver's Retained Mode objects on one device, released in reverse
// order of creation.
struct RetainedScene {
    IDirect3DDevice2* d3dDevice = nullptr;
    IDirect3DRM2* rm = nullptr;
    IDirect3DRMDevice2* device = nullptr;
    IDirect3DRMFrame2* scene = nullptr;
    IDirect3DRMFrame2* camera = nullptr;
    IDirect3DRMViewport* viewport = nullptr;
    IDirect3DRMFrame2* box = nullptr;
    IDirect3DRMTexture2* texture = nullptr;

    ~RetainedScene() {
        for (IUnknown* object :
             {static_cast<IUnknown*>(texture), static_cast<IUnknown*>(box), static_cast<IUnknown*>(viewport),
              static_cast<IUnknown*>(camera), static_cast<IUnknown*>(scene), static_cast<IUnknown*>(device),
              static_cast<IUnknown*>(rm), static_cast<IUnknown*>(d3dDevice)})
            if (object != nullptr) object->Release();
    }
};

// The Retained Mode device of `kind` on the back surface, set up as the saver sets its own.
// False when the device cannot be made.
bool MakeDevice(const Surfaces& s, const GUID& kind, RetainedScene* out) {
    if (s.d3d->CreateDevice(kind, s.back, &out->d3dDevice) != DD_OK) return false;
    IDirect3DRM* base = nullptr;
    Direct3DRMCreate(&base);
    base->QueryInterface(IID_IDirect3DRM2, reinterpret_cast<void**>(&out->rm));
    base->Release();
    out->rm->CreateDeviceFromD3D(s.d3d, out->d3dDevice, &out->device);
    out->device->SetBufferCount(2);
    out->device->SetShades(32);
    out->device->SetQuality(D3DRMRENDER_GOURAUD);
    out->device->SetDither(FALSE);
    out->device->SetTextureQuality(D3DRMTEXTURE_LINEAR);
    return true;
}

// The saver's scene: camera and viewport, its two lights, the textured box.
void BuildScene(int width, int height, RetainedScene* out) {
    IDirect3DRM2* rm = out->rm;
    rm->CreateFrame(nullptr, &out->scene);
    rm->CreateFrame(out->scene, &out->camera);
    out->camera->SetOrientation(out->scene, 0, 0, 1, 0, 1, 0);
    rm->CreateViewport(out->device, out->camera, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height),
                       &out->viewport);
    out->viewport->SetBack(5000.0f);
    IDirect3DRMLight* light = nullptr;
    rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.1f, 0.1f, 0.1f, &light);
    out->scene->AddLight(light);
    light->Release();
    IDirect3DRMFrame2* lightFrame = nullptr;
    rm->CreateFrame(out->scene, &lightFrame);
    rm->CreateLightRGB(D3DRMLIGHT_DIRECTIONAL, 0.9f, 0.9f, 0.9f, &light);
    lightFrame->AddLight(light);
    light->Release();
    lightFrame->Release();
    rm->CreateFrame(out->scene, &out->box);
    out->box->SetPosition(out->scene, 0.0f, 0.0f, 30.0f);
    out->texture = Canvas(rm);
    AddBox(rm, out->box, out->texture);
}

// The steps of a frame, in the order they run.
enum FrameStep { kMove, kClear, kRender, kUpdate, kBlt, kFrameSteps };

// Milliseconds of each step over the timed frames, and their allocations.
struct StepTimes {
    std::vector<double> step[kFrameSteps], frame;
    long allocations = 0;
};

void TimeFrames(const Surfaces& s, const RetainedScene& r, int width, int height, StepTimes* out) {
    Motion motion;
    RECT screen{0, 0, width, height};
    for (std::vector<double>& v : out->step) v.reserve(kFrames);
    out->frame.reserve(kFrames);
    for (int f = 0; f < kWarmUp + kFrames; ++f) {
        const long before = allocations;
        Clock::time_point at[kFrameSteps + 1];
        at[kMove] = Clock::now();
        motion.Step(r.box, r.scene);
        r.scene->Move(1.0f);
        at[kClear] = Clock::now();
        r.viewport->Clear();
        at[kRender] = Clock::now();
        r.viewport->Render(r.scene);
        at[kUpdate] = Clock::now();
        r.device->Update();
        at[kBlt] = Clock::now();
        s.primary->Blt(&screen, s.back, &screen, DDBLT_WAIT, nullptr);
        at[kFrameSteps] = Clock::now();
        if (f < kWarmUp) continue;
        out->allocations += allocations - before;
        for (int step = 0; step < kFrameSteps; ++step) out->step[step].push_back(Ms(at[step + 1] - at[step]));
        out->frame.push_back(Ms(at[kFrameSteps] - at[kMove]));
    }
}

// False when the device cannot be made.
bool RunDevice(const Surfaces& s, const GUID& kind, int width, int height, Steps* steps) {
    const long setupStart = allocations;
    RetainedScene scene;
    if (!MakeDevice(s, kind, &scene)) return false;
    BuildScene(width, height, &scene);
    const long setupAllocations = allocations - setupStart;
    StepTimes times;
    TimeFrames(s, scene, width, height, &times);
    *steps = {Median(times.step[kMove]),
              Median(times.step[kClear]),
              Median(times.step[kRender]),
              Median(times.step[kUpdate]),
              Median(times.step[kBlt]),
              Median(times.frame),
              static_cast<double>(times.allocations) / kFrames,
              setupAllocations};
    return true;
}

}  // namespace

int main() {
    const struct { int width, height; } sizes[] = {{640, 480}, {1280, 720}, {1920, 1080}};
    const struct {
        const char* name;
        const GUID* kind;
    } devices[] = {{"MMX", &IID_IDirect3DMMXDevice}, {"ramp", &IID_IDirect3DRampDevice}};
    std::printf(
        "median ms per step and frame over %d frames; allocations per frame after %d warm-up frames\n",
        kFrames, kWarmUp);
    for (const auto& size : sizes) {
        Surfaces surfaces;
        if (!MakeSurfaces(size.width, size.height, &surfaces)) {
            std::printf("%4dx%-4d  (no surfaces)\n", size.width, size.height);
            continue;
        }
        const double floor = bench::MemoryFloor(size.width, size.height, kFrames).frame;
        std::printf("%4dx%-4d  floor  memset colour+z + memcpy frame %7.3f\n", size.width, size.height,
                    floor);
        for (const auto& device : devices) {
            Steps steps{};
            if (!RunDevice(surfaces, *device.kind, size.width, size.height, &steps)) {
                std::printf("%4dx%-4d  %-4s  (not available)\n", size.width, size.height, device.name);
                continue;
            }
            std::printf(
                "%4dx%-4d  %-4s  move %6.3f  clear %6.3f  render %6.3f  update %6.3f  blt %6.3f  frame %7.3f "
                " "
                "frame/floor %5.2f  allocs/frame %g (set-up %ld)\n",
                size.width, size.height, device.name, steps.move, steps.clear, steps.render, steps.update,
                steps.blt, steps.frame, steps.frame / floor, steps.allocationsPerFrame,
                steps.setupAllocations);
        }
    }
    return 0;
}
