#include "Platform/DirectX/RetainedMode/Frame.h"

#include <algorithm>

#include "Platform/DirectX/RetainedMode/ObjectArray.h"

namespace rm {

Frame* Frame::From(IDirect3DRMFrame* frame) {
    return dynamic_cast<Frame*>(frame);
}

Frame::~Frame() {
    for (Frame* child : children_) {
        child->parent_ = nullptr;
        child->Release();
    }
    for (Light* light : lights_) light->Release();
    for (IDirect3DRMVisual* visual : visuals_) visual->Release();
}

HRESULT Frame::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject);
}

bool Frame::IsAncestorOf(const Frame* frame) const {
    for (const Frame* f = frame; f != nullptr; f = f->parent_)
        if (f == this) return true;
    return false;
}

void Frame::Detach(Frame* child) {
    children_.erase(std::find(children_.begin(), children_.end(), child));
    child->parent_ = nullptr;
    child->Release();
}

HRESULT Frame::AddChild(IDirect3DRMFrame* lpChild) {
    Frame* child = From(lpChild);
    if (child == nullptr) return D3DRMERR_BADOBJECT;
    if (child->IsAncestorOf(this)) return D3DRMERR_BADVALUE;
    if (child->parent_ == this) return D3DRM_OK;
    child->AddRef();
    if (child->parent_ != nullptr) child->parent_->Detach(child);
    child->parent_ = this;
    children_.push_back(child);
    return D3DRM_OK;
}

HRESULT Frame::AddLight(IDirect3DRMLight* lpLight) {
    Light* light = Light::From(lpLight);
    if (light == nullptr) return D3DRMERR_BADOBJECT;
    if (std::find(lights_.begin(), lights_.end(), light) != lights_.end()) return D3DRM_OK;
    light->AddRef();
    lights_.push_back(light);
    return D3DRM_OK;
}

HRESULT Frame::AddVisual(IDirect3DRMVisual* visual) {
    if (visual == nullptr) return D3DRMERR_BADOBJECT;
    if (std::find(visuals_.begin(), visuals_.end(), visual) != visuals_.end()) return D3DRM_OK;
    visual->AddRef();
    visuals_.push_back(visual);
    return D3DRM_OK;
}

HRESULT Frame::GetParent(IDirect3DRMFrame** parent) {
    if (parent == nullptr) return D3DRMERR_BADVALUE;
    *parent = parent_;
    if (parent_ != nullptr) parent_->AddRef();
    return D3DRM_OK;
}

HRESULT Frame::GetChildren(IDirect3DRMFrameArray** children) {
    return HandOutArray<IDirect3DRMFrameArray, IDirect3DRMFrame>(children_, children);
}

HRESULT Frame::GetLights(IDirect3DRMLightArray** lights) {
    return HandOutArray<IDirect3DRMLightArray, IDirect3DRMLight>(lights_, lights);
}

HRESULT Frame::GetVisuals(IDirect3DRMVisualArray** visuals) {
    return HandOutArray<IDirect3DRMVisualArray, IDirect3DRMVisual>(visuals_, visuals);
}

Transform Frame::ParentWorld() const {
    return parent_ != nullptr ? parent_->World() : Transform{};
}

Transform Frame::World() const {
    return parent_ != nullptr ? Compose(parent_->World(), local_) : local_;
}

Transform Frame::WorldOf(const Frame* ref) {
    return ref != nullptr ? ref->World() : Transform{};
}

}  // namespace rm
