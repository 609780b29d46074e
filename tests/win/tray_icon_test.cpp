// TrayIcon against Wine's notification area: the icon is really added and removed, mouse actions
// arrive as the shell sends them, and the icon comes back after "TaskbarCreated".
#include "app/tray_icon_win.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/classkit_win.h"

#include "support/test_support.h"

namespace spotlex {
namespace {

// Whether the shell holds an icon for this window and id: only then does a modify succeed.
bool ShellHasIcon(HWND hwnd) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = hwnd;
    nid.uID = TrayIcon::kIconId;
    nid.uFlags = NIF_TIP;
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

// What the shell sends when the mouse acts on the icon.
void ShellSends(const TrayIcon& icon, UINT mouseMsg) {
    SendMessageA(icon.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, mouseMsg);
}

struct Recorder {
    std::vector<int> ups;
    std::vector<bool> actions;
    int dblClicks = 0;

    void Attach(TrayIcon& icon) {
        icon.MouseAction = [this](bool enabled) { actions.push_back(enabled); };
        icon.MouseUp = [this](int button) { ups.push_back(button); };
        icon.DblClick = [this] { ++dblClicks; };
    }
};

TEST(TrayIcon, StartsHiddenAndDisabledOnATopLevelWindow) {
    TrayIcon icon;
    ASSERT_TRUE(icon.Hwnd());
    EXPECT_FALSE(icon.Visible());
    EXPECT_FALSE(icon.Enabled());
    EXPECT_FALSE(icon.InTray());
    EXPECT_NE(icon.Icon(), nullptr);
    // Not a message-only window: those never hear the taskbar's broadcasts.
    EXPECT_EQ(GetAncestor(icon.Hwnd(), GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(icon.Hwnd()));
    EXPECT_FALSE(ShellHasIcon(icon.Hwnd()));
}

TEST(TrayIcon, VisibleAddsTheIconAndHideRemovesIt) {
    TrayIcon icon;
    icon.SetTipText(" Spotlex [Right-Click For Menu] ");
    icon.SetVisible(true);
    EXPECT_TRUE(icon.Visible());
    EXPECT_TRUE(icon.InTray()) << "the shell refused the icon";
    EXPECT_TRUE(ShellHasIcon(icon.Hwnd()));

    icon.Hide();
    EXPECT_FALSE(icon.Visible());
    EXPECT_FALSE(icon.InTray());
    EXPECT_FALSE(ShellHasIcon(icon.Hwnd()));

    icon.SetVisible(true);
    EXPECT_TRUE(ShellHasIcon(icon.Hwnd()));
    icon.SetVisible(false);
    EXPECT_FALSE(ShellHasIcon(icon.Hwnd()));
}

TEST(TrayIcon, DestroyingTheControlTakesTheIconAway) {
    HWND hwnd = nullptr;
    {
        TrayIcon icon;
        icon.SetVisible(true);
        hwnd = icon.Hwnd();
        ASSERT_TRUE(ShellHasIcon(hwnd));
    }
    EXPECT_FALSE(IsWindow(hwnd));
    // An icon left behind would still answer for the dead window.
    EXPECT_FALSE(ShellHasIcon(hwnd));
}

TEST(TrayIcon, ADisabledIconReportsNothing) {
    TrayIcon icon;
    icon.SetVisible(true);
    Recorder r;
    r.Attach(icon);
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                   WM_MBUTTONDOWN, WM_MBUTTONUP})
        ShellSends(icon, m);
    EXPECT_TRUE(r.ups.empty());
    EXPECT_TRUE(r.actions.empty());
    EXPECT_EQ(r.dblClicks, 0);
}

TEST(TrayIcon, ReportsPressesReleasesAndDoubleClicksWhileEnabled) {
    TrayIcon icon;
    icon.SetVisible(true);
    icon.SetEnabled(true);
    Recorder r;
    r.Attach(icon);

    ShellSends(icon, WM_RBUTTONDOWN);
    ShellSends(icon, WM_RBUTTONUP);
    EXPECT_EQ(r.actions, std::vector<bool>{true});
    EXPECT_EQ(r.ups, std::vector<int>{TrayIcon::kRightButton});

    ShellSends(icon, WM_MBUTTONDOWN);
    ShellSends(icon, WM_MBUTTONUP);
    ShellSends(icon, WM_MOUSEMOVE);
    EXPECT_EQ(r.ups, (std::vector<int>{2, 4}));
    EXPECT_EQ(r.actions.size(), 2u);

    // A left double-click as the shell reports it: press, release, double-click, release.
    r.ups.clear();
    ShellSends(icon, WM_LBUTTONDOWN);
    ShellSends(icon, WM_LBUTTONUP);
    ShellSends(icon, WM_LBUTTONDBLCLK);
    ShellSends(icon, WM_LBUTTONUP);
    EXPECT_EQ(r.dblClicks, 1);
    EXPECT_EQ(r.ups, std::vector<int>{TrayIcon::kLeftButton})
        << "the release ending the double-click is not a click";
    EXPECT_EQ(r.actions.size(), 4u);

    // The next single click is reported again.
    ShellSends(icon, WM_LBUTTONDOWN);
    ShellSends(icon, WM_LBUTTONUP);
    EXPECT_EQ(r.ups, (std::vector<int>{1, 1}));

    // Another icon's messages are not ours.
    SendMessageA(icon.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId + 1, WM_RBUTTONUP);
    EXPECT_EQ(r.ups.size(), 2u);
}

TEST(TrayIcon, AThrowingHandlerIsLoggedAndDoesNotEscapeTheWindowProcedure) {
    // The log goes to the suite's folder, here a folder of the test's own.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "tray_icon_log";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "\\errata.log").c_str());
    {
        RegistrySetting machine;
        machine.OpenKey(kMachineKey);
        machine.SetValue("Path", rgsString, folder);
    }

    TrayIcon icon;
    icon.SetEnabled(true);
    int after = 0;
    icon.MouseUp = [&](int) {
        ++after;
        throw std::runtime_error("handler failed");
    };
    ShellSends(icon, WM_RBUTTONUP);
    ShellSends(icon, WM_RBUTTONUP);
    EXPECT_EQ(after, 2);

    std::ifstream log(folder + "\\errata.log", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Procedure: MouseUp\r\nModule: TrayIcon\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("handler failed"), std::string::npos);
}

TEST(TrayIcon, ComesBackWhenANewTaskbarBroadcastsTaskbarCreated) {
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    TrayIcon icon;
    icon.SetVisible(true);
    ASSERT_TRUE(ShellHasIcon(icon.Hwnd()));

    // A restarted Explorer has forgotten every icon.
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = icon.Hwnd();
    nid.uID = TrayIcon::kIconId;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
    ASSERT_FALSE(ShellHasIcon(icon.Hwnd()));

    SendMessageA(HWND_BROADCAST, taskbarCreated, 0, 0);
    test::PumpUntil([&] { return ShellHasIcon(icon.Hwnd()); }, 2000);
    EXPECT_TRUE(ShellHasIcon(icon.Hwnd()));
    EXPECT_TRUE(icon.InTray());

    // A hidden icon stays hidden.
    icon.Hide();
    SendMessageA(icon.Hwnd(), taskbarCreated, 0, 0);
    EXPECT_FALSE(ShellHasIcon(icon.Hwnd()));
    EXPECT_FALSE(icon.InTray());
}

TEST(TrayIcon, ATipTooLongForTheShellIsCutNotOverrun) {
    TrayIcon icon;
    icon.SetTipText(std::string(500, 'x'));
    icon.SetVisible(true);
    EXPECT_TRUE(ShellHasIcon(icon.Hwnd()));
    icon.SetTipText("short");
    EXPECT_EQ(icon.TipText(), "short");
}

}  // namespace
}  // namespace spotlex
