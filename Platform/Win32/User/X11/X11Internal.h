// What the pieces of the X11 room offer the X11 display system
// (X11Server.cpp), apart from what the rest of the stand-in calls itself
// (UserInternal.h).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Win32/User/WindowPixels.h"
#include "Platform/Win32/User/WindowSight.h"

namespace win32user {

// Why the X display `name` cannot be opened (no server answers, no such
// screen, the server refused us and its words), in a few words; empty when
// it can be, and then the connection stays open until ReleaseDisplayProbe.
std::string XDisplayProblem(const char* name);
// Closes the probe's connection, once SDL's own is up (or will not be).
void ReleaseDisplayProbe();

// From now on the X server going away ends the process with exit code 1 and
// one line on standard error, also when it goes in the middle of a write
// (SIGPIPE is ignored from then on); so does an X error that nothing of
// ours expected (XErrors.h). Costs nothing until then.
void EndOnLostDisplay();

// Where the monitors of our screen lie, the primary one first, as the
// server has them now (RandR); else as SDL has them.
std::vector<SDL_Rect> X11Monitors();
// On an X display of several screens, has SDL keep to the one the
// display's name asks for (":0.1"), starting its video again if need be.
// False when it could not be started again.
bool KeepToTheNamedScreen();
// Has SDL's connection hear of the monitors' changes on `window`'s screen.
void FollowX11Monitors(SDL_Window* window);
// Looks at an event of SDL's connection for news of the monitors.
void NoteMonitorEvent(const SDL_SysWMmsg* message);
// Looks at an event of SDL's connection for adopted windows destroyed.
void NoteAdoptedWindowEvent(const SDL_SysWMmsg* message);
// Looks at an event for a window mapped or raised at the top level.
void NoteStackingEvent(const SDL_SysWMmsg* message);
// As DisplayServer's covering window: MakeCoverWindow, NoteShown, ForgetWindow.
bool MakeCoverWindowOnX11(SDL_Window* window);
void NoteCoverShown(SDL_Window* window, bool shown);
void ForgetCoverWindow(SDL_Window* window);
// Raises the covering window and asks for its grabs again when that is due.
void TendCoverWindow();
// From now on SdlEventsMayWait watches the connection SDL made `window` on.
void WatchSdlConnection(SDL_Window* window);
// As DisplayServer's EventsMayWait: true until a connection is watched.
bool SdlEventsMayWait();
// As DisplayServer's AdoptWindow and AdoptedWindowGone.
SDL_Window* AdoptXWindow(std::uint64_t nativeWindow, std::string& problem);
bool AdoptedXWindowGone(std::uint64_t nativeWindow);

// Over an X image of our own; null when the window is not on X11. An
// adopted window's colormap stays its owner's.
std::unique_ptr<WindowPixels> MakeXWindowPixels(SDL_Window* window, bool adopted);
// The X screen's default visual, for the windows SDL makes (unless the user
// chose one) and for what GetDeviceCaps says of the screen.
void UseXScreenVisual();
int XScreenBitsPerPixel();
// Over a connection of our own to the window's X display; null when the
// window is not on X11 or the display cannot be reached again.
std::unique_ptr<WindowSight> MakeXWindowSight(SDL_Window* window);

}  // namespace win32user
