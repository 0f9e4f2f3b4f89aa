// Which pixels of each row of a viewport some triangles may have drawn: per
// row one span from the leftmost to the rightmost pixel, a pixel of margin
// all round. A box turned on the screen covers about two thirds of its
// bounding rectangle, so clearing these spans instead of the rectangle
// leaves a third of the clear undone.
#pragma once

#include <limits>
#include <vector>

#include "Platform/DirectX/Raster/Rasterizer.h"
#include "Platform/DirectX/Rects.h"

namespace rm {

class RowSpans {
public:
    struct Span {
        LONG left = std::numeric_limits<LONG>::max();
        LONG right = std::numeric_limits<LONG>::min();  // empty when left >= right
    };

    // No spans, over rows of `width` x `height` pixels. Allocates only when
    // the height grows.
    void Reset(int width, int height);
    // Adds the pixels a triangle of these vertices may draw; a triangle with
    // a vertex off the finite plane draws nothing.
    void AddTriangle(const raster::Vertex& a, const raster::Vertex& b, const raster::Vertex& c);
    // Adds every span of `other` (of the same size).
    void Add(const RowSpans& other);

    // The rows that hold spans: top to bottom, empty when none.
    LONG Top() const { return top_; }
    LONG Bottom() const { return bottom_; }
    const Span& Row(LONG y) const { return rows_[static_cast<std::size_t>(y)]; }

private:
    void Widen(LONG y, LONG left, LONG right);
    // Rows first..last hold spans.
    void AddRows(LONG first, LONG last);

    std::vector<Span> rows_;
    LONG width_ = 0;
    LONG height_ = 0;
    LONG top_ = 0;
    LONG bottom_ = 0;
};

}  // namespace rm
