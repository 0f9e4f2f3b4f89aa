// IDirectDrawPalette: 256 entries, flags included.
#pragma once

#include <array>
#include <cstdint>

#include "Platform/DirectX/ComObject.h"
#include "Platform/DirectX/D3D.h"

namespace dx {

class Palette final : public ComObject<IDirectDrawPalette> {
public:
    explicit Palette(const PALETTEENTRY* entries);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    HRESULT GetEntries(DWORD dwFlags, DWORD dwBase, DWORD dwNumEntries, PALETTEENTRY* lpEntries) override;
    HRESULT SetEntries(DWORD dwFlags, DWORD dwStartingEntry, DWORD dwCount, PALETTEENTRY* lpEntries) override;

    const std::array<PALETTEENTRY, 256>& Entries() const { return entries_; }
    // Changes whenever the entries do; never repeats across palettes, so a
    // cache keyed on it notices a palette swapped for another one.
    std::uint64_t Generation() const { return generation_; }
    // The entries as 0x00RRGGBB.
    void ToXrgb(std::uint32_t xrgb[256]) const;

private:
    std::array<PALETTEENTRY, 256> entries_;
    std::uint64_t generation_;
};

}  // namespace dx
