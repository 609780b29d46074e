// The quick help box under Wine: driven with real key and mouse input from inside its modal loop,
// checked against the real registry.
#include "help/help_box_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "core/classkit_win.h"
#include "core/monitors_win.h"
#include "core/registry_win.h"
#include "support/log_capture.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

constexpr const char* kCaption = "Help box test";

// What the box looked like while it was open.
struct Seen {
    bool shown = false;
    bool checkVisible = false;
    bool commandVisible = false;
    bool topmost = false;
    int checkTop = 0;
    int commandTop = 0;
    int boxHeight = 0;
    int checkStates[3] = {-1, -1, -1};
};
Seen seen;
std::function<void(HWND)> g_whileOpen;
WORD g_closeKey = VK_ESCAPE;
UINT_PTR g_safety = 0;

void Key(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

void ClickAt(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    test::PumpFor(150);
}

int ClientTop(HWND box, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(box, id), &r);
    POINT p{r.left, r.top};
    ScreenToClient(box, &p);
    return p.y;
}

void CALLBACK CloseLeftOpen(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND left = FindWindowA(frmHelpBox::kClassName, kCaption)) PostMessageA(left, WM_CLOSE, 0, 0);
}

// Looks at the open box, runs the test's action in it, and closes it with `closeKey`; a box that
// stays open anyway is destroyed after a while so that a failing test still ends.
void CALLBACK Inspect(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowA(frmHelpBox::kClassName, kCaption);
    if (!box || !IsWindowVisible(box)) return;
    KillTimer(nullptr, id);
    seen.shown = true;
    seen.checkVisible = IsWindowVisible(GetDlgItem(box, kHelpShowAgain));
    seen.commandVisible = IsWindowVisible(GetDlgItem(box, kHelpMoreInfo));
    seen.topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    seen.checkTop = ClientTop(box, kHelpShowAgain);
    seen.commandTop = ClientTop(box, kHelpMoreInfo);
    RECT r{};
    GetWindowRect(box, &r);
    seen.boxHeight = r.bottom - r.top;
    if (g_whileOpen) g_whileOpen(box);
    Key(g_closeKey);
    g_safety = SetTimer(nullptr, 0, 3000, &CloseLeftOpen);
}

class HelpBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        seen = {};
        g_whileOpen = nullptr;
        g_closeKey = VK_ESCAPE;
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
        for (const char* n : {"Dismiss_", "Dismiss_Test", "Dismiss_Odd"}) goCurrentUser->DeleteValue(n);
    }
    void TearDown() override { goCurrentUser.reset(); }

    // Explains with the inspector armed; returns the time Explain took.
    DWORD ExplainAndClose(CHelpBox& help, const std::string& name, const std::string& command = "") {
        UINT_PTR t = SetTimer(nullptr, 0, 200, &Inspect);
        const DWORD start = GetTickCount();
        help.Explain("Title", "A body text that wraps over a few lines of the box, long enough to need two.",
                     kCaption, name, nullptr, -1, command.empty() ? "" : "More Information", command);
        KillTimer(nullptr, t);
        KillTimer(nullptr, g_safety);
        test::PumpFor(50);
        return GetTickCount() - start;
    }
};

TEST_F(HelpBoxTest, WithoutANameThereIsNoChoiceAndNothingIsWritten) {
    CHelpBox help;
    ExplainAndClose(help, "");
    ASSERT_TRUE(seen.shown);
    EXPECT_FALSE(seen.checkVisible);
    EXPECT_FALSE(seen.commandVisible);
    EXPECT_TRUE(seen.topmost) << "activation puts the box on top";
    EXPECT_EQ(seen.boxHeight, seen.checkTop + 30) << "450 twips below where the check box would be";
    EXPECT_FALSE(FindWindowA(frmHelpBox::kClassName, kCaption)) << "Escape closes the box";
    EXPECT_TRUE(IsEmpty(goCurrentUser->Value("Dismiss_", rgsDWord)));
}

TEST_F(HelpBoxTest, TickingTheLabelAndEscapeDismissesTheMessageForGood) {
    CHelpBox help;
    g_whileOpen = [](HWND box) {
        HWND label = GetDlgItem(box, kHelpDontShow);
        HWND check = GetDlgItem(box, kHelpShowAgain);
        for (int i = 0; i < 3; ++i) {
            ClickAt(label);
            seen.checkStates[i] = static_cast<int>(SendMessageA(check, BM_GETCHECK, 0, 0));
        }
    };
    ExplainAndClose(help, "Test");
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.checkVisible);
    EXPECT_EQ(seen.boxHeight, seen.checkTop + 17 + 48);
    EXPECT_EQ(seen.checkStates[0], BST_CHECKED) << "the label toggles the check box";
    EXPECT_EQ(seen.checkStates[1], BST_UNCHECKED);
    EXPECT_EQ(seen.checkStates[2], BST_CHECKED);
    EXPECT_EQ(goCurrentUser->Value("Dismiss_Test", rgsDWord), RegValue(std::int32_t{1}));

    seen = {};
    g_whileOpen = nullptr;
    CHelpBox again;
    const DWORD took = ExplainAndClose(again, "Test");
    EXPECT_FALSE(seen.shown) << "a dismissed message is not shown again";
    EXPECT_EQ(again.Form().Hwnd(), nullptr) << "nor is its window made";
    EXPECT_LT(took, 150u);
}

TEST_F(HelpBoxTest, TheCheckBoxSitsBelowTheMoreInformationCommand) {
    CHelpBox help;
    ExplainAndClose(help, "Test", "cmd.exe /c exit");
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.commandVisible);
    EXPECT_EQ(seen.checkTop, seen.commandTop + 20) << "300 twips below the button";

    CHelpBox plain;
    seen = {};
    ExplainAndClose(plain, "Test");
    EXPECT_FALSE(seen.commandVisible);
    EXPECT_EQ(seen.checkTop, plain.Form().Layout().commandTop) << "where the button would have been";
}

TEST_F(HelpBoxTest, OnAMonitorOfTwiceTheScaleTheBoxIsLaidOutAgain) {
    int width[2] = {}, gap[2] = {}, titleHeight[2] = {};
    g_whileOpen = [&](HWND box) {
        auto look = [&](int i) {
            RECT r{};
            GetWindowRect(box, &r);
            width[i] = r.right - r.left;
            gap[i] = ClientTop(box, kHelpShowAgain) - ClientTop(box, kHelpMoreInfo);
            LOGFONTA lf{};
            GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(box, kHelpTitle, WM_GETFONT, 0, 0)),
                       sizeof lf, &lf);
            titleHeight[i] = lf.lfHeight;
        };
        look(0);
        const int dpi = 2 * MonitorDpi(MonitorFromWindow(box, MONITOR_DEFAULTTONEAREST));
        RECT suggested{0, 0, 2 * width[0], 600};
        SendMessageA(box, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        look(1);
    };
    CHelpBox help;
    ExplainAndClose(help, "Test", "cmd.exe /c exit");
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(width[1], 2 * width[0]);
    EXPECT_EQ(gap[1], 2 * gap[0]) << "the check box still 300 twips below the button";
    EXPECT_EQ(titleHeight[1], 2 * titleHeight[0]);
}

TEST_F(HelpBoxTest, AnUnusableDismissValueLeavesTheMessageOn) {
    const unsigned long long eight = 1;
    const struct {
        DWORD type;
        const void* data;
        DWORD size;
    } values[] = {{REG_QWORD, &eight, 8}, {REG_BINARY, &eight, 2}, {REG_SZ, "yes", 4}};
    for (const auto& v : values) {
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Parvane\\Classkit\\4.5\\Spotlex", "Dismiss_Odd", v.type,
                        v.data, v.size);
        CHelpBox help;
        seen = {};
        ExplainAndClose(help, "Odd");
        EXPECT_TRUE(seen.shown) << "type " << v.type;
    }
}

TEST_F(HelpBoxTest, MoreInformationRunsItsCommandAndLetsItsWindowOnTop) {
    const std::string folder = test::MakeTempFolder("helpbox");
    const std::string marker = folder + "ran.txt";
    static bool topmostAfter = true;
    g_whileOpen = [](HWND box) {
        ClickAt(GetDlgItem(box, kHelpMoreInfo));
        topmostAfter = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        seen.shown = IsWindowVisible(box) != 0;
        SetForegroundWindow(box);
    };
    CHelpBox help;
    g_closeKey = VK_RETURN;  // wherever the focus is
    const DWORD took = ExplainAndClose(help, "", "cmd.exe /c echo ran>\"" + marker + "\"");
    EXPECT_TRUE(seen.shown) << "the box stays open";
    EXPECT_LT(took, 2500u) << "Enter did not close the box";
    EXPECT_FALSE(topmostAfter);
    EXPECT_TRUE(test::PumpUntil([&] { return !test::ReadWholeFile(marker).empty(); }, 10000))
        << "the command did not run";
}

}  // namespace
}  // namespace spotlex
