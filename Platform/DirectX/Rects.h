// Rectangles as the software DirectX services use them: right and bottom
// are exclusive, and one with left >= right or top >= bottom is empty.
#pragma once

#include <algorithm>

#include "Platform/Win32/Win32.h"

namespace dx {

inline bool IsEmpty(const RECT& rect) {
    return rect.left >= rect.right || rect.top >= rect.bottom;
}

// The smallest rectangle that holds both; an empty one adds nothing.
inline RECT Union(const RECT& a, const RECT& b) {
    if (IsEmpty(a)) return b;
    if (IsEmpty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

// Cuts `rect` down to its part inside `with`; false, and `rect` empty, when
// nothing is left.
inline bool Intersect(RECT* rect, const RECT& with) {
    return IntersectRect(rect, rect, &with) != FALSE;
}

}  // namespace dx
