// CColor's Win32 side against the real screen: painted windows read back through screen points.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/color.h"
#include "core/color_win.h"
#include "core/unique_handle_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

// A top-most popup filled with one colour, away from the screen's corner.
class SolidWindow {
public:
    SolidWindow(COLORREF color, int x, int y, int width, int height) : brush_(::CreateSolidBrush(color)) {
        static const char* const kClass = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = &Proc;
            wc.hInstance = ::GetModuleHandleA(nullptr);
            wc.lpszClassName = "SpotlexColorTestWindow";
            ::RegisterClassA(&wc);
            return "SpotlexColorTestWindow";
        }();
        window_.reset(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClass, "", WS_POPUP, x, y, width,
                                        height, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
        ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(brush_.get()));
        ::ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
        ::UpdateWindow(window_.get());
    }
    HWND get() const { return window_.get(); }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_ERASEBKGND) {
            RECT r;
            ::GetClientRect(h, &r);
            ::FillRect(reinterpret_cast<HDC>(w), &r,
                       reinterpret_cast<HBRUSH>(::GetWindowLongPtrA(h, GWLP_USERDATA)));
            return 1;
        }
        return ::DefWindowProcA(h, m, w, l);
    }

    UniqueBrush brush_;
    UniqueWindow window_;
};

std::int32_t ColorAt(int x, int y) {
    CColor c;
    c.SetFromScreenPoint(x, y);
    return c.ColorValue();
}

TEST(CColorWin, SetFromScreenPointReadsWindowsAwayFromTheCorner) {
    const COLORREF first = RGB(0x12, 0x34, 0x56);
    const COLORREF second = RGB(0xC8, 0x10, 0x7E);
    SolidWindow a(first, 300, 200, 120, 80);
    SolidWindow b(second, 640, 450, 60, 40);
    ASSERT_TRUE(a.get() && b.get());

    // The X server paints asynchronously: wait until the first colour shows, then check the rest.
    test::PumpUntil([] { return ColorAt(310, 210) == 0x563412; }, 5000);
    EXPECT_EQ(ColorAt(310, 210), static_cast<std::int32_t>(first));
    EXPECT_EQ(ColorAt(419, 279), static_cast<std::int32_t>(first)) << "the window's last pixel";
    test::PumpUntil([] { return ColorAt(650, 460) == 0x7E10C8; }, 5000);
    EXPECT_EQ(ColorAt(650, 460), static_cast<std::int32_t>(second));
    EXPECT_EQ(ColorAt(699, 489), static_cast<std::int32_t>(second));
    EXPECT_NE(ColorAt(700, 490), static_cast<std::int32_t>(second)) << "just outside the second window";
}

TEST(CColorWin, UnreadablePointIsWhite) {
    CColor c;
    c.SetFromScreenPoint(-30000, -30000);
    EXPECT_EQ(c.ColorValue(), 0xFFFFFF);
}

TEST(CColorWin, SetFromSysColorUsesTheLowByte) {
    CColor c;
    c.SetFromSysColor(static_cast<std::int32_t>(0x8000000F));
    EXPECT_EQ(c.ColorValue(), static_cast<std::int32_t>(::GetSysColor(COLOR_BTNFACE)));
    c.SetFromSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ(c.ColorValue(), static_cast<std::int32_t>(::GetSysColor(COLOR_WINDOWTEXT)));
    c.SetFromSysColor(static_cast<std::int32_t>(0x80000005));
    EXPECT_EQ(c.ColorValue(), static_cast<std::int32_t>(::GetSysColor(COLOR_WINDOW)));
    EXPECT_NE(::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT)) << "the cases must differ";
}

}  // namespace
}  // namespace spotlex
