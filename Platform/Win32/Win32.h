// The Win32 services the code above was designed against, provided on Linux.
//
// Each function keeps its published name, arguments and result convention so
// the code above reads as it would on Windows; the published constants are
// the real values. Only what the programs above call is here. Linux-side
// extensions (the programs' profile folder, and what the other stand-ins
// need) are at the end.
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

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;

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
UINT GetSystemPaletteEntries(HDC hdc, UINT iStart, UINT cEntries, PALETTEENTRY* pPalEntries);

// --- Linux-side extensions --------------------------------------------------

// Names the folder under $XDG_CONFIG_HOME (default ~/.config/) where bare
// profile file names lie. Each program names its own before its first
// profile call. Until then, and after a null or empty name, a bare name has
// no place: reads give the default and writes fail.
void Win32SetProfileFolder(const char* name);

// Whether a debugger listens to OutputDebugStringA: with one, the text goes
// to standard error; without one (from the start, as on Windows without a
// debugger), nowhere. Each program decides from its own environment.
void Win32ListenToDebugOutput(bool listening);

// Makes sure that no library of the program starts a D-Bus session bus of
// its own: where none runs (DBUS_SESSION_BUS_ADDRESS unset or empty, and no
// bus socket of this user in XDG_RUNTIME_DIR), sets the variable to an
// address that fails at once. A bus that runs stays reachable. Call before
// any library starts.
void Win32NeverAutolaunchSessionBus();
// From now on SIGTERM and SIGINT end the process at once with `exitCode`,
// whatever it is doing, after removing the lock files of the named mutexes
// it holds; exit handlers do not run. SIGHUP, SIGUSR1 and SIGALRM remove
// them too, then end the process by the signal as they would have. A
// signal that was ignored when the program started stays ignored; one left
// blocked is unblocked, and one that came while it was blocked ends the
// process now. SIGPIPE no longer ends the process: a write to a pipe
// without a reader fails with EPIPE instead. Programs it starts get the
// default handling back. Called first thing in main.
void Win32EndOnTerminationSignals(int exitCode);
// Ends the process at once with `exitCode`, after removing the lock files
// of the named mutexes it holds; exit handlers do not run.
[[noreturn]] void Win32EndProcessAtOnce(int exitCode);
// The running program's name ("vantel"), which starts every line it writes
// on a failure.
const char* Win32ProgramName();

// Gathers what WritePrivateProfileStringA writes to lpFileName from here on
// (each call still checks its arguments) into one replacement of the file,
// made by Win32EndProfileUpdate: every value reaches the file or, should the
// process die first or the write fail, none does. One update at a time per
// thread.
void Win32BeginProfileUpdate(LPCSTR lpFileName);
// Adds to the update begun the whole file lpPath, to hold the nSize bytes at
// lpBuffer (copied here). Files and values change as one: each file is
// written beside its name, and takes the name only after the profile holds
// the new values, all under the profile's lock, so that a reader holding the
// lock (Win32BeginProfileRead) finds the old values with the old files or
// the new with the new. A file must be missing in an existing directory or
// a regular file that may be written (a symbolic link's target is written),
// and named by one of the profile's values after the update (else the update
// fails with ERROR_INVALID_PARAMETER); it keeps its permission bits. A
// writer that dies half-way leaves what the next holder of the lock finishes
// or undoes. FALSE when no update is begun or the path is empty; the update
// then fails as a whole.
BOOL Win32AddProfileUpdateFile(LPCSTR lpPath, LPCVOID lpBuffer, DWORD nSize);
// Writes the gathered values and files. TRUE on success; FALSE, with
// GetLastError() saying why and Win32GetProfileUpdateFailure saying where,
// when they cannot be written, and then all is as it was.
BOOL Win32EndProfileUpdate();
// After a profile write of this thread failed: what refused. Returns 0 for
// the profile, n for the nth file added to the update, -1 when the last
// write did not fail. lpPath receives the full path that refused, cut to
// nSize - 1 bytes and zero-terminated: the file itself, or the directory
// that holds it when the refusal came from there (no permission to make a
// file in it, a read-only file system, a missing directory).
int Win32GetProfileUpdateFailure(LPSTR lpPath, DWORD nSize);
// The full path a profile file name resolves to, cut to nSize - 1 bytes and
// zero-terminated; its length, or 0 when the name has no place.
DWORD Win32GetProfilePath(LPCSTR lpFileName, LPSTR lpBuffer, DWORD nSize);

// Holds the profile's writers off (its lock, taken shared) until
// Win32EndProfileRead, so that the values read meanwhile and the files they
// name come from one update. Waits at most dwMilliseconds for a writer to
// finish; first finishes an update whose writer died half-way, and removes
// the temporary files killed writers left. FALSE when it goes on without the
// lock (the wait ran out, or no lock can be made where the profile lies);
// the files in place are one update's even then, a stalled writer's update
// being made to happen for it. Not while an update of this thread is written.
BOOL Win32BeginProfileRead(LPCSTR lpFileName, DWORD dwMilliseconds);
void Win32EndProfileRead();

struct SDL_Window;

// The SDL window behind a handle of CreateWindowExA; null for anything else.
SDL_Window* Win32SdlWindow(HWND hWnd);

// A window of class `lpClassName` that draws into a window of the display
// that some other program made and owns (on X11, the window of that id),
// instead of a window of its own. Its client area is that window's whole
// area and follows its size (WM_SIZE); ShowWindow and DestroyWindow never
// map, raise, hide or destroy it. When its owner destroys it, the handle is
// destroyed too (WM_DESTROY), as a parent's destruction takes its children;
// X errors about it from then on are expected and ignored, while any other X
// error stays as fatal as before. Null, with one line on standard error,
// when there is no such window or the display has no windows by id.
HWND Win32AdoptWindow(LPCSTR lpClassName, std::uint64_t nativeWindow);

// The name of the display that windows open on, as the environment gives
// it: DISPLAY, else WAYLAND_DISPLAY, else "(none)".
const char* Win32DisplayName();

// True when the window lies on a real display (not SDL's dummy or
// off-screen driver), so presentation should reach it and be paced.
bool Win32HasRealDisplay(HWND hWnd);

// The pixels a window shows, for drawing by software: the client area's
// `width` x `height` pixels from `bits` on, rows `pitch` bytes apart, each
// pixel `bytesPerPixel` (1 to 4) bytes in the machine's byte order. A
// colour lies in the bits of `redMask`, `greenMask` and `blueMask` (each
// channel's high bits first) with `opaqueBits` set as well: an alpha
// channel the display would otherwise take for transparency. A frame with
// no masks is palettized: its pixel values come from Win32WindowColours.
struct Win32WindowFrame {
    BYTE* bits;
    int pitch;
    int width;
    int height;
    int bytesPerPixel;
    DWORD redMask;
    DWORD greenMask;
    DWORD blueMask;
    DWORD opaqueBits;
};

enum class Win32FrameStatus {
    Ready,
    NoWindow,     // not a live window
    Unsupported,  // the display's pixels for this window cannot be drawn
    NoMemory,     // the memory for the frame cannot be had
};

// Fills `frame` for the window's present client size, making its memory on
// the first call and after a change of size; it stays valid until then or
// until the window is destroyed. The two failures of the display say so in
// one line on standard error, once per window. On X11 the frame is an image
// in the window's own visual, in shared memory where the server offers it.
Win32FrameStatus Win32GetWindowFrame(HWND hWnd, Win32WindowFrame* frame);
// Shows `area` (client coordinates) of the frame in the window, and all of
// it when the display lost what the window showed (it was covered, say).
BOOL Win32ShowWindowFrame(HWND hWnd, const RECT* area);
// The pixel values of the window's frame that show `count` colours
// (0x00RRGGBB) best; on a palettized display they are taken from the
// window's colormap, sharing cells with other programs where it is full.
BOOL Win32WindowColours(HWND hWnd, const DWORD* xrgb, int count, DWORD* pixels);

// For tests: how many messages have reached DefWindowProcA, and the last of
// them, so that a test can tell a message passed on from one swallowed.
struct Win32DefaultProcLog {
    unsigned long count;
    MSG last;
};
Win32DefaultProcLog Win32DefaultProcSeen();

// For tests: pretend the displays lie at `count` rectangles in screen
// coordinates, the first one the primary display; a count of 0 returns to
// the real ones. The virtual screen's metrics and windows over all of them
// follow; SM_CXSCREEN and SM_CYSCREEN stay the real first display's.
void Win32PretendDisplays(const RECT* displays, int count);

// For tests: pretend the display has this many bits per pixel (8, 16, 24,
// 32); 0 returns to the real depth. GetDeviceCaps(BITSPIXEL) reports it.
void Win32PretendDisplayDepth(int bitsPerPixel);
