// The import button's work without its window: a picture file loaded,
// fitted to the canvas and scaled, ready to be drawn on a black canvas.
// The button and the fuzz target both come through here.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <optional>

struct ImportedPicture {
    QImage picture;  // the whole picture upright, at its own size or reduced (see LoadPictureCovering)
    QImage fitted;   // scaled to fit the canvas; null when it would cover no pixel
    QPoint at;       // where `fitted`'s top-left corner lies on the canvas
    QString damage;  // see LoadedPicture
};

// The picture at `path` (see LoadPictureCovering) fitted to the canvas at the
// screen's twips per pixel. Empty when the file is no picture the tool
// reads; `error`, when given, then says why.
std::optional<ImportedPicture> ImportPicture(const QString& path, QString* error = nullptr);
