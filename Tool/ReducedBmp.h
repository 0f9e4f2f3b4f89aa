// A large uncompressed BMP picture read at a reduced size without ever
// holding all of its pixels: decoded a band of rows at a time, each band
// sampled to the rows and columns of the reduced picture that fall in it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <functional>

// `bmp` (whose BmpRowsOf must be valid) as a `reduced`-sized ARGB32 picture,
// every pixel taken from a single pixel of the original. Rows the file does
// not hold stay transparent (black on the canvas) and set `*cutShort`. Null
// when a band does not decode. Holds one band of rows of the original at
// once (about four megapixels), besides the result.
// `bandRead`, when given, learns after each band how many of the file's
// first bytes will not be read again.
QImage DecodeBmpReduced(const QByteArray& bmp, QSize reduced, bool* cutShort,
                        const std::function<void(qint64)>& bandRead = {});
