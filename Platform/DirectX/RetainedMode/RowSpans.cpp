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

void RowSpans::Widen(LONG y, LONG left, LONG right) {
    // A piece wholly beside the viewport still stretches the row to its edge.
    Span& row = rows_[static_cast<std::size_t>(y)];
    row.left = std::min(row.left, std::clamp<LONG>(left, 0, width_));
    row.right = std::max(row.right, std::clamp<LONG>(right, 0, width_));
}

void RowSpans::AddRows(LONG first, LONG last) {
    if (top_ >= bottom_) {
        top_ = first;
        bottom_ = last + 1;
    } else {
        top_ = std::min(top_, first);
        bottom_ = std::max(bottom_, last + 1);
    }
}

void RowSpans::AddTriangle(const raster::Vertex& a, const raster::Vertex& b, const raster::Vertex& c) {
    const raster::Vertex* corners[3] = {&a, &b, &c};
    for (const raster::Vertex* v : corners)
        if (!std::isfinite(v->x) || !std::isfinite(v->y)) return;
    // Row y holds the pixels whose centres lie in the band y..y+1: there the
    // triangle reaches from its leftmost to its rightmost edge crossing.
    // A pixel of margin each way covers the rasterizer's snapping of
    // vertices, which is far less than half a pixel, so the rows need none.
    const float limit = static_cast<float>(width_) + 2.0f;
    const auto column = [limit](float x) { return std::clamp(x, -limit, limit); };
    for (int i = 0; i < 3; ++i) {
        const raster::Vertex& p = *corners[i];
        const raster::Vertex& q = *corners[(i + 1) % 3];
        const float top = std::max(std::min(p.y, q.y), 0.0f);
        const float bottom = std::min(std::max(p.y, q.y), static_cast<float>(height_));
        if (top > bottom || (top == bottom && top == static_cast<float>(height_))) continue;
        const auto first = static_cast<LONG>(top);
        const LONG last = std::min(static_cast<LONG>(bottom), height_ - 1);
        AddRows(first, last);
        if (p.y == q.y) {
            Widen(first, static_cast<LONG>(std::floor(column(std::min(p.x, q.x)))) - 1,
                  static_cast<LONG>(std::ceil(column(std::max(p.x, q.x)))) + 1);
            continue;
        }
        const float slope = (q.x - p.x) / (q.y - p.y);
        const auto xAt = [&](float y) { return column(p.x + (y - p.y) * slope); };
        float x = xAt(top);
        for (LONG y = first; y <= last; ++y) {
            const float next = xAt(std::min(static_cast<float>(y + 1), bottom));
            Widen(y, static_cast<LONG>(std::floor(std::min(x, next))) - 1,
                  static_cast<LONG>(std::ceil(std::max(x, next))) + 1);
            x = next;
        }
    }
}

void RowSpans::Add(const RowSpans& other) {
    if (other.top_ >= other.bottom_) return;
    AddRows(other.top_, other.bottom_ - 1);
    for (LONG y = other.top_; y < other.bottom_; ++y) Widen(y, other.Row(y).left, other.Row(y).right);
}

}  // namespace rm
