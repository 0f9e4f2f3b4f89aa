#include "Platform/DirectX/RetainedMode/MeshData.h"

#include "Platform/DirectX/RetainedMode/Mesh.h"
#include "Platform/DirectX/RetainedMode/MeshBuilder.h"

namespace rm {

MeshData::~MeshData() {
    for (Face* face : faces_) {
        face->Orphan();
        face->Release();
    }
}

void MeshData::CopyFrom(const MeshData& other) {
    geometry = other.geometry;
    faces_.reserve(other.faces_.size());
    for (const Face* face : other.faces_) faces_.push_back(face->CloneFor(&geometry));
}

Face* MeshData::NewFace() {
    faces_.push_back(new Face(&geometry));
    return faces_.back();
}

const MeshData* MeshDataOf(IDirect3DRMVisual* visual) {
    if (const Mesh* mesh = dynamic_cast<const Mesh*>(visual)) return &mesh->Data();
    if (const MeshBuilder* builder = dynamic_cast<const MeshBuilder*>(visual)) return &builder->Data();
    return nullptr;
}

}  // namespace rm
