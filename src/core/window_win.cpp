#include "core/window_win.h"

#include "core/errata_log_win.h"

namespace spotlex {

bool Window::CreateWin(const char* className, DWORD exStyle, DWORD style, const char* title, int x, int y,
                       int w, int h, HWND parent, HCURSOR cursor, HICON icon) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    if (!GetClassInfoExA(inst, className, &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Window::Proc;
        wc.hInstance = inst;
        wc.hCursor = cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW);
        wc.hIcon = icon;
        wc.lpszClassName = className;
        if (!RegisterClassExA(&wc)) return false;
    }
    CreateWindowExA(exStyle, className, title, style, x, y, w, h, parent, nullptr, inst, this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK Window::Proc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    Window* self = nullptr;
    if (m == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
        self->hwnd_ = h;
        SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(h, m, w, l);
    LRESULT r = 0;
    try {
        r = self->Handle(m, w, l);
    } catch (...) {
        // Each window logs its own procedures; what reaches here had no handler of its own.
        LogCurrentException("Window", "WindowProc");
    }
    if (m == WM_NCDESTROY) {
        SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return r;
}

}  // namespace spotlex
