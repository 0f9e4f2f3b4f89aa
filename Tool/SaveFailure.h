// What the tool says when a save stops: which file, at which step, and why,
// in the window's language, ending with the words that say writing stopped.
#pragma once

#include <QString>
#include <cstddef>

#include "Platform/Win32/Win32.h"

enum class SaveStep { Picture, Settings };

// `file` is the picture or the settings file, by `step`; `refused` the path
// that refused, the file itself or a folder; `error` the Win32 error code.
QString SaveFailureText(SaveStep step, const QString& file, const QString& refused, DWORD error);

// For a picture path longer than `limit` bytes, which the screensaver could
// not read back from the settings.
QString PathTooLongText(const QString& path, std::size_t limit);
