#include "tests/Support/DxCounts.h"

std::vector<int> AllCallCounts() {
    std::vector<int> counts;
    for (int call = 0; call < static_cast<int>(DxCall::Count); ++call)
        counts.push_back(DxFault::CallCount(static_cast<DxCall>(call)));
    return counts;
}

ULONG RefCount(IUnknown* object) {
    const ULONG count = object->AddRef() - 1;
    object->Release();
    return count;
}
