// Faces: corners that pick a vertex and a normal of the mesh that holds the
// face, each with its texture coordinates, plus the face's colour and texture.
#pragma once

#include <vector>

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3DRM.h"
#include "Platform/DirectX/RetainedMode/Texture.h"
#include "Platform/DirectX/RetainedMode/Vec3.h"

namespace rm {

// The vertices and normals that the faces of one mesh or builder index.
struct Geometry {
    std::vector<Vec3> vertices;
    std::vector<Vec3> normals;
};

struct Corner {
    DWORD vertex;
    DWORD normal;
    float u;
    float v;
};

class Face final : public dx::ComObject<IDirect3DRMFace> {
public:
    // A face of the mesh or builder whose geometry is `owner`.
    explicit Face(const Geometry* owner) : owner_(owner) {}
    // A copy of this face for another owner with the same indices.
    Face* CloneFor(const Geometry* owner) const;
    // The owner is going away; the face keeps its corners but can gain no more.
    void Orphan() { owner_ = nullptr; }

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    // Both indices must name entries the owner already has.
    HRESULT AddVertexAndNormalIndexed(DWORD vertex, DWORD normal) override;
    HRESULT SetTexture(IDirect3DRMTexture* texture) override;
    HRESULT SetTextureCoordinates(DWORD corner, D3DVALUE u, D3DVALUE v) override;
    HRESULT SetColor(D3DCOLOR color) override;
    int GetVertexCount() override { return static_cast<int>(corners_.size()); }
    HRESULT GetVertex(DWORD corner, D3DVECTOR* position, D3DVECTOR* normal) override;
    // -1 for a corner the face does not have.
    int GetVertexIndex(DWORD corner) override;
    int GetNormalIndex(DWORD corner) override;
    HRESULT GetTextureCoordinates(DWORD corner, D3DVALUE* u, D3DVALUE* v) override;
    HRESULT GetTexture(IDirect3DRMTexture** texture) override;
    D3DCOLOR GetColor() override { return color_; }

    const std::vector<Corner>& Corners() const { return corners_; }
    D3DCOLOR Color() const { return color_; }
    // Null when the face shows no texture.
    const Texture* FaceTexture() const { return texture_.get(); }

private:
    ~Face() override = default;

    const Geometry* owner_;
    std::vector<Corner> corners_;
    D3DCOLOR color_ = 0xFFFFFFFFu;
    dx::Ref<Texture> texture_;
};

}  // namespace rm
