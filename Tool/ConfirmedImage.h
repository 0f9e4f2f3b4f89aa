// Where "設定確定" puts the texture it writes without asking.
#pragma once

#include <QString>

// "123.bmp" beside the program when the program's directory is writable (the
// build tree, an install in the home directory); otherwise, as in an install
// under /usr, in the user's data directory $XDG_DATA_HOME/vantel/ (by default
// ~/.local/share/vantel/), which is made when missing. A full path either way.
QString ConfirmedImagePath(const QString& programDirectory);
