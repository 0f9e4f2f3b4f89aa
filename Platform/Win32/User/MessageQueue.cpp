// The thread's message queue: posted messages, the quit flag, then SDL's events.
#include <deque>

#include "Platform/Win32/User/DisplayServer.h"
#include "Platform/Win32/User/UserInternal.h"

namespace {

std::deque<MSG> posted;
bool quitPosted = false;
int quitCode = 0;

// SDL's next event, pumping the display for new ones only when `pump`.
bool NextSdlEvent(SDL_Event* event, bool pump) {
    if (pump) return SDL_PollEvent(event) == 1;
    return SDL_PeepEvents(event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1;
}

bool Matches(const MSG& msg, HWND hWnd, UINT first, UINT last) {
    if (hWnd != nullptr && msg.hwnd != hWnd) return false;
    return (first == 0 && last == 0) || (msg.message >= first && msg.message <= last);
}

}  // namespace

BOOL PeekMessageA(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (lpMsg == nullptr) return FALSE;
    win32user::DestroyVanishedWindows();
    const bool remove = (wRemoveMsg & PM_REMOVE) != 0;
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!Matches(*it, hWnd, wMsgFilterMin, wMsgFilterMax)) continue;
        *lpMsg = *it;
        if (remove) posted.erase(it);
        return TRUE;
    }
    // Quit comes once every posted message is handled, and before new input.
    if (quitPosted &&
        Matches(MSG{nullptr, WM_QUIT, 0, 0, 0, {0, 0}}, nullptr, wMsgFilterMin, wMsgFilterMax)) {
        *lpMsg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0, SDL_GetTicks(), {0, 0}};
        if (remove) quitPosted = false;
        return TRUE;
    }
    win32user::DisplayServer* server = win32user::DisplayInUse();
    if (server != nullptr) server->Pump();
    const bool pump = server == nullptr || server->EventsMayWait();
    SDL_Event event;
    while (NextSdlEvent(&event, pump)) {
        const std::optional<MSG> msg = win32user::MessageFromSdlEvent(event);
        if (!msg) {
            // What a vanished window's WM_DESTROY posts comes out at once.
            if (win32user::DestroyVanishedWindows())
                return PeekMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg);
            continue;
        }
        if (Matches(*msg, hWnd, wMsgFilterMin, wMsgFilterMax)) {
            *lpMsg = *msg;
            if (!remove) posted.push_back(*msg);
            return TRUE;
        }
        posted.push_back(*msg);
    }
    return FALSE;
}

BOOL WaitMessage() {
    if (!posted.empty() || quitPosted) return TRUE;
    win32user::DisplayServer* server = win32user::DisplayInUse();
    const bool woken = server != nullptr ? server->AwaitEvent() : SDL_WaitEvent(nullptr) == 1;
    return woken ? TRUE : FALSE;
}

// Key messages count as translated; no character messages are made, as
// nothing here reads them.
BOOL TranslateMessage(const MSG* lpMsg) {
    if (lpMsg == nullptr) return FALSE;
    const UINT m = lpMsg->message;
    return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
    if (lpMsg == nullptr) return 0;
    HWND w = win32user::LiveWindow(lpMsg->hwnd);
    if (w == nullptr) return 0;
    return w->proc(w, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

void PostQuitMessage(int nExitCode) {
    quitPosted = true;
    quitCode = nExitCode;
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd != nullptr && win32user::LiveWindow(hWnd) == nullptr) return FALSE;
    posted.push_back(MSG{hWnd, Msg, wParam, lParam, SDL_GetTicks(), {0, 0}});
    return TRUE;
}
