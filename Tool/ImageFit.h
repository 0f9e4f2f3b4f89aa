// Fitting an imported picture into the canvas: the largest size that keeps
// its proportions, centred, and the nearest-neighbour copy that puts it there.
#pragma once

#include <QImage>

struct ImageFit {
    int fitWidth;  // scaled picture on the canvas, pixels
    int fitHeight;
    int x;  // its top-left corner on the canvas, pixels
    int y;
};

// Sizes are client sizes in twips (canvas cw x ch, picture iw x ih) and the
// screen's twips per pixel (tx, ty). Every rounding takes halves to even and
// every integer quotient truncates, so the fitted size never grows past the
// canvas: with a 3840 x 3840 twip canvas at 15 twips per pixel a 1000 x 999
// picture becomes 256 x 255 at (0, 0). ih must not be 0.
ImageFit FitImage(float cw, float ch, float iw, float ih, float tx, float ty);

// `source` (any format) scaled to width x height by repeating or dropping
// whole rows and columns, as opaque RGB32 over black; colours are never
// blended with one another. Both sizes must be positive.
QImage ScaleNearest(const QImage& source, int width, int height);
