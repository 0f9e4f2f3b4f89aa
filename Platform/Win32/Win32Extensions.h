// What the programs need of the Win32 stand-in beyond the published API, on
// Linux: the settings folder, the debug output's listener, signals and the
// session bus, updates of settings and files as one, adopted windows and the
// pixels a window shows. Named Win32… so that they read as the stand-in's own.
#pragma once

#include <cstdint>
#include <string>

#include "Platform/Win32/Win32.h"

// Names the folder under $XDG_CONFIG_HOME (default ~/.config/) where bare
// profile file names lie. Each program names its own before its first
// profile call. Until then, and after a null or empty name, a bare name has
// no place: reads give the default and writes fail.
void Win32SetProfileFolder(const char* name);
// Names the value (in `section`, under `key`) that names the file an update
// carries besides its values: such a file must be the one that value names
// after the update, and a journal left by a writer that died is obeyed only
// for that file. Until it is named, no update carries a file.
void Win32SetProfileFileKey(const char* section, const char* key);

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
// The running program's name (as it was started, without the directory),
// which starts every line it writes on a failure.
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
// and named by the file key's value after the update (Win32SetProfileFileKey;
// else the update fails with ERROR_INVALID_PARAMETER); it keeps its permission bits. A
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
// Where a file the values read name is to be read during that read: a
// reader that may not rename files finds a stalled writer's update unmade,
// and reads its new files where they lie until they take their names (the
// profile's values come from there already). lpPath itself otherwise.
// Copies the path with its terminating zero; its length, or 0 when it does
// not fit nSize.
DWORD Win32GetProfileFileToRead(LPCSTR lpPath, LPSTR lpBuffer, DWORD nSize);

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

// Chooses, at the first call, the display that windows open on, and
// connects to it: the Wayland display WAYLAND_DISPLAY names where its
// compositor answers and can show our frames, unless `x11Only` (windows of
// other programs are drawn into, or an X display was asked for); else the X
// display DISPLAY names where it can be opened. Its name, or null when
// neither can be had (starting the video then says why in one line), and in
// `why` for a developer which display and why ("the X display :0: only
// DISPLAY is set"). Later calls give the first call's answer. Where
// SDL_VIDEODRIVER names SDL's driver nothing is chosen: DISPLAY's name, else
// WAYLAND_DISPLAY's, else null, and `why` empty.
const char* Win32ChooseDisplay(bool x11Only, std::string* why);

// The name of the display that windows open on: the chosen one, else as the
// environment gives it: DISPLAY, else WAYLAND_DISPLAY, else "(none)".
const char* Win32DisplayName();

// True when the window lies on a real display (not SDL's dummy or
// off-screen driver), so presentation should reach it and be paced.
bool Win32HasRealDisplay(HWND hWnd);

// The pixels a window shows, for drawing by software: the client area's
// `width` x `height` pixels from `bits` on, rows `pitch` bytes apart, each
// pixel `bytesPerPixel` (1 to 4) bytes in the machine's byte order. A
// colour lies in the bits of `redMask`, `greenMask` and `blueMask` (each
// channel's high bits first) with `opaqueBits` set as well: an alpha
// channel the display would otherwise take for transparency. An image with
// no masks is palettized: its pixel values come from Win32WindowColours.
struct Win32WindowImage {
    BYTE* bits;
    int pitch;
    int width;
    int height;
    int bytesPerPixel;
    DWORD redMask;
    DWORD greenMask;
    DWORD blueMask;
    DWORD opaqueBits;
    // Names the image's contents: a new number when its memory is made anew
    // (a new size, say), the same while the contents move between buffers.
    std::uint64_t memoryId;
};

enum class Win32ImageStatus {
    Ready,
    NoWindow,     // not a live window
    Unsupported,  // the display's pixels for this window cannot be drawn
    NoMemory,     // the memory for the image cannot be had
};

// Fills `image` for the window's present client size, making its memory on
// the first call and after a change of size; it stays valid until then or
// until the window is destroyed. The memory given may be written at once:
// while the display still reads what was last shown from it, this waits.
// The image keeps its contents from one show to the next, but on displays
// that take buffers in turns (Wayland) its address moves at each show: ask
// again before drawing. The two failures of the display say so in one line
// on standard error, once per window. On X11 it is an X image in the
// window's own visual, in shared memory where the server offers it.
Win32ImageStatus Win32GetWindowImage(HWND hWnd, Win32WindowImage* image);
// Shows the `count` areas (client coordinates) of the image that changed
// since the last show, and all of it when the display lost what the window
// showed (it was covered, say). The display may read the memory until the
// next Win32GetWindowImage says otherwise; nothing may write it before.
BOOL Win32ShowWindowImage(HWND hWnd, const RECT* areas, int count);
// True when showing a frame waits for the display's own next refresh
// (Wayland's frame callbacks), so nothing else need pace the frames.
bool Win32WindowPacesFrames(HWND hWnd);
// The pixel values of the window's image that show `count` colours
// (0x00RRGGBB) best; on a palettized display they are taken from the
// window's colormap, sharing cells with other programs where it is full.
BOOL Win32WindowColours(HWND hWnd, const DWORD* xrgb, int count, DWORD* pixels);

// True while somebody may see the window: it is mapped and not wholly
// covered by other windows, and its display's monitors are on (not in DPMS
// standby, suspend or off). Takes what the display said meanwhile without
// waiting for it; on X11 the power is asked once a second at most, and a
// window covered already when first asked about counts as seen until the
// display tells of a change. Windows elsewhere than on X11 count as seen.
bool Win32WindowSeen(HWND hWnd);
// Sleeps until the window may be seen again or the display has input or
// other news for the program (messages to peek); a second at most where
// the monitors' power is to be asked again.
void Win32AwaitSight(HWND hWnd);
