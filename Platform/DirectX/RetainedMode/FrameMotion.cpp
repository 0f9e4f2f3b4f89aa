// Placement and motion of frames, relative to any reference frame.
#include <cmath>

#include "Platform/DirectX/DxFault.h"
#include "Platform/DirectX/RetainedMode/Frame.h"

namespace rm {

namespace {

// The frame of this library behind `ref`; false for a foreign object.
bool Resolve(IDirect3DRMFrame* lpRef, const Frame** ref) {
    *ref = lpRef != nullptr ? Frame::From(lpRef) : nullptr;
    return lpRef == nullptr || *ref != nullptr;
}

}  // namespace

HRESULT Frame::SetPosition(IDirect3DRMFrame* lpRef, D3DVALUE x, D3DVALUE y, D3DVALUE z) {
    const Frame* ref;
    if (!Resolve(lpRef, &ref)) return D3DRMERR_BADOBJECT;
    const Vec3 p{x, y, z};
    if (!IsFinite(p)) return D3DRMERR_BADVALUE;
    // Relative to the parent the value is kept exactly as given.
    local_.t = ref == parent_ ? p : ApplyInverse(ParentWorld(), Apply(WorldOf(ref), p));
    return D3DRM_OK;
}

HRESULT Frame::GetPosition(IDirect3DRMFrame* lpRef, D3DVECTOR* position) {
    const Frame* ref;
    if (!Resolve(lpRef, &ref)) return D3DRMERR_BADOBJECT;
    if (position == nullptr) return D3DRMERR_BADVALUE;
    *position = ToD3D(ref == parent_ ? local_.t : ApplyInverse(WorldOf(ref), Apply(ParentWorld(), local_.t)));
    return D3DRM_OK;
}

HRESULT Frame::SetOrientation(IDirect3DRMFrame* lpRef, D3DVALUE dx, D3DVALUE dy, D3DVALUE dz, D3DVALUE ux,
                              D3DVALUE uy, D3DVALUE uz) {
    const Frame* ref;
    if (!Resolve(lpRef, &ref)) return D3DRMERR_BADOBJECT;
    const Mat3 toParent = Transposed(ParentWorld().r) * WorldOf(ref).r;
    Vec3 z = toParent * Vec3{dx, dy, dz};
    const Vec3 up = toParent * Vec3{ux, uy, uz};
    if (!IsFinite(z) || !IsFinite(up) || !Normalize(&z)) return D3DRMERR_BADVALUE;
    // An up vector along the direction leaves the turn about it undefined.
    Vec3 x = Cross(up, z);
    if (!(Length(x) > 1e-6f * Length(up)) || !Normalize(&x)) return D3DRMERR_BADVALUE;
    local_.r = {x, Cross(z, x), z};
    return D3DRM_OK;
}

HRESULT Frame::GetOrientation(IDirect3DRMFrame* lpRef, D3DVECTOR* dir, D3DVECTOR* up) {
    const Frame* ref;
    if (!Resolve(lpRef, &ref)) return D3DRMERR_BADOBJECT;
    if (dir == nullptr || up == nullptr) return D3DRMERR_BADVALUE;
    const Mat3 axes = Transposed(WorldOf(ref).r) * World().r;
    *dir = ToD3D(axes.z);
    *up = ToD3D(axes.y);
    return D3DRM_OK;
}

HRESULT Frame::SetRotation(IDirect3DRMFrame* lpRef, D3DVALUE x, D3DVALUE y, D3DVALUE z, D3DVALUE theta) {
    const Frame* ref;
    if (!Resolve(lpRef, &ref)) return D3DRMERR_BADOBJECT;
    Vec3 axis = TransposeTimes(ParentWorld().r, WorldOf(ref).r * Vec3{x, y, z});
    if (!IsFinite(axis) || !std::isfinite(theta)) return D3DRMERR_BADVALUE;
    if (!Normalize(&axis)) {
        if (theta != 0.0f) return D3DRMERR_BADVALUE;
        axis = axis_;
    }
    axis_ = axis;
    theta_ = theta;
    return D3DRM_OK;
}

HRESULT Frame::GetRotation(IDirect3DRMFrame* lpRef, D3DVECTOR* axis, D3DVALUE* theta) {
    const Frame* ref;
    if (!Resolve(lpRef, &ref)) return D3DRMERR_BADOBJECT;
    if (axis == nullptr || theta == nullptr) return D3DRMERR_BADVALUE;
    *axis = ToD3D(TransposeTimes(WorldOf(ref).r, ParentWorld().r * axis_));
    *theta = theta_;
    return D3DRM_OK;
}

HRESULT Frame::SetVelocity(IDirect3DRMFrame* lpRef, D3DVALUE x, D3DVALUE y, D3DVALUE z, BOOL fRotVel) {
    const Frame* ref;
    if (!Resolve(lpRef, &ref)) return D3DRMERR_BADOBJECT;
    const Vec3 v{x, y, z};
    if (!IsFinite(v)) return D3DRMERR_BADVALUE;
    velocityTurns_ = fRotVel != FALSE;
    if (velocityTurns_)
        velocity_ = TransposeTimes(World().r, WorldOf(ref).r * v);
    else
        velocity_ = ref == parent_ ? v : TransposeTimes(ParentWorld().r, WorldOf(ref).r * v);
    return D3DRM_OK;
}

HRESULT Frame::GetVelocity(IDirect3DRMFrame* lpRef, D3DVECTOR* velocity, BOOL) {
    const Frame* ref;
    if (!Resolve(lpRef, &ref)) return D3DRMERR_BADOBJECT;
    if (velocity == nullptr) return D3DRMERR_BADVALUE;
    if (!velocityTurns_ && ref == parent_) {
        *velocity = ToD3D(velocity_);
        return D3DRM_OK;
    }
    const Vec3 world = velocityTurns_ ? World().r * velocity_ : ParentWorld().r * velocity_;
    *velocity = ToD3D(TransposeTimes(WorldOf(ref).r, world));
    return D3DRM_OK;
}

HRESULT Frame::Move(D3DVALUE delta) {
    if (const HRESULT fault = DxFault::Check(DxCall::Frame_Move)) return fault;
    if (!std::isfinite(delta)) return D3DRMERR_BADVALUE;
    Advance(delta);
    return D3DRM_OK;
}

void Frame::Advance(float delta) {
    const Vec3 velocity = velocityTurns_ ? local_.r * velocity_ : velocity_;
    local_.t = local_.t + velocity * delta;
    if (theta_ != 0.0f) {
        // About the frame's own origin: only the axes turn.
        local_.r = AxisRotation(axis_, theta_ * delta) * local_.r;
        Orthonormalize(&local_.r);
    }
    for (Frame* child : children_) child->Advance(delta);
}

}  // namespace rm
