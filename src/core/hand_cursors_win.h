#pragma once
// The draggable displays' two cursors: an open hand over the window, a hand in fist while dragging.
#include <windows.h>

#include "core/unique_handle_win.h"

namespace spotlex {

UniqueCursor CreateOpenHandCursor();
UniqueCursor CreateClosedHandCursor();

// The messages a draggable display answers alike: it is never activated, not even by the system's
// move loop, and over it the pointer is `hand`. True when `msg` is answered, with its `result`.
bool DraggableDisplayMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, HCURSOR hand, LRESULT& result);

}  // namespace spotlex
