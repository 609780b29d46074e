#pragma once
// The draggable displays' two cursors: an open hand over the window, a hand in fist while dragging.
#include <windows.h>

#include "core/unique_handle_win.h"

namespace spotlex {

UniqueCursor CreateOpenHandCursor();
UniqueCursor CreateClosedHandCursor();

}  // namespace spotlex
