#include "Platform/DirectX/RetainedMode/Mesh.h"

#include "Platform/DirectX/RetainedMode/ObjectArray.h"

namespace rm {

HRESULT Mesh::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject);
}

HRESULT Mesh::GetFaces(IDirect3DRMFaceArray** faces) {
    return HandOutArray<IDirect3DRMFaceArray, IDirect3DRMFace>(data_.Faces(), faces);
}

}  // namespace rm
