#include "Platform/DirectX/RetainedMode/Viewport.h"

#include <cmath>

#include "Platform/DirectX/DxFault.h"
#include "Platform/DirectX/Rects.h"

namespace rm {

Viewport::Viewport(Device* device, Frame* camera, DWORD x, DWORD y, DWORD width, DWORD height)
    : device_(device), camera_(camera), x_(x), y_(y), width_(width), height_(height) {}

HRESULT Viewport::Create(IDirect3DRMDevice* lpDevice, IDirect3DRMFrame* lpCamera, DWORD x, DWORD y,
                         DWORD width, DWORD height, Viewport** out) {
    *out = nullptr;
    Device* device = Device::From(lpDevice);
    if (device == nullptr) return D3DRMERR_BADDEVICE;
    Frame* camera = Frame::From(lpCamera);
    if (camera == nullptr) return D3DRMERR_BADOBJECT;
    if (width == 0 || height == 0 || std::uint64_t{x} + width > device->GetWidth() ||
        std::uint64_t{y} + height > device->GetHeight())
        return D3DRMERR_BADVALUE;
    *out = new Viewport(device, camera, x, y, width, height);
    return D3DRM_OK;
}

HRESULT Viewport::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject);
}

bool Viewport::Target(raster::Target* target) const {
    raster::Target surface;
    if (!SoftwareDeviceTarget(device_->D3DDevice(), &surface)) return false;
    if (std::uint64_t{x_} + width_ > static_cast<std::uint64_t>(surface.width) ||
        std::uint64_t{y_} + height_ > static_cast<std::uint64_t>(surface.height))
        return false;
    const LONG x = static_cast<LONG>(x_), y = static_cast<LONG>(y_);
    *target = SoftwareTargetPart(surface,
                                 RECT{x, y, x + static_cast<LONG>(width_), y + static_cast<LONG>(height_)});
    return true;
}

void Viewport::ReportDrawn(const RECT& area) {
    IDirect3DDevice2* device = device_->D3DDevice();
    const LONG x = static_cast<LONG>(x_), y = static_cast<LONG>(y_);
    SoftwareDeviceDamage(device, RECT{area.left + x, area.top + y, area.right + x, area.bottom + y});
    SoftwareSurfaceWrites writes{};
    if (SoftwareDeviceWrites(device, &writes)) drawnAfterOwn_ = writes.drawn;
}

HRESULT Viewport::Clear() {
    if (const HRESULT fault = DxFault::Check(DxCall::Viewport_Clear)) return fault;
    raster::Target target;
    if (!Target(&target)) return DDERR_SURFACELOST;
    SoftwareSurfaceWrites writes{};
    const bool known = SoftwareDeviceWrites(device_->D3DDevice(), &writes);
    // Outside dirty_, the viewport still holds the last full clear while no
    // other device has drawn there and its colours stay. One write through a
    // lock since the previous Clear (a line of text put over each frame) is
    // cleared on its own; more, or unknown ones, need the whole viewport.
    const bool kept = known && cleared_ && writes.palette == seen_.palette && writes.drawn == drawnAfterOwn_;
    const std::uint64_t foreign = writes.foreign - seen_.foreign;
    const RECT whole{0, 0, static_cast<LONG>(width_), static_cast<LONG>(height_)};
    RECT areas[2] = {dirty_, RECT{}};
    if (kept && foreign == 1) {
        const LONG x = static_cast<LONG>(x_), y = static_cast<LONG>(y_);
        areas[1] = RECT{writes.lastForeign.left - x, writes.lastForeign.top - y, writes.lastForeign.right - x,
                        writes.lastForeign.bottom - y};
        dx::Intersect(&areas[1], whole);
    } else if (!kept || foreign != 0) {
        areas[0] = whole;
        cleared_ = known;
    }
    seen_ = writes;
    dirty_ = RECT{};
    for (const RECT& area : areas) {
        if (dx::IsEmpty(area)) continue;
        SoftwareDeviceRasterizer(device_->D3DDevice())
            .Clear(SoftwareTargetPart(target, area), 0x000000u, 0xFFFFu);
        ReportDrawn(area);
    }
    return D3DRM_OK;
}

HRESULT Viewport::Render(IDirect3DRMFrame* lpFrame) {
    if (const HRESULT fault = DxFault::Check(DxCall::Viewport_Render)) return fault;
    const Frame* scene = Frame::From(lpFrame);
    if (scene == nullptr) return D3DRMERR_BADOBJECT;
    raster::Target target;
    if (!Target(&target)) return DDERR_SURFACELOST;
    const Projection projection{front_, back_, field_, static_cast<int>(width_), static_cast<int>(height_)};
    renderer_.Draw(*scene, *camera_.get(), projection, SoftwareDeviceRasterizer(device_->D3DDevice()), target,
                   device_->Shading(), device_->Filter());
    const RECT& drawn = renderer_.DrawnBounds();
    if (!dx::IsEmpty(drawn)) {
        dirty_ = dx::Union(dirty_, drawn);
        ReportDrawn(drawn);
    }
    return D3DRM_OK;
}

HRESULT Viewport::SetBack(D3DVALUE back) {
    if (const HRESULT fault = DxFault::Check(DxCall::Viewport_SetBack)) return fault;
    if (!std::isfinite(back) || !(back > front_)) return D3DRMERR_BADVALUE;
    back_ = back;
    return D3DRM_OK;
}

HRESULT Viewport::SetFront(D3DVALUE front) {
    if (!(front > 0.0f) || !(front < back_)) return D3DRMERR_BADVALUE;
    front_ = front;
    return D3DRM_OK;
}

HRESULT Viewport::SetField(D3DVALUE field) {
    if (!(field > 0.0f) || !std::isfinite(field)) return D3DRMERR_BADVALUE;
    field_ = field;
    return D3DRM_OK;
}

HRESULT Viewport::ForceUpdate(DWORD x1, DWORD y1, DWORD x2, DWORD y2) {
    if (const HRESULT fault = DxFault::Check(DxCall::Viewport_ForceUpdate)) return fault;
    if (x1 > x2 || y1 > y2 || x2 > width_ || y2 > height_) return D3DRMERR_BADVALUE;
    DxFault::RecordForceUpdate({x1, y1, x2, y2});
    ReportDrawn(
        RECT{static_cast<LONG>(x1), static_cast<LONG>(y1), static_cast<LONG>(x2), static_cast<LONG>(y2)});
    return D3DRM_OK;
}

HRESULT Viewport::GetCamera(IDirect3DRMFrame** camera) {
    if (camera == nullptr) return D3DRMERR_BADVALUE;
    *camera = camera_.get();
    (*camera)->AddRef();
    return D3DRM_OK;
}

}  // namespace rm
