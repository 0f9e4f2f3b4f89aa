// Helpers used inside per-pixel loops are forced inline, so that those
// loops call no functions in any build. Forced inlining also keeps a helper
// included by the SIMD files from being shared, out of line, between
// translation units compiled for different instruction sets.
#pragma once

#define RASTER_INLINE inline __attribute__((always_inline))
