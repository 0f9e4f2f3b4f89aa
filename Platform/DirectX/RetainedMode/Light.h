// Lights: ambient, and directional shining along +z of the frame that
// carries it.
#pragma once

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3DRM.h"
#include "Platform/DirectX/RetainedMode/Vec3.h"

namespace rm {

class Light final : public dx::ComObject<IDirect3DRMLight> {
public:
    // Null unless `type` is ambient or directional and the colour is finite.
    static Light* Create(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green, D3DVALUE blue);
    // The object behind a light of this library, or null.
    static Light* From(IDirect3DRMLight* light);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    D3DRMLIGHTTYPE GetType() override { return type_; }
    // The colour as 0xFFRRGGBB, each channel clamped to 0..1 first.
    D3DCOLOR GetColor() override;

    D3DRMLIGHTTYPE Type() const { return type_; }
    // Per channel, as given: lights may be brighter than 1 or negative.
    Vec3 Rgb() const { return rgb_; }

private:
    Light(D3DRMLIGHTTYPE type, Vec3 rgb) : type_(type), rgb_(rgb) {}
    ~Light() override = default;

    D3DRMLIGHTTYPE type_;
    Vec3 rgb_;
};

}  // namespace rm
