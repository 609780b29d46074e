#pragma once
// The one window base of the program: T derives from Window<T> and handles the messages it
// cares about in Handle(); everything else goes to DefWindowProc.
#include <windows.h>

#include <memory>

namespace spotlex {

template <class T>
class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() {
        *alive_ = false;
        if (hwnd_) {
            // The window outlives nothing of ours: unhook it before it goes.
            SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
            DestroyWindow(hwnd_);
        }
    }

    HWND Hwnd() const noexcept { return hwnd_; }

    // False once this object is gone: code that runs a message loop of the system's (a drag, a
    // menu) keeps a copy and touches nothing of the object after the loop when it reads false.
    std::shared_ptr<const bool> LifeToken() const noexcept { return alive_; }

protected:
    // Registers the class on first use and creates the window with this object as its owner.
    bool CreateWin(const char* className, DWORD exStyle, DWORD style, const char* title, int x, int y,
                   int w, int h, HWND parent = nullptr, HCURSOR cursor = nullptr, HICON icon = nullptr) {
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
        CreateWindowExA(exStyle, className, title, style, x, y, w, h, parent, nullptr, inst,
                        static_cast<Window*>(this));
        return hwnd_ != nullptr;
    }

    virtual LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd_, msg, wp, lp); }

    HWND hwnd_ = nullptr;

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
        Window* self = nullptr;
        if (m == WM_NCCREATE) {
            self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
            self->hwnd_ = h;
            SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Window*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        }
        if (!self) return DefWindowProcA(h, m, w, l);
        LRESULT r = self->Handle(m, w, l);
        if (m == WM_NCDESTROY) {
            SetWindowLongPtrA(h, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return r;
    }
};

}  // namespace spotlex
