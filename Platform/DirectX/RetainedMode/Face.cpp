#include "Platform/DirectX/RetainedMode/Face.h"

#include <cmath>

namespace rm {

Face* Face::CloneFor(const Geometry* owner) const {
    Face* copy = new Face(owner);
    copy->corners_ = corners_;
    copy->color_ = color_;
    copy->texture_.Reset(texture_.get());
    return copy;
}

HRESULT Face::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject);
}

HRESULT Face::AddVertexAndNormalIndexed(DWORD vertex, DWORD normal) {
    if (owner_ == nullptr) return D3DRMERR_BADOBJECT;
    if (vertex >= owner_->vertices.size() || normal >= owner_->normals.size()) return D3DRMERR_BADVALUE;
    corners_.push_back({vertex, normal, 0.0f, 0.0f});
    return D3DRM_OK;
}

HRESULT Face::SetTexture(IDirect3DRMTexture* lpTexture) {
    Texture* texture = lpTexture != nullptr ? Texture::From(lpTexture) : nullptr;
    if (lpTexture != nullptr && texture == nullptr) return D3DRMERR_BADOBJECT;
    texture_.Reset(texture);
    return D3DRM_OK;
}

HRESULT Face::SetTextureCoordinates(DWORD corner, D3DVALUE u, D3DVALUE v) {
    if (corner >= corners_.size() || !std::isfinite(u) || !std::isfinite(v)) return D3DRMERR_BADVALUE;
    corners_[corner].u = u;
    corners_[corner].v = v;
    return D3DRM_OK;
}

HRESULT Face::SetColor(D3DCOLOR color) {
    color_ = color;
    return D3DRM_OK;
}

HRESULT Face::GetVertex(DWORD corner, D3DVECTOR* position, D3DVECTOR* normal) {
    if (owner_ == nullptr) return D3DRMERR_BADOBJECT;
    if (corner >= corners_.size()) return D3DRMERR_BADVALUE;
    if (position != nullptr) *position = ToD3D(owner_->vertices[corners_[corner].vertex]);
    if (normal != nullptr) *normal = ToD3D(owner_->normals[corners_[corner].normal]);
    return D3DRM_OK;
}

int Face::GetVertexIndex(DWORD corner) {
    return corner < corners_.size() ? static_cast<int>(corners_[corner].vertex) : -1;
}

int Face::GetNormalIndex(DWORD corner) {
    return corner < corners_.size() ? static_cast<int>(corners_[corner].normal) : -1;
}

HRESULT Face::GetTextureCoordinates(DWORD corner, D3DVALUE* u, D3DVALUE* v) {
    if (corner >= corners_.size() || u == nullptr || v == nullptr) return D3DRMERR_BADVALUE;
    *u = corners_[corner].u;
    *v = corners_[corner].v;
    return D3DRM_OK;
}

HRESULT Face::GetTexture(IDirect3DRMTexture** texture) {
    if (texture == nullptr) return D3DRMERR_BADVALUE;
    *texture = texture_.get();
    if (*texture != nullptr) (*texture)->AddRef();
    return D3DRM_OK;
}

}  // namespace rm
