// A large GIF picture read at a reduced size without ever holding all of its
// pixels: the first frame's LZW stream decoded a row at a time, and only the
// rows and columns of the reduced picture kept. Its decoder is this file's
// own, as Qt's would make the whole screen first.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// The first frame of `gif` on its logical screen, as a `reduced`-sized
// ARGB32 picture whose every pixel is a single pixel of the screen: the
// frame's colours, transparent where the frame leaves the screen empty or
// marks a pixel transparent. Rows the file does not hold stay transparent
// and set `*cutShort`. Null when the file is no GIF this reads. Holds one
// row of the frame and the LZW table besides the result.
QImage DecodeGifReduced(const QByteArray& gif, QSize reduced, bool* cutShort);
