// Draws a frame hierarchy through a camera: world and view placement of
// every mesh, per-vertex lighting, back-face culling, clipping to the front
// and back planes, perspective projection, and the device's rasterizer.
//
// Projection: the view window lies at distance `front` in front of the
// camera and spans -field..+field across the viewport's larger side, with
// square pixels, so front 1 and field 0.5 show a half-angle of atan(0.5)
// across the larger side. Depth runs from 0 at the front plane to 1 at the
// back plane in proportion to 1/z, which stays linear across a triangle on
// the screen.
//
// Lighting, per vertex and channel: the ambient lights' sum plus, for each
// directional light, its colour times the cosine between the vertex normal
// and the way back towards the light (nothing when it is lit from behind),
// clamped to 0..1 and multiplied by the face's colour. Flat shading gives
// the whole face the colour of its first corner.
#pragma once

#include <vector>

#include "Platform/DirectX/D3DRM.h"
#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/RetainedMode/Frame.h"
#include "Platform/DirectX/RetainedMode/MeshData.h"

namespace rm {

struct Projection {
    float front;
    float back;
    float field;
    int width;  // pixels of the viewport
    int height;
};

class SceneRenderer {
public:
    // Room for a scene of a few hundred triangles; it grows with larger
    // scenes and then stays, so drawing the same scene again allocates nothing.
    SceneRenderer();

    void Draw(const Frame& scene, const Frame& camera, const Projection& projection,
              const raster::Rasterizer& rasterizer, const raster::Target& target, raster::Shading shading,
              raster::Filter filter);
    // The viewport pixels the last Draw may have changed: the union of its
    // triangles' bounding boxes, clipped to the viewport; empty (left >=
    // right) when it drew nothing.
    const RECT& DrawnBounds() const { return drawn_; }

private:
    struct DirectionalLight {
        Vec3 towards;  // unit vector in view space pointing back at the light
        Vec3 rgb;
    };
    struct ClipVertex {
        Vec3 p;  // view space
        float u, v;
        Vec3 rgb;
    };

    void GatherLights(const Frame& frame, const Transform& toView);
    void DrawFrame(const Frame& frame, const Transform& toView);
    void DrawMesh(const MeshData& mesh, const Transform& toView);
    void DrawFace(const Face& face);
    void DrawTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c);
    raster::Vertex Project(const ClipVertex& v) const;
    // Adds the pixels around `vertices` to drawn_.
    void Enclose(const raster::Vertex* vertices, int count);
    void Flush();

    const raster::Rasterizer* rasterizer_ = nullptr;
    const raster::Target* target_ = nullptr;
    raster::State state_{};
    Projection projection_{};
    float scale_ = 0.0f;       // pixels per unit of x / z
    float depthScale_ = 0.0f;  // back / (back - front)
    const raster::Texture* batchTexture_ = nullptr;
    RECT drawn_{};

    Vec3 ambient_;
    std::vector<DirectionalLight> lights_;
    std::vector<Vec3> positions_;  // of the mesh being drawn, in view space
    std::vector<Vec3> shades_;     // light reaching each normal of that mesh
    std::vector<ClipVertex> corners_;
    std::vector<raster::Vertex> batch_;
};

}  // namespace rm
