// The tool's own pictures, drawn in code: the canvas's pencil cursor and the
// window icon.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>

// A 32 x 32 pencil pointing up and to the left; its tip, the hot spot, is
// at (4, 5).
QCursor PencilCursor();

// A box with a painted face, at 16, 32 and 64 pixels.
QIcon VantelIcon();
// The same box drawn at `size` x `size` pixels on transparency; needs no
// running application, so the build can write the installed icon files.
QImage VantelIconImage(int size);
