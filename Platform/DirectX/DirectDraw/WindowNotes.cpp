#include "Platform/DirectX/DirectDraw/WindowNotes.h"

#include <vector>

namespace dx {
namespace {

struct Note {
    HWND window;
    Surface* drawer;
    const Presenter* lastPresenter;
};

// Never destroyed: a surface released late at exit still forgets itself.
std::vector<Note>& Notes() {
    static auto* notes = new std::vector<Note>;
    return *notes;
}

// DirectDraw hears of no window's end; it asks.
bool Gone(HWND window) {
    RECT client;
    return GetClientRect(window, &client) == FALSE;
}

bool Empty(const Note& note) {
    return note.drawer == nullptr && note.lastPresenter == nullptr;
}

// Drops notes that name nothing any more or a window that is gone.
void Tidy() {
    std::erase_if(Notes(), [](const Note& note) { return Empty(note) || Gone(note.window); });
}

Note* Find(HWND window) {
    for (Note& note : Notes()) {
        if (note.window != window) continue;
        if (!Gone(window)) return &note;
        Tidy();
        return nullptr;
    }
    return nullptr;
}

// Null for a window that is gone.
Note* NoteOn(HWND window) {
    if (Note* note = Find(window)) return note;
    if (Gone(window)) return nullptr;
    Tidy();
    return &Notes().emplace_back(Note{window, nullptr, nullptr});
}

}  // namespace

Surface* ImageDrawer(HWND window) {
    const Note* note = Find(window);
    return note != nullptr ? note->drawer : nullptr;
}

void SetImageDrawer(HWND window, Surface* drawer) {
    if (Note* note = NoteOn(window)) note->drawer = drawer;
}

const Presenter* LastPresenter(HWND window) {
    const Note* note = Find(window);
    return note != nullptr ? note->lastPresenter : nullptr;
}

void SetLastPresenter(HWND window, const Presenter* presenter) {
    if (Note* note = NoteOn(window)) note->lastPresenter = presenter;
}

void ForgetNotesOf(const Surface* surface) {
    for (Note& note : Notes())
        if (note.drawer == surface) note.drawer = nullptr;
    // No window is asked after here: surfaces also go at exit, after windows.
    std::erase_if(Notes(), Empty);
}

void ForgetNotesOf(const Presenter* presenter) {
    for (Note& note : Notes())
        if (note.lastPresenter == presenter) note.lastPresenter = nullptr;
    std::erase_if(Notes(), Empty);
}

}  // namespace dx
