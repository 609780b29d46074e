#pragma once
// The draggable displays' two cursors: an open hand over the window, a hand in fist while dragging.
#include <windows.h>

#include <functional>
#include <memory>
#include <string_view>

#include "core/unique_handle_win.h"

namespace spotlex {

UniqueCursor CreateOpenHandCursor();
UniqueCursor CreateClosedHandCursor();

// The messages a draggable display answers alike: it is never activated, not even by the system's
// move loop, and over it the pointer is `hand`. True when `msg` is answered, with its `result`.
bool DraggableDisplayMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, HCURSOR hand, LRESULT& result);

// What a draggable display hands to DragDisplay.
struct DisplayDrag {
    HWND hwnd = nullptr;
    HCURSOR openHand = nullptr;
    HCURSOR closedHand = nullptr;
    // Switches the input hook off (false) and on again (true); may be empty.
    const std::function<void(bool enabled)>* inputGate = nullptr;
    bool* dragging = nullptr;
    // Runs once the window has been let go where the presenter put it.
    std::function<void()> dropped;
    // Runs after the drag whatever failed, before the hook comes back.
    std::function<void()> resume;
    // Where a failure is logged from.
    std::string_view module;
    // The display's life: a log-off or a close dispatched inside the move loop may end it, and
    // then nothing of it is touched afterwards (the hook still comes back through a copy of the
    // gate, which is the main form's).
    std::shared_ptr<const bool> alive;
};

// Moves a display by the system's own move loop, as a caption drag would, with the input hook off
// and the hand closed, between the "CKDragStart" and "CKDragEnd" sounds; then floats it on top.
// Whatever fails, the hook and the open hand come back. A display hidden during the drag (a remote
// "hide") stays hidden.
void DragDisplay(const DisplayDrag& drag) noexcept;

// For a display going away while it is dragged: ends the system's move loop, which would otherwise
// wait for a button release that now goes to another window.
void EndMoveLoop(bool dragging) noexcept;

}  // namespace spotlex
