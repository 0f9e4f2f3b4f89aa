#include <gtest/gtest.h>

#include "Platform/Win32/Win32.h"

namespace {

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(RectanglesTest, IntersectRectKeepsTheSharedPartAndMayWriteOverItsSource) {
    RECT rect{0, 0, 100, 50};
    const RECT with{40, -10, 140, 30};
    ASSERT_TRUE(IntersectRect(&rect, &rect, &with));
    EXPECT_TRUE(Same(rect, RECT{40, 0, 100, 30}));
}

TEST(RectanglesTest, RectanglesThatShareNothingLeaveAnEmptyOne) {
    RECT common{1, 2, 3, 4};
    const RECT left{0, 0, 10, 10};
    const RECT right{10, 0, 20, 10};
    EXPECT_FALSE(IntersectRect(&common, &left, &right));
    EXPECT_TRUE(Same(common, RECT{}));
    EXPECT_FALSE(IntersectRect(nullptr, &left, &right));
}

}  // namespace
