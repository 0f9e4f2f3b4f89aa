// Deepdr: the screensaver's entry, run modes, saver window and frame loop.
#pragma once

#include <cstdint>

#include "Platform/Win32/Win32.h"
#include "ScreenSaver/HostOverrides.h"

// What a command line asks for. Configure wins over saver.
enum class RunMode { None, Configure, Saver };

// Scans the text after the program's name: "-" or "/" followed by "c" or "s",
// either case, sets that switch; only the first character after each "-" or
// "/" counts and everything else is passed over. Null or empty gives None.
RunMode ScanCommandLine(const char* commandLine);

// The program's entry: 0 when the saver window was closed by the user or
// --help or --version was answered (SaverOptions.h), 1 on every other end (no
// mode, configure mode, another copy running, a failure: of the window, of
// the rendering layer's start-up, of the scene root or the viewport).
int WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

// The saver window, from its creation on; kept after its destruction.
extern HWND MainWindow;
// The screensaver host's window the saver draws into, or 0 when it runs in a
// window of its own. Set before CreateSaverWindow. The host holds the input
// and ends the saver itself, so a hosted saver leaves the cursor alone and
// takes no input as a reason to end.
extern std::uint64_t HostWindow;

// Registers the class "Vantel". The class atom, 0 on failure.
ATOM RegisterSaverClass(HINSTANCE instance);
// Creates the black window over every display, shows it and hides the
// cursor; or, with a HostWindow, paints that window black. 1 when the window
// exists and is shown, 0 when its creation failed.
int CreateSaverWindow(HINSTANCE instance, int showCommand);
// Any key and the left or right button destroy the window (not in a host's
// window); its destruction shows the cursor again and posts WM_QUIT with exit
// code 0. A new size makes the rendering follow it; a change of the
// displays makes the window cover them all again (not in a host's window).
LRESULT SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Makes the rendering layer ready for MainWindow: 1, or it ends the process
// with 1; in a host's window it returns 0 instead, rendering left off.
int StartRendering();
// Makes the rendering layer ready again when MainWindow's client area has
// changed size; the scene goes on as it was. Rendering that has stopped stays
// stopped, and so does rendering that cannot be made ready for the new size.
void FollowWindowSize();
// Builds the scene from the settings, or what `overrides` gives in their
// place (the speed clamped and the file name cut as the settings' are):
// frames, viewport, lights, the textured box, and turns rendering on. 1, or 0
// with rendering left off when the scene root or the viewport could not be
// made (a failed viewport has released the rendering layer too).
int BuildScene(const HostOverrides& overrides = {});
// Tells a user, in one line on standard error, that the saver stopped
// drawing: on which display, into which host's window, what failed and the
// error's name. What failed is the rendering layer's last failure, or
// `stage` when the layer does not say; with a `code`, the saver's own call
// in `stage` failed with it. Printed whether or not a debugger listens.
void SayDrawingStopped(const char* stage, HRESULT code = 0);
// From now on, a failure of the rendering layer that ends the process before
// the saver could tell it is told as the process ends.
void TellFailuresAtExit();
// Keeps the box between its walls and sets its velocity and turn for the
// coming frame.
int MoveBox();
// Restores lost surfaces, advances the scene one step, renders, draws the
// frame rate over the picture when `showFrameRate` asks for it, and presents.
// 1 when the frame was shown or rendering is off; 0 when the step failed,
// after which rendering is released and stays off.
int FrameTick(bool showFrameRate = false);
