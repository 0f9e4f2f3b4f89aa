// Picture files in and out of the canvas.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

// Reads a BMP, JPEG or GIF file (told by its content, whatever its name) as
// its decoder gives it: the caller never pays for a pass over every
// pixel of a large picture. Drawn on the canvas, transparent pixels show its
// black. Only a regular file of bounded size is read, and a picture of more
// than 16 megapixels is refused: from its header before it is decoded, or,
// where the header understates it, by the decoder's 64 MB allocation limit
// and a check after it. On failure returns nullopt and, when `error` is
// given, puts the reason there.
std::optional<QImage> LoadPicture(const QString& path, QString* error = nullptr);

// The image as an uncompressed 24-bit BMP file: bottom-up rows padded to
// four bytes, no palette, 96 dots per inch.
QByteArray EncodeBmp24(const QImage& image);
