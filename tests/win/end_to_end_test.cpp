// Input injected with SendInput through the real hook, frmMain and the handlers to what the
// displays show: key caps for a key press, a burst for a click.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "mouse/burst_logic.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpFor;
using test::PumpUntil;

void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ASSERT_EQ(SendInput(1, &in, sizeof in), 1u);
}

void Click(DWORD down, DWORD up, DWORD data, int x, int y) {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dx = (x * 65536 + w - 1) / w;
    in[0].mi.dy = (y * 65536 + h - 1) / h;
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | down;
    in[0].mi.mouseData = data;
    in[1].mi.dwFlags = up;
    in[1].mi.mouseData = data;
    ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadDisplayFont(test::ExeFolder()));
        test::OpenProgramSettings();
        SaveSetting(settings::kPlaySounds, 0);
        SaveSetting(settings::kHookEnum, kHookKeyboard | kHookMouse);
        SaveSetting(settings::kColorLeftMouse, RGB(0, 160, 0));
        SaveSetting(settings::kColorRightMouse, RGB(0, 0, 200));
        form_ = std::make_unique<frmMain>();
        // The welcome step's last act: the hook goes on.
        form_->SysInputEnabled(true);
        ASSERT_TRUE(form_->SysInput1.Enabled());
    }
    void TearDown() override {
        form_.reset();
        test::CloseProgramSettings();
    }

    frmMain& Form() { return *form_; }

private:
    std::unique_ptr<frmMain> form_;
};

TEST_F(EndToEnd, CtrlSShowsTheCtrlCapAndTheLetterInTheKeystrokeWindow) {
    frmKeyboardWindow& shown = Form().KeyboardWindow->Window();
    Key(VK_CONTROL, false);
    Key('S', false);
    Key('S', true);
    Key(VK_CONTROL, true);
    ASSERT_TRUE(PumpUntil([&] { return shown.Text().size() == 2; }, 3000))
        << "text: " << test::CodesOf(shown.Text());
    EXPECT_EQ(test::CodesOf(shown.Text()), std::string({static_cast<char>(kCtrlCap), 's'}));
    EXPECT_TRUE(test::OnScreen(shown.Hwnd()));
    EXPECT_NE(GetForegroundWindow(), shown.Hwnd()) << "a display never takes the focus";
}

TEST_F(EndToEnd, ClicksShowBurstsCentredOnThePointerInTheirButtonsColour) {
    frmMouseWindow& burst = Form().MouseWindow->BurstWindow();
    auto shownAt = [&](int x, int y) {
        EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(burst.Hwnd()) != FALSE; }, 3000));
        RECT r{};
        GetWindowRect(burst.Hwnd(), &r);
        const BurstPlace at = PlaceBurst(x, y, r.right - r.left);
        EXPECT_EQ(r.left, at.left);
        EXPECT_EQ(r.top, at.top);
    };

    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 0, 300, 320);
    shownAt(300, 320);
    EXPECT_EQ(burst.BackColor(), RGB(0, 160, 0));

    Form().MouseWindow->Destroy();
    Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 0, 500, 200);
    shownAt(500, 200);
    EXPECT_EQ(burst.BackColor(), RGB(0, 0, 200));

    // The fourth and fifth buttons are secondary clicks too.
    for (DWORD button : {XBUTTON1, XBUTTON2}) {
        Form().MouseWindow->Destroy();
        Click(MOUSEEVENTF_XDOWN, MOUSEEVENTF_XUP, button, 420, 380);
        shownAt(420, 380);
        EXPECT_EQ(burst.BackColor(), RGB(0, 0, 200)) << "button " << button;
    }
    // Let the last burst end before the next test's hook starts; it is shaped by the frame timer.
    PumpFor(400);
    EXPECT_FALSE(IsWindowVisible(burst.Hwnd()));
}

}  // namespace
}  // namespace spotlex
