// Picture files in and out of the canvas.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

// Reads a BMP, JPEG, GIF or PNG file (told by its content, whatever its name) as
// its decoder gives it, turned upright as its orientation tag says: the
// caller never pays for a pass over every pixel of a large picture. Drawn on
// the canvas, transparent pixels show its black. Only a regular file of
// bounded size is read, and a picture of more than 16 megapixels is refused:
// from its header before it is decoded, or, where the header understates it,
// by the decoder's 64 MB allocation limit and a check after it. A PNG
// reaches its decoder with only the chunks that make its pixels (see
// PngPixelChunksOf), so no other chunk can claim memory. On failure
// returns nullopt and, when `error` is given, puts the reason there, a
// sentence for the person who chose the file.
std::optional<QImage> LoadPicture(const QString& path, QString* error = nullptr);

struct LoadedPicture {
    QImage image;  // the picture upright, at its own size or reduced
    QSize size;    // its own size, upright
    // Empty, or why part of the picture could not be read (the file ends
    // early, its data is partly corrupt): the picture shows what could.
    QString damage;
};

// As LoadPicture, except that a JPEG, GIF or uncompressed BMP picture of more
// than 16 (and at most 256) megapixels is decoded at a reduced scale: to the smallest size, its
// proportions kept, that still covers `cover`. Phone photographs import so
// without their full pixels ever being held.
std::optional<LoadedPicture> LoadPictureCovering(const QString& path, QSize cover, QString* error = nullptr);

// The image as an uncompressed 24-bit BMP file: bottom-up rows padded to
// four bytes, no palette, 96 dots per inch.
QByteArray EncodeBmp24(const QImage& image);
