// Mesh builders: vertices and normals numbered from 0 in the order of
// adding, and faces over them; CreateMesh takes a snapshot.
#pragma once

#include "Platform/DirectX/RetainedMode/MeshData.h"

namespace rm {

class MeshBuilder final : public dx::ComObject<IDirect3DRMMeshBuilder2> {
public:
    MeshBuilder() = default;

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    HRESULT CreateFace(IDirect3DRMFace** face) override;
    int AddVertex(D3DVALUE x, D3DVALUE y, D3DVALUE z) override;
    int AddNormal(D3DVALUE x, D3DVALUE y, D3DVALUE z) override;
    // Faces take the colour; vertices have none of their own, since a face's
    // colour is what lights it.
    HRESULT SetColor(D3DCOLOR color) override;
    HRESULT CreateMesh(IDirect3DRMMesh** mesh) override;
    int GetFaceCount() override { return static_cast<int>(data_.Faces().size()); }
    int GetVertexCount() override { return static_cast<int>(data_.geometry.vertices.size()); }
    HRESULT GetFaces(IDirect3DRMFaceArray** faces) override;

    const MeshData& Data() const { return data_; }

private:
    ~MeshBuilder() override = default;

    MeshData data_;
};

}  // namespace rm
