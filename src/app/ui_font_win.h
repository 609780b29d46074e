#pragma once
// The face the program's own windows write in: Segoe UI where Windows has it, else Tahoma.
#include <windows.h>

#include "core/unique_handle_win.h"

namespace spotlex {

// A smoothed font of the UI face, `pixelHeight` tall (character height), at the given weight.
UniqueFont MakeUiFont(int pixelHeight, int weight = FW_NORMAL);

}  // namespace spotlex
