// Rectangle arithmetic, as every part of the platform that clips does it.
#include <algorithm>

#include "Platform/Win32/Win32.h"

BOOL IntersectRect(RECT* lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2) {
    if (lprcDst == nullptr || lprcSrc1 == nullptr || lprcSrc2 == nullptr) return FALSE;
    const RECT common{std::max(lprcSrc1->left, lprcSrc2->left), std::max(lprcSrc1->top, lprcSrc2->top),
                      std::min(lprcSrc1->right, lprcSrc2->right),
                      std::min(lprcSrc1->bottom, lprcSrc2->bottom)};
    const bool shared = common.left < common.right && common.top < common.bottom;
    *lprcDst = shared ? common : RECT{};
    return shared ? TRUE : FALSE;
}
