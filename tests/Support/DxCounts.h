// What the DirectX services let a test count: the fault hook's calls and an
// object's references.
#pragma once

#include <vector>

#include "Platform/DirectX/DxFault.h"

// Call counts of every operation the fault hook watches, in DxCall order.
std::vector<int> AllCallCounts();

// The reference count of a live object, read without changing it.
ULONG RefCount(IUnknown* object);
