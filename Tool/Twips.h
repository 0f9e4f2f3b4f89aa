// The layout's unit is the twip, 1/1440 inch. How many twips make a screen
// pixel depends on the screen's logical resolution: 15 at 96 dots per inch.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>

// Twips per pixel of the primary screen, 1440 / its logical dots per inch in
// x (respectively y). Read anew on every call, as the screen may change.
float TwipsPerPixelX();
float TwipsPerPixelY();

// The same for a form whose captions show in `font`. A font larger than the
// design's 9 points makes the resolution larger in proportion, as a larger
// system font did on the system the layout was made for: the form and its
// controls grow with their captions and keep their proportions.
float TwipsPerPixelX(const QFont& font);
float TwipsPerPixelY(const QFont& font);

// The nearest integer, halves going to the even neighbour (2.5 -> 2,
// 3.5 -> 4). Values beyond the int range give its nearest end.
int RoundHalfEven(double value);

// A position in twips as the nearest pixel: rnd(twips / twipsPerPixel).
int TwipsToPixels(double twips, float twipsPerPixel);

// A rectangle given in twips (left, top, width, height) in pixels.
QRect TwipsRectToPixels(int left, int top, int width, int height, float twipsPerPixelX, float twipsPerPixelY);
