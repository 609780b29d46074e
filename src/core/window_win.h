#pragma once
// The one window base of the program: a window class derives from Window and handles the messages
// it cares about in Handle(); everything else goes to DefWindowProc.
#include <windows.h>

#include <memory>

namespace spotlex {

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
                   int w, int h, HWND parent = nullptr, HCURSOR cursor = nullptr, HICON icon = nullptr);

    virtual LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd_, msg, wp, lp); }

    HWND hwnd_ = nullptr;

private:
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    // A handler that throws is logged here, as a dialog's is, and the message counts as handled.
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept;
};

}  // namespace spotlex
