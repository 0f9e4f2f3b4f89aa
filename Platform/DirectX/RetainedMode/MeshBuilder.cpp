#include "Platform/DirectX/RetainedMode/MeshBuilder.h"

#include "Platform/DirectX/RetainedMode/Mesh.h"
#include "Platform/DirectX/RetainedMode/ObjectArray.h"

namespace rm {

HRESULT MeshBuilder::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject);
}

HRESULT MeshBuilder::CreateFace(IDirect3DRMFace** face) {
    if (face == nullptr) return D3DRMERR_BADVALUE;
    *face = data_.NewFace();
    (*face)->AddRef();
    return D3DRM_OK;
}

int MeshBuilder::AddVertex(D3DVALUE x, D3DVALUE y, D3DVALUE z) {
    data_.geometry.vertices.push_back({x, y, z});
    return static_cast<int>(data_.geometry.vertices.size()) - 1;
}

int MeshBuilder::AddNormal(D3DVALUE x, D3DVALUE y, D3DVALUE z) {
    data_.geometry.normals.push_back({x, y, z});
    return static_cast<int>(data_.geometry.normals.size()) - 1;
}

HRESULT MeshBuilder::SetColor(D3DCOLOR color) {
    for (Face* face : data_.Faces()) face->SetColor(color);
    return D3DRM_OK;
}

HRESULT MeshBuilder::CreateMesh(IDirect3DRMMesh** mesh) {
    if (mesh == nullptr) return D3DRMERR_BADVALUE;
    *mesh = new Mesh(data_);
    return D3DRM_OK;
}

HRESULT MeshBuilder::GetFaces(IDirect3DRMFaceArray** faces) {
    return HandOutArray<IDirect3DRMFaceArray, IDirect3DRMFace>(data_.Faces(), faces);
}

}  // namespace rm
