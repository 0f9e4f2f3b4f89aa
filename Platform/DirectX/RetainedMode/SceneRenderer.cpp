#include "Platform/DirectX/RetainedMode/SceneRenderer.h"

#include <algorithm>
#include <cmath>

#include "Platform/DirectX/Rects.h"

namespace rm {

namespace {

constexpr std::size_t kInitialVertices = 1024;
constexpr std::size_t kInitialLights = 8;
constexpr std::size_t kInitialCorners = 64;
constexpr std::size_t kInitialBatch = 3 * 2048;

Vec3 Rgb(D3DCOLOR color) {
    constexpr float kUnit = 1.0f / 255.0f;
    return {((color >> 16) & 0xFF) * kUnit, ((color >> 8) & 0xFF) * kUnit, (color & 0xFF) * kUnit};
}

Vec3 Modulate(Vec3 a, Vec3 b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}

Vec3 Saturate(Vec3 a) {
    return {std::clamp(a.x, 0.0f, 1.0f), std::clamp(a.y, 0.0f, 1.0f), std::clamp(a.z, 0.0f, 1.0f)};
}

template <class T>
T Lerp(const T& a, const T& b, float t) {
    return a + (b - a) * t;
}

}  // namespace

SceneRenderer::SceneRenderer() {
    lights_.reserve(kInitialLights);
    positions_.reserve(kInitialVertices);
    shades_.reserve(kInitialVertices);
    corners_.reserve(kInitialCorners);
    batch_.reserve(kInitialBatch);
}

void SceneRenderer::Draw(const Frame& scene, const Frame& camera, const Projection& projection,
                         const raster::Rasterizer& rasterizer, const raster::Target& target,
                         raster::Shading shading, raster::Filter filter) {
    rasterizer_ = &rasterizer;
    target_ = &target;
    state_ = {nullptr, shading, filter};
    projection_ = projection;
    scale_ = projection.front / projection.field * 0.5f *
             static_cast<float>(std::max(projection.width, projection.height));
    depthScale_ = projection.back / (projection.back - projection.front);
    batchTexture_ = nullptr;
    drawn_ = RECT{};

    const Transform toView = Compose(Inverse(camera.World()), scene.World());
    ambient_ = {};
    lights_.clear();
    GatherLights(scene, toView);
    DrawFrame(scene, toView);
    Flush();
}

void SceneRenderer::GatherLights(const Frame& frame, const Transform& toView) {
    for (const Light* light : frame.Lights()) {
        if (light->Type() == D3DRMLIGHT_AMBIENT) {
            ambient_ = ambient_ + light->Rgb();
        } else {
            // It shines along the frame's +z.
            Vec3 towards = toView.r.z * -1.0f;
            if (Normalize(&towards)) lights_.push_back({towards, light->Rgb()});
        }
    }
    for (const Frame* child : frame.Children()) GatherLights(*child, Compose(toView, child->Local()));
}

void SceneRenderer::DrawFrame(const Frame& frame, const Transform& toView) {
    for (IDirect3DRMVisual* visual : frame.Visuals())
        if (const MeshData* mesh = MeshDataOf(visual)) DrawMesh(*mesh, toView);
    for (const Frame* child : frame.Children()) DrawFrame(*child, Compose(toView, child->Local()));
}

void SceneRenderer::DrawMesh(const MeshData& mesh, const Transform& toView) {
    const Geometry& geometry = mesh.geometry;
    positions_.resize(geometry.vertices.size());
    for (std::size_t i = 0; i < geometry.vertices.size(); ++i)
        positions_[i] = Apply(toView, geometry.vertices[i]);

    shades_.resize(geometry.normals.size());
    for (std::size_t i = 0; i < geometry.normals.size(); ++i) {
        Vec3 normal = toView.r * geometry.normals[i];
        Vec3 shade = ambient_;
        if (Normalize(&normal))
            for (const DirectionalLight& light : lights_)
                shade = shade + light.rgb * std::max(0.0f, Dot(normal, light.towards));
        shades_[i] = Saturate(shade);
    }

    for (const Face* face : mesh.Faces()) DrawFace(*face);
}

void SceneRenderer::DrawFace(const Face& face) {
    const std::vector<Corner>& corners = face.Corners();
    if (corners.size() < 3) return;
    const raster::Texture* texture = face.FaceTexture() != nullptr ? &face.FaceTexture()->Raster() : nullptr;
    if (texture != batchTexture_) {
        Flush();
        batchTexture_ = texture;
    }
    const Vec3 faceRgb = Rgb(face.Color());
    corners_.clear();
    for (const Corner& corner : corners)
        corners_.push_back(
            {positions_[corner.vertex], corner.u, corner.v, Modulate(shades_[corner.normal], faceRgb)});
    if (state_.shading == raster::Shading::Flat)
        for (ClipVertex& corner : corners_) corner.rgb = corners_[0].rgb;
    for (std::size_t i = 1; i + 1 < corners_.size(); ++i)
        DrawTriangle(corners_[0], corners_[i], corners_[i + 1]);
}

void SceneRenderer::DrawTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c) {
    // The camera sits at the view-space origin: a front face's outward
    // normal points back towards it.
    if (!(Dot(Cross(b.p - a.p, c.p - a.p), a.p) < 0.0f)) return;

    // Clip to front <= z, then z <= back; each plane adds at most one corner.
    ClipVertex polygon[5] = {a, b, c};
    ClipVertex clipped[5];
    int count = 3;
    const auto clip = [&](float plane, float side) {
        int kept = 0;
        for (int i = 0; i < count; ++i) {
            const ClipVertex& from = polygon[i];
            const ClipVertex& to = polygon[(i + 1) % count];
            const float dFrom = (from.p.z - plane) * side;
            const float dTo = (to.p.z - plane) * side;
            if (dFrom >= 0.0f) clipped[kept++] = from;
            if ((dFrom >= 0.0f) != (dTo >= 0.0f)) {
                const float t = dFrom / (dFrom - dTo);
                ClipVertex& cut = clipped[kept++];
                cut.p = Lerp(from.p, to.p, t);
                cut.p.z = plane;
                cut.u = Lerp(from.u, to.u, t);
                cut.v = Lerp(from.v, to.v, t);
                cut.rgb = Lerp(from.rgb, to.rgb, t);
            }
        }
        count = kept;
        std::copy(clipped, clipped + kept, polygon);
    };
    clip(projection_.front, 1.0f);
    clip(projection_.back, -1.0f);

    raster::Vertex projected[5]{};
    for (int i = 0; i < count; ++i) projected[i] = Project(polygon[i]);
    Enclose(projected, count);
    for (int i = 1; i + 1 < count; ++i) {
        batch_.push_back(projected[0]);
        batch_.push_back(projected[i]);
        batch_.push_back(projected[i + 1]);
    }
}

void SceneRenderer::Enclose(const raster::Vertex* vertices, int count) {
    // Triangles with a vertex off the finite plane draw nothing, so such
    // vertices add nothing; the others' triangles lie within their box.
    const float width = static_cast<float>(projection_.width);
    const float height = static_cast<float>(projection_.height);
    float left = width, top = height, right = 0.0f, bottom = 0.0f;
    for (int i = 0; i < count; ++i) {
        const float x = vertices[i].x, y = vertices[i].y;
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
    // A pixel of margin each way covers the rasterizer's snapping of vertices.
    const RECT box{static_cast<LONG>(std::floor(std::max(left, 1.0f))) - 1,
                   static_cast<LONG>(std::floor(std::max(top, 1.0f))) - 1,
                   static_cast<LONG>(std::ceil(std::min(right, width - 1.0f))) + 1,
                   static_cast<LONG>(std::ceil(std::min(bottom, height - 1.0f))) + 1};
    drawn_ = dx::Union(drawn_, box);
}

raster::Vertex SceneRenderer::Project(const ClipVertex& v) const {
    const float rhw = 1.0f / v.p.z;
    return {0.5f * static_cast<float>(projection_.width) + v.p.x * rhw * scale_,
            0.5f * static_cast<float>(projection_.height) - v.p.y * rhw * scale_,
            std::clamp(depthScale_ * (1.0f - projection_.front * rhw), 0.0f, 1.0f),
            rhw,
            v.u,
            v.v,
            v.rgb.x,
            v.rgb.y,
            v.rgb.z};
}

void SceneRenderer::Flush() {
    if (batch_.empty()) return;
    state_.texture = batchTexture_;
    rasterizer_->DrawTriangles(*target_, state_, batch_.data(), static_cast<int>(batch_.size() / 3));
    batch_.clear();
}

}  // namespace rm
