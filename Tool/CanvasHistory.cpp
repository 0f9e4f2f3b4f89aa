#include "Tool/CanvasHistory.h"

#include <utility>

void CanvasHistory::Record(const QImage& before) {
    redo_.clear();
    undo_.push_back(before);
    if (undo_.size() > kMaxSteps) undo_.pop_front();
}

std::optional<QImage> CanvasHistory::Undo(const QImage& current) {
    if (undo_.empty()) return std::nullopt;
    QImage previous = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(current);
    return previous;
}

std::optional<QImage> CanvasHistory::Redo(const QImage& current) {
    if (redo_.empty()) return std::nullopt;
    QImage next = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(current);
    return next;
}
