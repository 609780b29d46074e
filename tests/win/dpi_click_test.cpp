// Clicks and places at the screen resolution the test runs under (SPOTLEX_DPI, set in the prefix
// before start): 168 and 192 dpi have twips per pixel that are no whole number.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "app/sys_input_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/unique_handle_win.h"
#include "keystrokes/keyboard_window_win.h"
#include "mouse/burst_logic.h"
#include "mouse/mouse_click_handler_win.h"
#include "mouse/mouse_window_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

// As the program's manifest declares; before anything reads the resolution.
const bool kDpiAware = SetProcessDPIAware() != FALSE;

TEST(ScreenResolution, IsTheOneAskedFor) {
    ASSERT_TRUE(kDpiAware);
    const char* asked = std::getenv("SPOTLEX_DPI");
    WindowDc screen(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen.get(), LOGPIXELSX), asked ? std::atoi(asked) : 96);
}

TEST(ClickAtAnyResolution, TrayTestAndBurstGetThePixelClicked) {
    ASSERT_TRUE(LoadDisplayFont(test::ExeFolder()));
    goCurrentUser = std::make_unique<RegistrySetting>();
    goCurrentUser->OpenKey(kUserKey);

    CMouseWindow mouse;
    bool dblClick = false;
    std::vector<POINT> asked;
    const RECT tray{600, 500, 640, 540};
    MouseClickHandler handler(
        [&](int x, int y) {
            asked.push_back({x, y});
            const POINT p{x, y};
            return PtInRect(&tray, p) != FALSE;
        },
        [] {});
    SysInput input;
    input.MouseDown = [&](std::int16_t button, std::int16_t shift, int x, int y) {
        handler.MouseDown(&mouse, dblClick, button, shift, x, y);
    };
    input.SetHooks(kHookMouse);
    input.SetEnabled(true);

    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    auto click = [&](int x, int y) {
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_MOUSE;
        in[0].mi.dx = (x * 65536 + w - 1) / w;
        in[0].mi.dy = (y * 65536 + h - 1) / h;
        in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
        const std::size_t before = asked.size();
        ASSERT_TRUE(test::PumpUntil([&] { return asked.size() > before; }, 3000));
    };

    // 480 pixels are 3600 twips at 192 dpi: 3600 \ 8 would ask about pixel 450.
    click(480, 284);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].x, 480);
    EXPECT_EQ(asked[0].y, 284);
    HWND burst = mouse.BurstWindow().Hwnd();
    ASSERT_TRUE(test::PumpUntil([&] { return IsWindowVisible(burst) != FALSE; }, 2000));
    RECT r{};
    GetWindowRect(burst, &r);
    const BurstPlace at = PlaceBurst(480, 284, r.right - r.left);
    EXPECT_EQ(r.left, at.left);
    EXPECT_EQ(r.top, at.top);

    // On the tray icon: no burst.
    mouse.Destroy();
    click(620, 520);
    EXPECT_EQ(asked.back().x, 620);
    EXPECT_EQ(asked.back().y, 520);
    test::PumpFor(150);
    EXPECT_FALSE(IsWindowVisible(burst));
    input.SetEnabled(false);
}

TEST(KeystrokePlaceAtAnyResolution, StoredPlaceComesBackWithoutDrift) {
    ASSERT_TRUE(LoadDisplayFont(test::ExeFolder()));
    goCurrentUser = std::make_unique<RegistrySetting>();
    goCurrentUser->OpenKey(kUserKey);
    SaveSetting(settings::kKeyboardLeft, 333);
    SaveSetting(settings::kKeyboardTop, 211);
    for (int run = 0; run < 3; ++run) {
        CKeyboardWindow kb;
        kb.SetDelay(60000);
        kb.Display("a");
        RECT r{};
        GetWindowRect(kb.Window().Hwnd(), &r);
        EXPECT_EQ(r.left, 333) << "run " << run;
        EXPECT_EQ(r.top, 211) << "run " << run;
        kb.Destroy();
    }
    EXPECT_EQ(GetSetting(settings::kKeyboardLeft), 333);
    EXPECT_EQ(GetSetting(settings::kKeyboardTop), 211);
}

}  // namespace
}  // namespace spotlex
