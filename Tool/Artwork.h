// The tool's own pictures, drawn in code: the canvas's pencil cursor and the
// window icon.
#pragma once

#include <QCursor>
#include <QIcon>

// A 32 x 32 pencil pointing up and to the left; its tip, the hot spot, is
// at (4, 5).
QCursor PencilCursor();

// A box with a painted face, at 16, 32 and 64 pixels.
QIcon VantelIcon();
