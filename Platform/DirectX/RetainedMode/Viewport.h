// Viewports: a rectangle of a device's render surface that shows a frame
// hierarchy through a camera frame.
#pragma once

#include "Platform/DirectX/RetainedMode/Device.h"
#include "Platform/DirectX/RetainedMode/Frame.h"
#include "Platform/DirectX/RetainedMode/SceneRenderer.h"
#include "Platform/DirectX/SoftwareDevice.h"

namespace rm {

class Viewport final : public dx::ComObject<IDirect3DRMViewport> {
public:
    // D3DRM_OK and a viewport of `device` at (x, y), width x height pixels,
    // which must lie inside the device's surface.
    static HRESULT Create(IDirect3DRMDevice* device, IDirect3DRMFrame* camera, DWORD x, DWORD y, DWORD width,
                          DWORD height, Viewport** out);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    // Clears colour and depth. While the render surface has seen no writes
    // but this viewport's own since its last full clear, only what it drew
    // since the previous Clear is cleared.
    HRESULT Clear() override;
    // DDERR_SURFACELOST, drawing nothing, while the render surface is lost.
    HRESULT Render(IDirect3DRMFrame* frame) override;
    // Planes and field keep 0 < front < back and field > 0.
    HRESULT SetBack(D3DVALUE back) override;
    D3DVALUE GetBack() override { return back_; }
    HRESULT SetFront(D3DVALUE front) override;
    D3DVALUE GetFront() override { return front_; }
    HRESULT SetField(D3DVALUE field) override;
    D3DVALUE GetField() override { return field_; }
    // Marks the rectangle, within the viewport, as to be drawn afresh: the
    // next presentation of the render surface copies it whatever else it
    // copies, so a screen that lost the picture gets it back whole.
    HRESULT ForceUpdate(DWORD x1, DWORD y1, DWORD x2, DWORD y2) override;
    HRESULT GetCamera(IDirect3DRMFrame** camera) override;
    DWORD GetWidth() override { return width_; }
    DWORD GetHeight() override { return height_; }

private:
    Viewport(Device* device, Frame* camera, DWORD x, DWORD y, DWORD width, DWORD height);
    ~Viewport() override = default;

    // The viewport's rectangle of the render surface; false while it is lost.
    bool Target(raster::Target* target) const;
    // Tells the device that `area` (viewport coordinates) changed, and notes
    // the surface's draw count that follows.
    void ReportDrawn(const RECT& area);

    dx::Ref<Device> device_;
    dx::Ref<Frame> camera_;
    DWORD x_;
    DWORD y_;
    DWORD width_;
    DWORD height_;
    float front_ = 1.0f;
    float back_ = 100.0f;
    float field_ = 0.5f;
    SceneRenderer renderer_;
    bool cleared_ = false;             // a full clear happened
    SoftwareSurfaceWrites seen_{};     // the surface's writes at our previous Clear
    std::uint64_t drawnAfterOwn_ = 0;  // the surface's draw count after our last report
    RECT dirty_{};                     // drawn since the previous Clear
};

}  // namespace rm
