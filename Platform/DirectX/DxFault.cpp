// The test-only fault hook: armed failures, call counters, replaced device
// list and surfaces marked lost.
#include "Platform/DirectX/DxFault.h"

#include <algorithm>
#include <array>
#include <utility>

#include "Platform/Win32/Win32TestHooks.h"

namespace {

constexpr std::size_t kCalls = static_cast<std::size_t>(DxCall::Count);

struct Armed {
    HRESULT code = DD_OK;
    int skip = 0;
    int times = 0;  // negative: for good
};

struct FaultState {
    std::array<int, kCalls> counts{};
    std::array<Armed, kCalls> armed{};
    std::function<void(DxCall)> watch;
    DxFault::UpdateRect lastForceUpdate{};
    std::vector<EnumeratedDevice> devices;
    std::vector<const void*> lost;
    void (*noteMarkedLost)(IDirectDrawSurface*) = nullptr;
    void (*reset)() = nullptr;
};

FaultState& State() {
    static FaultState state;
    return state;
}

}  // namespace

namespace DxFault {

void FailCall(DxCall call, HRESULT code, int skip, int times) {
    State().armed[static_cast<std::size_t>(call)] = Armed{code, std::max(skip, 0), times};
}

HRESULT Check(DxCall call) {
    const auto index = static_cast<std::size_t>(call);
    FaultState& state = State();
    ++state.counts[index];
    if (state.watch) state.watch(call);
    Armed& armed = state.armed[index];
    if (armed.code == DD_OK || armed.times == 0) return DD_OK;
    if (armed.skip > 0) {
        --armed.skip;
        return DD_OK;
    }
    if (armed.times > 0) --armed.times;
    return armed.code;
}

void WatchCalls(std::function<void(DxCall)> watch) {
    State().watch = std::move(watch);
}

int CallCount(DxCall call) {
    return State().counts[static_cast<std::size_t>(call)];
}

UpdateRect LastForceUpdate() {
    return State().lastForceUpdate;
}

void RecordForceUpdate(UpdateRect rect) {
    State().lastForceUpdate = rect;
}

void PretendDisplayDepth(int bitsPerPixel) {
    Win32PretendDisplayDepth(bitsPerPixel);
}

void ReplaceDeviceList(const std::vector<EnumeratedDevice>& devices) {
    State().devices = devices;
}

const std::vector<EnumeratedDevice>* ReplacedDeviceList() {
    const FaultState& state = State();
    return state.devices.empty() ? nullptr : &state.devices;
}

void MarkSurfaceLost(IDirectDrawSurface* surface) {
    FaultState& state = State();
    if (surface == nullptr || IsMarkedLost(surface)) return;
    state.lost.push_back(surface);
    if (state.noteMarkedLost != nullptr) state.noteMarkedLost(surface);
}

void Reset() {
    FaultState& state = State();
    state.counts.fill(0);
    state.armed.fill(Armed{});
    state.watch = nullptr;
    state.lastForceUpdate = UpdateRect{};
    state.devices.clear();
    state.lost.clear();
    Win32PretendDisplayDepth(0);
    if (state.reset != nullptr) state.reset();
}

void OnSurfaceMarkedLost(void (*noteMarkedLost)(IDirectDrawSurface*)) {
    State().noteMarkedLost = noteMarkedLost;
}

void OnReset(void (*reset)()) {
    State().reset = reset;
}

bool IsMarkedLost(const void* surface) {
    const std::vector<const void*>& lost = State().lost;
    return !lost.empty() && std::find(lost.begin(), lost.end(), surface) != lost.end();
}

void ForgetLost(const void* surface) {
    std::erase(State().lost, surface);
}

}  // namespace DxFault
