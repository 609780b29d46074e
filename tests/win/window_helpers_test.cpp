// CenterForm, SetWindowOnTop and WaitForMessages on real windows, and the window base's guard.
#include "core/window_helpers_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>

#include "core/window_win.h"
#include "support/log_capture.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

struct KeyCounter {
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_KEYDOWN && w == VK_F13) ++keyDowns;
        // Each echo posts the next one, as a handler that keeps itself busy does.
        if (m == kEcho) {
            ++echoes;
            if (echoes < 1000) PostMessageA(h, kEcho, w, 0);
            return 0;
        }
        return DefWindowProcA(h, m, w, l);
    }
    static constexpr UINT kEcho = WM_APP + 7;
    static inline int keyDowns = 0;
    static inline int echoes = 0;
};

HWND MakeWindow(const char* title, DWORD style, int w, int h, DWORD exStyle = 0) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &KeyCounter::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "HelpersTestWindow";
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowExA(exStyle, "HelpersTestWindow", title, style, 10, 10, w, h, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

RECT WorkArea() {
    RECT wa{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &wa, 0);
    return wa;
}

TEST(CenterForm, CentredStartTruncatesTheHalfTowardZero) {
    EXPECT_EQ(CenteredStart(0, 1280, 350), 465);
    EXPECT_EQ(CenteredStart(0, 1024, 225), 399);  // 799 / 2: the odd pixel goes below
    EXPECT_EQ(CenteredStart(40, 1000, 351), 364);
    EXPECT_EQ(CenteredStart(0, 100, 201), -50);  // larger than the area: -50.5 becomes -50
}

TEST(CenterForm, PlacesAWindowInTheMiddleOfTheWorkAreaWithTheOddPixelRightAndBelow) {
    const RECT wa = WorkArea();
    const int waW = wa.right - wa.left;
    const int waH = wa.bottom - wa.top;
    // Sizes chosen so that the leftover space is odd in both directions.
    const int w = (waW % 2) ? 350 : 351;
    const int h = (waH % 2) ? 224 : 225;
    HWND form = MakeWindow("centre me", WS_POPUP, w, h);
    ASSERT_TRUE(form);
    CenterForm(form);
    RECT r{};
    GetWindowRect(form, &r);
    EXPECT_EQ(r.right - r.left, w) << "the size stays";
    EXPECT_EQ(r.bottom - r.top, h);
    EXPECT_EQ((wa.right - r.right) - (r.left - wa.left), 1);
    EXPECT_EQ((wa.bottom - r.bottom) - (r.top - wa.top), 1);
    EXPECT_FALSE(IsWindowVisible(form)) << "centring does not show the form";

    // A form larger than the work area overhangs by the truncated half on the left and top.
    HWND big = MakeWindow("too big", WS_POPUP, waW + 101, waH + 101);
    CenterForm(big);
    GetWindowRect(big, &r);
    EXPECT_EQ(r.left, wa.left - 50);
    EXPECT_EQ(r.top, wa.top - 50);
    DestroyWindow(big);
    DestroyWindow(form);
}

TEST(SetWindowOnTop, ShowsAndFloatsWithoutTakingTheFocusThenReleases) {
    HWND active = MakeWindow("active", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200);
    SetForegroundWindow(active);
    test::PumpUntil([&] { return GetForegroundWindow() == active; }, 2000);
    ASSERT_EQ(GetForegroundWindow(), active);

    HWND display = MakeWindow("display", WS_POPUP, 200, 100, WS_EX_TOOLWINDOW);
    ASSERT_FALSE(IsWindowVisible(display));
    RECT before{};
    GetWindowRect(display, &before);

    SetWindowOnTop(display, HWND_TOPMOST);
    test::PumpFor(100);
    EXPECT_TRUE(IsWindowVisible(display));
    EXPECT_TRUE(GetWindowLongPtrA(display, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetForegroundWindow(), active) << "the presenter's window keeps the focus";
    RECT after{};
    GetWindowRect(display, &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << "neither moved nor sized";

    SetWindowOnTop(display, HWND_NOTOPMOST);
    test::PumpFor(50);
    EXPECT_FALSE(GetWindowLongPtrA(display, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(display));
    EXPECT_EQ(GetForegroundWindow(), active);
    DestroyWindow(display);
    DestroyWindow(active);
}

TEST(WaitForMessages, LetsQueuedKeyboardInputReachItsWindowBeforeReturning) {
    HWND w = MakeWindow("typing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200);
    SetForegroundWindow(w);
    SetFocus(w);
    test::PumpUntil([&] { return GetForegroundWindow() == w; }, 2000);
    test::PumpFor(50);
    KeyCounter::keyDowns = 0;

    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = VK_F13;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
    // Wait, without dispatching, until the input sits in this thread's queue.
    for (int i = 0; i < 200 && !GetInputState(); ++i) Sleep(5);
    ASSERT_TRUE(GetInputState()) << "the injected key never reached the queue";
    EXPECT_EQ(KeyCounter::keyDowns, 0);

    WaitForMessages();
    EXPECT_EQ(KeyCounter::keyDowns, 1);
    EXPECT_FALSE(GetInputState());
    DestroyWindow(w);
}

TEST(DoEvents, DispatchesOnlyWhatWasQueuedWhenItBegan) {
    HWND w = MakeWindow("busy", WS_POPUP, 50, 50);
    test::PumpFor(20);
    KeyCounter::echoes = 0;
    PostMessageA(w, KeyCounter::kEcho, 0, 0);
    DoEvents();
    EXPECT_EQ(KeyCounter::echoes, 1) << "the echo posted meanwhile waits for the next loop";
    MSG msg{};
    EXPECT_TRUE(PeekMessageA(&msg, w, KeyCounter::kEcho, KeyCounter::kEcho, PM_NOREMOVE));
    DoEvents();
    EXPECT_EQ(KeyCounter::echoes, 2);
    DestroyWindow(w);
    test::PumpFor(20);
}

TEST(DoEvents, KeepsAQuitRequestForTheMainLoop) {
    PostQuitMessage(7);
    DoEvents();
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
}

class ThrowingWindow final : public Window {
public:
    ThrowingWindow() { CreateWin("SpotlexThrowingWindow", 0, WS_POPUP, "", 0, 0, 10, 10); }

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_APP) throw std::runtime_error("a handler without its own guard");
        return Window::Handle(msg, wp, lp);
    }
};

TEST(WindowBase, AHandlerThatThrowsIsLoggedAndTheWindowLivesOn) {
    test::ScopedLogFolder log;
    ThrowingWindow window;
    ASSERT_TRUE(window.Hwnd());
    EXPECT_EQ(SendMessageA(window.Hwnd(), WM_APP, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window.Hwnd()));
    EXPECT_NE(log.LogText().find("Procedure: WindowProc\r\nModule: Window\r\n"), std::string::npos) << log.LogText();
}

}  // namespace
}  // namespace spotlex
