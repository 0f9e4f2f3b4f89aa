// What a picture file's own structure tells before any decoder runs: where
// a PNG's pixels lie, and whether a BMP or GIF file ends before its last
// byte of pixels.
#pragma once

#include <QByteArray>

// The PNG file's signature and chunks that make its pixels (IHDR, PLTE, tRNS,
// IDAT, IEND), in their order. Every other chunk is left out: text, profiles
// and the like change no pixel, and a decoder would allocate whatever length
// they claim. Reading stops at a chunk that claims more bytes than the file
// has left; an IEND then closes what was kept and `cutShort` is set.
struct PngPixelChunks {
    QByteArray bytes;
    bool cutShort = false;
};
PngPixelChunks PngPixelChunksOf(const QByteArray& png);

// True when an uncompressed BMP file ends before its last row of pixels.
bool BmpCutShort(const QByteArray& bmp);

// True when libjpeg would hold the JPEG's every coefficient while it decodes,
// whatever the scale asked: a progressive frame, or more than one scan.
bool JpegHoldsWholeImage(const QByteArray& jpeg);

// True when a GIF file's blocks run past its end before its trailer.
bool GifCutShort(const QByteArray& gif);

// An uncompressed BMP's layout, from its headers; `valid` is false for
// compressed or malformed ones.
struct BmpRows {
    bool valid = false;
    qint64 width = 0;
    qint64 height = 0;  // always positive
    bool topDown = false;
    qint64 dataOffset = 0;
    qint64 rowBytes = 0;  // padded to four bytes
    int headerSize = 0;   // of the DIB header: 12 (core) or at least 40
};
BmpRows BmpRowsOf(const QByteArray& bmp);

// A BMP of rows [first, first + count) of `bmp` as the file stores them
// (bottom-up unless topDown), with the same headers and colours.
QByteArray BmpBand(const QByteArray& bmp, const BmpRows& rows, qint64 first, qint64 count);
