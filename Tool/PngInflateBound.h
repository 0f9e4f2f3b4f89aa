// A PNG whose compressed pixels inflate to far more than its image holds
// (gigabytes from a few megabytes) would keep a decoder inflating for
// seconds after the last row; the excess is cut off before it decodes.
#pragma once

#include <QByteArray>

// `png` (a signature and pixel chunks, as PngPixelChunksOf keeps them) with
// its IDAT data, when it inflates to more bytes than the image its IHDR
// describes takes (interlaced or not), replaced by one IDAT of those bytes
// alone. Unchanged when it inflates to no more, when its header cannot be
// read, or when it claims more than any picture read whole.
QByteArray PngInflateBounded(const QByteArray& png);
