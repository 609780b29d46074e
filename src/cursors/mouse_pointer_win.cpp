#include "cursors/mouse_pointer_win.h"

namespace spotlex {

namespace {
HCURSOR PointerCursor(int pointer) {
    switch (pointer) {
        case kPointerHourglass: return LoadCursorA(nullptr, IDC_WAIT);
        case kPointerArrowHourglass: return LoadCursorA(nullptr, IDC_APPSTARTING);
        default: return LoadCursorA(nullptr, IDC_ARROW);
    }
}
}  // namespace

Cursor::Cursor() noexcept : saved_(GetCursor()) {}

void Cursor::SetMousePointer(int pointer) noexcept {
    SetCursor(PointerCursor(pointer));
}

void Cursor::Restore() noexcept {
    if (saved_) SetCursor(saved_);
}

}  // namespace spotlex
