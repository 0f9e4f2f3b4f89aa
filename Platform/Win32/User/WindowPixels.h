// The pixels of a window: the image software draws into, how it reaches the
// display, and the colours the display has for it. One per window, made on
// first use: on X11 over an image of our own in the window's visual, since
// SDL's X11 surfaces leave out some visuals (8-bit colormaps, 30-bit colour)
// and never mark a 32-bit window's pixels opaque; on a Wayland display of
// our own over shared memory shown on surfaces of ours, since SDL runs its
// off-screen driver there; elsewhere over SDL's window surface.
#pragma once

#include <SDL.h>

#include <memory>

#include "Platform/Win32/Win32Extensions.h"

namespace win32user {

class WindowPixels {
public:
    virtual ~WindowPixels() = default;
    // What GetDeviceCaps(BITSPIXEL) reports for the window.
    virtual int BitsPerPixel() = 0;
    // As Win32GetWindowImage.
    virtual Win32ImageStatus Image(Win32WindowImage* image) = 0;
    // Shows the `count` areas of the image (`all`: the whole image instead),
    // clipped to the image.
    virtual bool Show(const RECT* areas, int count, bool all) = 0;
    // True when Show waits for the display's next refresh.
    virtual bool PacesFrames() { return false; }
    // As Win32WindowColours.
    virtual bool Colours(const DWORD* xrgb, int count, DWORD* pixels) = 0;
    // Paints the whole window in one colour; the image's memory stays as it is.
    virtual bool Paint(BYTE red, BYTE green, BYTE blue) = 0;

    // The display no longer shows what the image holds (the window was
    // covered, or painted over): until the next Show, all of it is due.
    void NoteLost() { lost_ = true; }
    // Takes the note: true when the whole image is to be shown.
    bool TakeLost() {
        const bool lost = lost_;
        lost_ = false;
        return lost;
    }

private:
    bool lost_ = true;
};

// Over SDL's window surface.
std::unique_ptr<WindowPixels> MakeSdlWindowPixels(SDL_Window* window);

// `area` (null: all) of an image of `width` x `height` pixels, clipped to it;
// false when nothing of it is left.
bool AreaInImage(const RECT* area, int width, int height, RECT* clipped);

// A number for image memory made anew, never given before.
std::uint64_t NewImageMemoryId();

// What GetDeviceCaps(BITSPIXEL) reports for pixels of an SDL format.
int SdlBitsPerPixel(Uint32 format);

// The pixels of a live window (made on first use); null for anything else.
WindowPixels* PixelsOf(HWND hWnd);
// Lets go of a window's pixels, before its SDL window goes.
void ForgetPixels(HWND hWnd);
// Puts `pixels` in place of a live window's own: a display as a test plays it.
void ReplacePixels(HWND hWnd, std::unique_ptr<WindowPixels> pixels);

// Makes SDL give windows made from now on the screen's default visual (on
// X11, unless the user chose one). SDL would take a DirectColor visual where
// the server has one, whose colormap shows its colours only once installed,
// which nobody does without a window manager.
void UseScreenVisual();

// What GetDeviceCaps(BITSPIXEL) reports for the screen: its default visual
// on X11, else SDL's desktop mode; 0 when there is no display to ask.
int ScreenBitsPerPixel();
// SDL's desktop mode's part of it.
int SdlScreenBitsPerPixel();

}  // namespace win32user
