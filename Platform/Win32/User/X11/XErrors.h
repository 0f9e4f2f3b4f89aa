// The X errors of our requests, and of SDL's. Xlib hands every one to one
// handler for the whole process, whose default writes the error in Xlib's
// raw words and ends the process with 1. Ours sorts them instead:
//
// - a request made under an XErrorTrap may fail: its error is the trap's,
//   which tells its maker;
// - a request about an adopted window that finds no such window means its
//   owner destroyed it, which AdoptedWindows notes (the saver then ends as
//   its host asks, with 0);
// - any other error is unexpected: the program ends with 1 and one line
//   naming the display, the request and the error.
//
// So a request that can race a window's end (one on a host's window that
// names no window id of its own, such as a GC made on it, or its colormap)
// is made under a trap.
#pragma once

#include <X11/Xlib.h>

namespace win32user {

// Makes ours the process's X error handler (again, when another took its
// place since). Costs no request.
void HandleXErrors();

// Takes the errors of the requests made on `display` while it lives, from
// the first one after it is made: the errors of earlier requests are
// handled as before it (its making waits for their answers). Traps nest;
// the innermost one of the display takes its errors.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Whether a request since the trap was made failed (it waits for the
    // server's answer to every one).
    bool Failed();

    // Notes an error of `display` in its innermost trap: false when it has none.
    static bool TakeError(Display* display);

private:
    Display* display_;
    XErrorTrap* outer_;
    bool failed_ = false;
};

// Whether `error` is about an adopted window that is gone, noted as such
// (AdoptedWindows.cpp).
bool NoteAdoptedWindowError(const XErrorEvent& error);

}  // namespace win32user
