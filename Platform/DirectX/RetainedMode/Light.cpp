#include "Platform/DirectX/RetainedMode/Light.h"

#include <algorithm>

namespace rm {

Light* Light::Create(D3DRMLIGHTTYPE type, D3DVALUE red, D3DVALUE green, D3DVALUE blue) {
    if (type != D3DRMLIGHT_AMBIENT && type != D3DRMLIGHT_DIRECTIONAL) return nullptr;
    const Vec3 rgb{red, green, blue};
    if (!IsFinite(rgb)) return nullptr;
    return new Light(type, rgb);
}

Light* Light::From(IDirect3DRMLight* light) {
    return dynamic_cast<Light*>(light);
}

HRESULT Light::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject);
}

D3DCOLOR Light::GetColor() {
    const auto channel = [](float c) { return static_cast<DWORD>(std::clamp(c, 0.0f, 1.0f) * 255.0f); };
    return 0xFF000000u | channel(rgb_.x) << 16 | channel(rgb_.y) << 8 | channel(rgb_.z);
}

}  // namespace rm
