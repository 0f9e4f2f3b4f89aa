// What meshes and mesh builders share: the geometry and the faces over it.
#pragma once

#include <vector>

#include "Platform/DirectX/RetainedMode/Face.h"

namespace rm {

class MeshData {
public:
    MeshData() = default;
    MeshData(const MeshData&) = delete;
    MeshData& operator=(const MeshData&) = delete;
    // Gives up the faces; any the caller still holds become orphans.
    ~MeshData();

    // Becomes a copy of `other`: its geometry and copies of its faces.
    void CopyFrom(const MeshData& other);
    // A new empty face held here.
    Face* NewFace();

    Geometry geometry;
    const std::vector<Face*>& Faces() const { return faces_; }

private:
    std::vector<Face*> faces_;
};

// The mesh data of a visual that has any (meshes and mesh builders), or null.
const MeshData* MeshDataOf(IDirect3DRMVisual* visual);

}  // namespace rm
