// Frames: a hierarchy of placements that carries lights and visuals.
//
// A frame without a parent is a scene root. Parents hold a reference to each
// child; a child knows its parent without holding it, and a parent that goes
// away leaves its children as roots of their own.
//
// Each frame keeps its placement relative to its parent (a rotation whose
// columns are the frame's axes, and its origin), and its motion in the
// parent's space: a velocity and a turn per advance. A null reference frame
// means world space, in which scene roots stand; it is the scene root's own
// space while the root keeps its default placement.
#pragma once

#include <vector>

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3DRM.h"
#include "Platform/DirectX/RetainedMode/Light.h"
#include "Platform/DirectX/RetainedMode/Vec3.h"

namespace rm {

class Frame final : public dx::ComObject<IDirect3DRMFrame2> {
public:
    Frame() = default;
    // The object behind a frame of this library, or null.
    static Frame* From(IDirect3DRMFrame* frame);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;

    // Moves `child` (with its placement relative to its parent unchanged)
    // below this frame. A frame cannot become its own descendant.
    HRESULT AddChild(IDirect3DRMFrame* child) override;
    HRESULT AddLight(IDirect3DRMLight* light) override;
    HRESULT AddVisual(IDirect3DRMVisual* visual) override;
    HRESULT GetParent(IDirect3DRMFrame** parent) override;
    HRESULT GetChildren(IDirect3DRMFrameArray** children) override;
    HRESULT GetLights(IDirect3DRMLightArray** lights) override;
    HRESULT GetVisuals(IDirect3DRMVisualArray** visuals) override;

    HRESULT SetPosition(IDirect3DRMFrame* ref, D3DVALUE x, D3DVALUE y, D3DVALUE z) override;
    HRESULT GetPosition(IDirect3DRMFrame* ref, D3DVECTOR* position) override;
    HRESULT SetOrientation(IDirect3DRMFrame* ref, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux,
                           D3DVALUE uy, D3DVALUE uz) override;
    HRESULT GetOrientation(IDirect3DRMFrame* ref, D3DVECTOR* dir, D3DVECTOR* up) override;
    // The axis is kept in the parent's space as it stood when set; a zero
    // axis is allowed only with a zero angle (no turning).
    HRESULT SetRotation(IDirect3DRMFrame* ref, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta) override;
    HRESULT GetRotation(IDirect3DRMFrame* ref, D3DVECTOR* axis, D3DVALUE* theta) override;
    // With fRotVel the velocity is kept in the frame's own space and turns
    // with it; otherwise in the parent's space.
    HRESULT SetVelocity(IDirect3DRMFrame* ref, D3DVALUE x, D3DVALUE y, D3DVALUE z, BOOL fRotVel) override;
    // The velocity in force, relative to `ref`. Turning is about the frame's
    // own origin and adds nothing to it, so fRotVel changes nothing here.
    HRESULT GetVelocity(IDirect3DRMFrame* ref, D3DVECTOR* velocity, BOOL fRotVel) override;
    HRESULT Move(D3DVALUE delta) override;

    const std::vector<Frame*>& Children() const { return children_; }
    const std::vector<Light*>& Lights() const { return lights_; }
    const std::vector<IDirect3DRMVisual*>& Visuals() const { return visuals_; }
    const Transform& Local() const { return local_; }
    // Frame space to world space.
    Transform World() const;

private:
    ~Frame() override;

    // World space to the space of `ref` (null: world).
    static Transform WorldOf(const Frame* ref);
    Transform ParentWorld() const;
    bool IsAncestorOf(const Frame* frame) const;
    void Detach(Frame* child);
    void Advance(float delta);

    Frame* parent_ = nullptr;
    std::vector<Frame*> children_;
    std::vector<Light*> lights_;
    std::vector<IDirect3DRMVisual*> visuals_;

    Transform local_;
    Vec3 velocity_;
    bool velocityTurns_ = false;  // velocity_ in own space rather than the parent's
    Vec3 axis_{0.0f, 1.0f, 0.0f};
    float theta_ = 0.0f;
};

}  // namespace rm
