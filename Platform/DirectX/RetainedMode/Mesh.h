// Meshes: a fixed snapshot of a builder's geometry and faces.
#pragma once

#include "Platform/DirectX/RetainedMode/MeshData.h"

namespace rm {

class Mesh final : public dx::ComObject<IDirect3DRMMesh> {
public:
    explicit Mesh(const MeshData& source) { data_.CopyFrom(source); }

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    unsigned GetFaceCount() override { return static_cast<unsigned>(data_.Faces().size()); }
    unsigned GetVertexCount() override { return static_cast<unsigned>(data_.geometry.vertices.size()); }
    unsigned GetNormalCount() override { return static_cast<unsigned>(data_.geometry.normals.size()); }
    HRESULT GetFaces(IDirect3DRMFaceArray** faces) override;

    const MeshData& Data() const { return data_; }

private:
    ~Mesh() override = default;

    MeshData data_;
};

}  // namespace rm
