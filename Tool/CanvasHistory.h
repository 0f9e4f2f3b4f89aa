// Undo and redo of the canvas: whole 256 x 256 images, one per step.
//
// A step is one change the person made at once: a stroke from press to
// release, a clear, an import. Each remembered image is 256 KiB at 32 bits
// a pixel; the steps to undo and to redo together never number more than
// kMaxSteps, so the history holds at most 16 MiB, whatever is painted.
// Unchanged images share their pixels with the canvas until it draws again.
#pragma once

#include <QImage>
#include <cstddef>
#include <deque>
#include <optional>

class CanvasHistory {
public:
    static constexpr std::size_t kMaxSteps = 64;

    // `before` is the canvas as it was just before a new step: it becomes the
    // newest step to undo, the redo steps are gone, and beyond kMaxSteps the
    // oldest step is forgotten.
    void Record(const QImage& before);
    // The canvas one step back, when there is one; `current` is then kept
    // for Redo.
    std::optional<QImage> Undo(const QImage& current);
    // The canvas one undone step forward again, when there is one; `current`
    // is then kept for Undo.
    std::optional<QImage> Redo(const QImage& current);

private:
    std::deque<QImage> undo_;  // oldest first
    std::deque<QImage> redo_;  // the next to redo last
};
