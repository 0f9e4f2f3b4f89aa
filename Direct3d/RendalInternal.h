// What the layer's own files share and the application does not see.
#pragma once

// The source path named in every failure report of the layer.
inline constexpr char RZXSourcePath[] = "C:\\myproject\\Direct3d\\Rendal";

// The 8-bit palette from the system colours, set on the back and the primary
// surface. Requires the display surfaces; cannot fail.
void RZXPalettize();
