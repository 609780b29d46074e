#pragma once
// The program's picture for its splash screen and about box: a key cap in a spotlight burst, the
// same drawing as the program's icon, rendered smooth at any size.
#include <windows.h>

#include "core/unique_handle_win.h"

namespace spotlex {

// A size x size 32-bit bitmap with premultiplied alpha, for AlphaBlend; null on failure.
UniqueBitmap RenderSpotlexMark(int size);

// Draws the picture with its top-left corner at (x, y).
void DrawSpotlexMark(HDC dc, int x, int y, int size);

}  // namespace spotlex
