// What DirectDraw notes about the windows it presents to: the surface that
// draws in a window's image, and the presenter that wrote to the window
// last. Kept here, beside the windows rather than on them, and never
// longer than what they name: a note goes with its surface, its presenter
// and its window.
#pragma once

#include "Platform/Win32/Win32.h"

namespace dx {

class Presenter;
class Surface;

// Null when none, or when the window is gone.
Surface* ImageDrawer(HWND window);
void SetImageDrawer(HWND window, Surface* drawer);
const Presenter* LastPresenter(HWND window);
void SetLastPresenter(HWND window, const Presenter* presenter);

// Drops every note naming `surface` or `presenter`, which goes.
void ForgetNotesOf(const Surface* surface);
void ForgetNotesOf(const Presenter* presenter);

}  // namespace dx
