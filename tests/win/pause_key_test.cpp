// The pause key on the main form: the real hot key pauses and resumes the keystroke display and
// the tray icon says so; a key another program holds is told about once, and the program goes on.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/registry_win.h"
#include "core/settings.h"
#include "help/help_box_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpUntil;

void Keys(std::initializer_list<WORD> down) {
    std::vector<INPUT> in;
    for (WORD vk : down) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        in.push_back(i);
    }
    for (auto it = down.end(); it != down.begin();) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *--it;
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        in.push_back(i);
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

class PauseKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::OpenProgramSettings();
        goCurrentUser->SetValue("Play_Sounds", rgsDWord, 0);
        goCurrentUser->SetValue("Dismiss_Welcome", rgsDWord, 1);
        goCurrentUser->DeleteValue(settings::kPauseHotKey.name);
        goCurrentUser->DeleteValue((std::string(settings::kDismissPrefix) + kPauseKeyTakenName).c_str());
    }
    void TearDown() override { test::CloseProgramSettings(); }
    static constexpr const char* kPauseKeyTakenName = "Pause_Key_Taken";
};

TEST_F(PauseKeyTest, TheHotKeyPausesAndResumesAndTheTraySaysSo) {
    frmMain form;
    ASSERT_EQ(form.RegisteredPauseKey(), settings::kPauseHotKey.def);
    EXPECT_FALSE(form.TrayIcon1.Paused());
    const HICON running = form.TrayIcon1.Icon();
    Keys({VK_CONTROL, VK_MENU, VK_SHIFT, 'P'});
    ASSERT_TRUE(PumpUntil([&] { return form.TrayIcon1.Paused(); }, 3000));
    EXPECT_TRUE(form.PauseKeys.Paused());
    EXPECT_NE(form.TrayIcon1.Icon(), running);
    EXPECT_NE(form.TrayIcon1.TipText().find("paused"), std::string::npos);
    // View Key Strokes is not touched.
    EXPECT_EQ(form.SysInput1.Hooks() & kHookKeyboard, kHookKeyboard);
    Keys({VK_CONTROL, VK_MENU, VK_SHIFT, 'P'});
    ASSERT_TRUE(PumpUntil([&] { return !form.TrayIcon1.Paused(); }, 3000));
    EXPECT_EQ(form.TrayIcon1.Icon(), running);
    EXPECT_EQ(form.TrayIcon1.TipText(), " Spotlex [Right-Click For Menu] ");
}

BOOL CALLBACK CollectText(HWND child, LPARAM all) {
    char text[1024] = {};
    GetWindowTextA(child, text, sizeof text);
    *reinterpret_cast<std::string*>(all) += text;
    return TRUE;
}

// What the quick-help box said, read and closed from a timer inside its own modal loop.
std::string g_boxCaption, g_boxText;
void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowA(frmHelpBox::kClassName, nullptr);
    if (!box || !IsWindowVisible(box)) return;
    KillTimer(nullptr, id);
    char text[128] = {};
    GetWindowTextA(box, text, sizeof text);
    g_boxCaption = text;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&g_boxText));
    PostMessageA(box, WM_CLOSE, 0, 0);
}

TEST_F(PauseKeyTest, AKeyHeldByAnotherProgramIsToldAfterTheWelcomeAndTheProgramGoesOn) {
    // Another program (here this thread) holds Ctrl+Alt+Shift+P.
    ASSERT_TRUE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT | MOD_SHIFT, 'P'));
    {
        frmMain form;
        EXPECT_EQ(form.RegisteredPauseKey(), 0);
        const UINT_PTR watch = SetTimer(nullptr, 0, 50, &ReadAndCloseBox);
        form.ShowWelcome();
        // The program carries on: the hook comes on as after any welcome.
        ASSERT_TRUE(PumpUntil([&] { return form.SysInput1.Enabled(); }, 8000));
        KillTimer(nullptr, watch);
        EXPECT_EQ(g_boxCaption, "Spotlex");
        EXPECT_NE(g_boxText.find("Shift + Ctrl + Alt + P"), std::string::npos) << g_boxText;
        EXPECT_FALSE(form.PauseKeys.Paused());
    }
    UnregisterHotKey(nullptr, 7);
}

}  // namespace
}  // namespace spotlex
