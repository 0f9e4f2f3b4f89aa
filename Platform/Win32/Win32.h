// The Win32 services the code above was designed against, provided on Linux.
//
// Each function keeps its published name, arguments and result convention so
// the code above reads as it would on Windows; the published constants are
// the real values. Only what the programs above call is here: what the
// programs need beyond the published API is in Win32Extensions.h, what tests
// need in Win32TestHooks.h.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using ATOM = WORD;
using HRESULT = std::int32_t;
using LPCSTR = const char*;
using LPSTR = char*;
using LPVOID = void*;
using LPCVOID = const void*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

// Handles are opaque pointers to objects of the stand-in.
struct HWND__;
struct HINSTANCE__;
struct HICON__;
struct HCURSOR__;
struct HBRUSH__;
struct HDC__;
struct HMENU__;
struct HANDLE__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HICON = HICON__*;
using HCURSOR = HCURSOR__*;
using HBRUSH = HBRUSH__*;
using HGDIOBJ = void*;
using HDC = HDC__*;
using HMENU = HMENU__*;
using HANDLE = HANDLE__*;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct SECURITY_ATTRIBUTES;

// Result codes.
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}
constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}

// Error codes of GetLastError.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_BAD_FORMAT = 11;
constexpr DWORD ERROR_GEN_FAILURE = 31;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_BAD_FILE_TYPE = 222;
constexpr DWORD ERROR_FILE_TOO_LARGE = 223;
constexpr DWORD ERROR_NOT_OWNER = 288;

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
// WM_DISPLAYCHANGE: the displays changed; wParam the bits per pixel, lParam
// the primary display's width (low word) and height (high word).
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MOUSEWHEEL = 0x020A;

// WM_SIZE: wParam SIZE_RESTORED, lParam the new client width (low word) and height (high word).
constexpr WPARAM SIZE_RESTORED = 0;

constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_SCREENSAVE = 0xF140;

// Window class styles, window styles, show commands.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_VISIBLE = 0x10000000u;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWDEFAULT = 10;

// System metrics, stock objects, device capabilities, resources.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
// The rectangle that holds every display.
constexpr int SM_XVIRTUALSCREEN = 76;
constexpr int SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;
constexpr int BLACK_BRUSH = 4;
constexpr int BITSPIXEL = 12;
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
#define MAKEINTRESOURCEA(id) (reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)

// Virtual keys reported with WM_KEYDOWN / WM_SYSKEYDOWN.
constexpr WPARAM VK_MENU = 0x12;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_F10 = 0x79;

// --- Kernel: named mutex, last error, debug output -------------------------

// Creates or opens the process-wide mutex `lpName`. On Linux it is an
// exclusive flock on the lock file "<name>.lock" in a directory that only
// the user can write to: $XDG_RUNTIME_DIR or /run/user/<uid> when usable,
// else a private directory in $TMPDIR or /tmp (<program>-<uid>, or one made
// beside it when another user holds that name). The kernel drops the lock
// with the process; the file goes when the handle is closed or the process
// ends (not when it is killed outright: the next holder reuses it). When
// another process already holds it, the handle is still returned and
// GetLastError() gives ERROR_ALREADY_EXISTS. Null on failure, with one line
// on standard error saying where and why.
HANDLE CreateMutexA(SECURITY_ATTRIBUTES* lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName);
// Gives up ownership taken at creation. TRUE on success.
BOOL ReleaseMutex(HANDLE hMutex);
BOOL CloseHandle(HANDLE hObject);
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
// With FORMAT_MESSAGE_FROM_SYSTEM: the description of the error code
// dwMessageId, one line without a line end, in the C library's words and
// language, cut to nSize - 1 bytes and zero-terminated. The number of bytes
// copied; 0 for a code the stand-in never reports. Source, language and
// inserts are not used.
DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId, LPSTR lpBuffer,
                     DWORD nSize, va_list* Arguments);

// Writes the text, byte for byte, to standard error (unbuffered) while a
// debugger listens (Win32ListenToDebugOutput); otherwise the text goes nowhere.
void OutputDebugStringA(LPCSTR lpOutputString);

// Milliseconds on the monotonic clock since an unspecified start; wraps
// after 49.7 days, so callers take differences. No system call: the clock is
// read in user space.
DWORD GetTickCount();

// The full path of the running program (hModule null), zero-terminated and
// cut to nSize - 1 bytes. The number of bytes copied; 0 on failure.
DWORD GetModuleFileNameA(HINSTANCE hModule, LPSTR lpFilename, DWORD nSize);

// --- Profile (INI) files ---------------------------------------------------
//
// A bare file name resolves to the folder named by Win32SetProfileFolder
// under $XDG_CONFIG_HOME (default ~/.config/); a name with a '/' is used as
// it is.
// Section and key names match without regard to case.

// Copies the value (or lpDefault when the file or key is missing) into
// lpReturnedString, cut to nSize - 1 bytes and zero-terminated. Returns the
// number of bytes copied, without the terminating zero.
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                               DWORD nSize, LPCSTR lpFileName);
// The value's leading decimal integer (text that is not a number gives 0),
// or nDefault when the file or key is missing.
UINT GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, int nDefault, LPCSTR lpFileName);
// Replaces the value in place, appends the key to its section, appends the
// section to the file or creates the file. The file is replaced atomically.
// TRUE on success, FALSE when the file cannot be written.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName);

// --- Shell ----------------------------------------------------------------

// Starts the program `lpFile` that lies in `lpDirectory` (or on PATH when no
// directory is given), with `lpParameters` split at blanks as its arguments
// and `lpDirectory` as its working directory. The child is detached: nobody
// waits for it and it leaves no zombie. Returns a value above 32 on success.
HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters, LPCSTR lpDirectory,
                        int nShowCmd);

// --- User: window class, window, message queue, cursor --------------------

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
HGDIOBJ GetStockObject(int i);
ATOM RegisterClassA(const WNDCLASSA* lpWndClass);
HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                     int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                     LPVOID lpParam);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL UpdateWindow(HWND hWnd);
// Moves and sizes a window of our own; the new size comes back as WM_SIZE
// once the display has carried it out. FALSE for an adopted window.
BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
// Sends WM_DESTROY to the window procedure before returning.
BOOL DestroyWindow(HWND hWnd);
LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Raises (TRUE) or lowers (FALSE) the cursor's display count and returns the
// new count; the cursor shows while the count is 0 or more.
int ShowCursor(BOOL bShow);
int GetSystemMetrics(int nIndex);
HWND GetActiveWindow();
// Never blocks. Takes the next posted or input message; nonzero when one was taken.
BOOL PeekMessageA(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
// Blocks until a message is waiting in the queue; PeekMessageA then takes it.
BOOL WaitMessage();
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessageA(const MSG* lpMsg);
void PostQuitMessage(int nExitCode);
BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);

// --- GDI for the display ---------------------------------------------------

// hWnd null means the whole screen.
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
int GetDeviceCaps(HDC hdc, int index);
BOOL GetClientRect(HWND hWnd, RECT* lpRect);
BOOL ClientToScreen(HWND hWnd, POINT* lpPoint);
// The part two rectangles share (lprcDst may be either of them); FALSE, with
// lprcDst all zero, when they share nothing.
BOOL IntersectRect(RECT* lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);
UINT GetSystemPaletteEntries(HDC hdc, UINT iStart, UINT cEntries, PALETTEENTRY* pPalEntries);
