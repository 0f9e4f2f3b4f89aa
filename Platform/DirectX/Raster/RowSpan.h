// The pixels of one row that a triangle covers, found from its edge
// functions once per row, so that the twins shade runs of covered pixels
// rather than testing every pixel of the box.
#pragma once

#include <cstdint>

#include "Platform/DirectX/Raster/TriangleSetup.h"

namespace raster {

// The edge functions at the first pixel (the box's left side) of each row
// of a triangle's box, from the top row down.
class EdgeRows {
public:
    explicit EdgeRows(const TriangleSetup& t)
        : t_(t), value_{t.edges[0].value, t.edges[1].value, t.edges[2].value} {}
    const std::int64_t* Values() const { return value_; }
    void Down() {
        for (int i = 0; i < 3; ++i) value_[i] += t_.edges[i].stepY;
    }

private:
    const TriangleSetup& t_;
    std::int64_t value_[3];
};

// Pixels first..last of a row, both included, counted from the left side
// of the triangle's box.
struct Span {
    int first, last;
};

// The covered pixels of the row whose edge functions at its first pixel
// are `rowValue`: exactly those where no edge function is negative, one
// unbroken run, since each function changes linearly along the row. False
// when the row has none.
bool CoveredSpan(const TriangleSetup& t, const std::int64_t rowValue[3], Span* span);

}  // namespace raster
