#include "Platform/DirectX/DirectDraw/Palette.h"

#include <algorithm>

namespace dx {
namespace {

std::uint64_t NextGeneration() {
    static std::uint64_t last = 0;
    return ++last;
}

bool InRange(DWORD first, DWORD count) {
    return first <= 256 && count <= 256 - first;
}

}  // namespace

Palette::Palette(const PALETTEENTRY* entries) : generation_(NextGeneration()) {
    std::copy_n(entries, entries_.size(), entries_.begin());
}

HRESULT Palette::QueryInterface(REFIID riid, void** ppvObject) {
    return Answer(riid, ppvObject);
}

HRESULT Palette::GetEntries(DWORD, DWORD dwBase, DWORD dwNumEntries, PALETTEENTRY* lpEntries) {
    if (lpEntries == nullptr || !InRange(dwBase, dwNumEntries)) return DDERR_INVALIDPARAMS;
    std::copy_n(entries_.begin() + dwBase, dwNumEntries, lpEntries);
    return DD_OK;
}

HRESULT Palette::SetEntries(DWORD, DWORD dwStartingEntry, DWORD dwCount, PALETTEENTRY* lpEntries) {
    if (lpEntries == nullptr || !InRange(dwStartingEntry, dwCount)) return DDERR_INVALIDPARAMS;
    std::copy_n(lpEntries, dwCount, entries_.begin() + dwStartingEntry);
    generation_ = NextGeneration();
    return DD_OK;
}

void Palette::ToXrgb(std::uint32_t xrgb[256]) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        xrgb[i] = std::uint32_t{entries_[i].peRed} << 16 | std::uint32_t{entries_[i].peGreen} << 8 |
                  entries_[i].peBlue;
}

}  // namespace dx
