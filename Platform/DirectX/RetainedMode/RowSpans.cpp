#include "Platform/DirectX/RetainedMode/RowSpans.h"

#include <algorithm>
#include <cmath>

namespace rm {

void RowSpans::Reset(int width, int height) {
    // Rows outside top_..bottom_ are empty already.
    for (LONG y = top_; y < bottom_; ++y) rows_[static_cast<std::size_t>(y)] = Span{};
    const auto rows = static_cast<std::size_t>(std::max(height, 0));
    if (rows_.size() < rows) rows_.resize(rows);
    width_ = width;
    height_ = height;
    top_ = bottom_ = 0;
}

void RowSpans::AddToRow(LONG y, LONG left, LONG right) {
    if (y < 0 || y >= height_) return;
    // A piece wholly beside the viewport still stretches the row to its edge.
    Span& row = rows_[static_cast<std::size_t>(y)];
    row.left = std::min(row.left, std::clamp<LONG>(left, 0, width_));
    row.right = std::max(row.right, std::clamp<LONG>(right, 0, width_));
    if (top_ >= bottom_) {
        top_ = y;
        bottom_ = y + 1;
    } else {
        top_ = std::min(top_, y);
        bottom_ = std::max(bottom_, y + 1);
    }
}

void RowSpans::AddTriangle(const raster::Vertex& a, const raster::Vertex& b, const raster::Vertex& c) {
    const raster::Vertex* corners[3] = {&a, &b, &c};
    for (const raster::Vertex* v : corners)
        if (!std::isfinite(v->x) || !std::isfinite(v->y)) return;
    // Each edge's reach across every band of one row (within the viewport),
    // widened by a pixel each way, and by a row up and down, for the
    // rasterizer's snapping of vertices.
    const float limit = static_cast<float>(std::max(width_, height_)) + 2.0f;
    for (int i = 0; i < 3; ++i) {
        const raster::Vertex& p = *corners[i];
        const raster::Vertex& q = *corners[(i + 1) % 3];
        const float top = std::max(std::min(p.y, q.y), -1.0f);
        const float bottom = std::min(std::max(p.y, q.y), static_cast<float>(height_) + 1.0f);
        if (top > bottom) continue;
        // A level edge reaches across its whole length in its one band.
        const bool level = q.y == p.y;
        const float slope = level ? 0.0f : (q.x - p.x) / (q.y - p.y);
        const auto xAt = [&](float y) { return std::clamp(p.x + (y - p.y) * slope, -limit, limit); };
        for (auto y = static_cast<LONG>(std::floor(top)); static_cast<float>(y) <= bottom; ++y) {
            const float from = std::max(top, static_cast<float>(y));
            const float to = std::min(bottom, static_cast<float>(y + 1));
            const float x0 = level ? std::clamp(std::min(p.x, q.x), -limit, limit) : xAt(from);
            const float x1 = level ? std::clamp(std::max(p.x, q.x), -limit, limit) : xAt(to);
            const auto left = static_cast<LONG>(std::floor(std::min(x0, x1))) - 1;
            const auto right = static_cast<LONG>(std::ceil(std::max(x0, x1))) + 1;
            for (LONG row = y - 1; row <= y + 1; ++row) AddToRow(row, left, right);
        }
    }
}

void RowSpans::Add(const RowSpans& other) {
    for (LONG y = other.top_; y < other.bottom_; ++y) {
        const Span& span = other.Row(y);
        AddToRow(y, span.left, span.right);
    }
}

}  // namespace rm
