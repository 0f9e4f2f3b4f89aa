// Windows and the message queue, for tests that render, present or send
// messages.
#pragma once

#include <vector>

#include "Platform/Win32/Win32.h"

// A shown popup window with its client area at (x, y) on the screen, of a
// class that leaves every message to DefWindowProcA; null when refused.
HWND OpenTestWindow(int x, int y, int width, int height);

// Takes every waiting message out of the queue without dispatching it.
std::vector<MSG> DrainMessages();
