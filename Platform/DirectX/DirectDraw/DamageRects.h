// What changed in a surface since it was last presented, as at most two
// rectangles: two changes far apart (a scene in the middle, a line of text
// in a corner) are copied as two small parts, not as the one rectangle that
// spans both.
#pragma once

#include <cstdint>

#include "Platform/DirectX/Rects.h"

namespace dx {

struct DamageRects {
    RECT parts[2]{};  // empty ones unused

    // Takes `rect` in: into a free part unless it overlaps one, else into
    // the part it grows least; parts that come to overlap become one.
    void Add(const RECT& rect) {
        if (IsEmpty(rect)) return;
        RECT& first = parts[0];
        RECT& second = parts[1];
        if (IsEmpty(first)) {
            first = rect;
            return;
        }
        if (IsEmpty(second) && !Overlap(first, rect)) {
            second = rect;
            return;
        }
        RECT& into = Growth(first, rect) <= Growth(second, rect) ? first : second;
        into = Union(into, rect);
        if (!IsEmpty(second) && Overlap(first, second)) {
            first = Union(first, second);
            second = RECT{};
        }
    }

private:
    static bool Overlap(const RECT& a, RECT b) { return Intersect(&b, a); }
    static std::int64_t Size(const RECT& r) {
        return IsEmpty(r) ? 0 : std::int64_t{r.right - r.left} * (r.bottom - r.top);
    }
    static std::int64_t Growth(const RECT& part, const RECT& rect) {
        return Size(Union(part, rect)) - Size(part);
    }
};

}  // namespace dx
