#pragma once
// The Win32 side of CColor: system colours and screen pixels.
#include <windows.h>

#include <cstdint>

#include "core/color.h"

namespace spotlex {

// The colour of the screen pixel at (x, y) as GetPixel reads it from the whole screen's device
// context, or CLR_INVALID where the screen cannot be read.
COLORREF ReadScreenPixel(int x, int y);

}  // namespace spotlex
