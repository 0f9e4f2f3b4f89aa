// How much the saver tells a developer, from VANTEL_DEBUG.
#pragma once

// 1 ("1"): the rendering trace, as a listening debugger would see it; 2
// ("2"): the rasterizer's choice too, before the trace; 0 for anything else.
int SaverDebugLevel();
