#include "Platform/DirectX/Raster/RowSpan.h"

#include <algorithm>

namespace raster {

bool CoveredSpan(const TriangleSetup& t, const std::int64_t rowValue[3], Span* span) {
    std::int64_t first = 0, last = t.maxX - t.minX;
    for (int i = 0; i < 3; ++i) {
        const std::int64_t value = rowValue[i], step = t.edges[i].stepX;
        if (step > 0) {
            // value + step * k >= 0 from k = ceil(-value / step) on.
            if (value < 0) first = std::max(first, (step - 1 - value) / step);
        } else if (step < 0) {
            // ... and up to k = floor(value / -step).
            if (value < 0) return false;
            last = std::min(last, value / -step);
        } else if (value < 0) {
            return false;
        }
    }
    if (first > last) return false;
    *span = Span{static_cast<int>(first), static_cast<int>(last)};
    return true;
}

}  // namespace raster
