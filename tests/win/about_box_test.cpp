// The about box: opened modally, it shows the version resource's texts and the system summary,
// and OK closes it.
#include "app/about_box_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/test_support.h"

namespace spotlex {
namespace {

struct Seen {
    HWND dlg = nullptr;
    std::string name, version, comments, system;
    RECT rect{};
    bool ownerDisabled = false;
};
Seen seen;
HWND owner = nullptr;

std::string ItemText(HWND dlg, int id) {
    char buf[1024] = {};
    GetDlgItemTextA(dlg, id, buf, sizeof buf);
    return buf;
}

// Runs inside the dialog's modal loop: read what the box shows, then press OK by message.
void CALLBACK Inspect(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = FindWindowA("#32770", kAboutCaption);
    if (!dlg) return;  // not open yet: the timer comes again
    KillTimer(nullptr, id);
    seen.dlg = dlg;
    seen.name = ItemText(dlg, kAboutName);
    seen.version = ItemText(dlg, kAboutVersion);
    seen.comments = ItemText(dlg, kAboutComments);
    seen.system = ItemText(dlg, kAboutSystem);
    GetWindowRect(dlg, &seen.rect);
    seen.ownerDisabled = !IsWindowEnabled(owner);
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
}

TEST(AboutBox, ShowsNameVersionCommentsAndSystemThenClosesWithOk) {
    const VersionStrings version = ReadVersionStrings(test::ExeFolder() + "Spotlex.exe");
    ASSERT_FALSE(version.version.empty()) << "Spotlex.exe has no version resource";
    owner = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            nullptr, nullptr);

    SetTimer(nullptr, 0, 100, &Inspect);
    const DWORD start = GetTickCount();
    ShowAboutBox(owner, version);
    EXPECT_LT(GetTickCount() - start, 10000u);

    ASSERT_TRUE(seen.dlg) << "the box never opened";
    EXPECT_FALSE(IsWindow(seen.dlg)) << "OK closed it";
    EXPECT_TRUE(seen.ownerDisabled) << "modal";
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(seen.name, "Spotlex");
    EXPECT_EQ(seen.version, "Version " + version.version);
    EXPECT_EQ(seen.version.rfind("Version 4.5.", 0), 0u) << seen.version;
    EXPECT_EQ(seen.comments, version.comments);
    EXPECT_FALSE(seen.comments.empty());
    EXPECT_EQ(seen.system.rfind("Windows", 0), 0u) << seen.system;
    EXPECT_NE(seen.system.find("\r\nProcessor: "), std::string::npos) << seen.system;
    EXPECT_NE(seen.system.find("\r\nPhysical memory: "), std::string::npos) << seen.system;

    RECT wa{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &wa, 0);
    EXPECT_LE(std::abs((seen.rect.left - wa.left) - (wa.right - seen.rect.right)), 1) << "centred";
    EXPECT_LE(std::abs((seen.rect.top - wa.top) - (wa.bottom - seen.rect.bottom)), 1);
    DestroyWindow(owner);
}

TEST(AboutBox, EscapeClosesItToo) {
    owner = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            nullptr, nullptr);
    // The real key, through the input queue and the dialog's own keyboard handling. Should the
    // key not close it, the box is closed after a while so that the test ends, and fails.
    static bool forced;
    forced = false;
    struct Esc {
        static void CALLBACK Press(HWND, UINT, UINT_PTR id, DWORD) {
            HWND dlg = FindWindowA("#32770", kAboutCaption);
            if (!dlg) return;
            KillTimer(nullptr, id);
            SetForegroundWindow(dlg);
            INPUT in[2]{};
            in[0].type = in[1].type = INPUT_KEYBOARD;
            in[0].ki.wVk = in[1].ki.wVk = VK_ESCAPE;
            in[1].ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(2, in, sizeof(INPUT));
        }
        static void CALLBACK Force(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            if (HWND dlg = FindWindowA("#32770", kAboutCaption)) {
                forced = true;
                PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
            }
        }
    };
    SetTimer(nullptr, 0, 100, &Esc::Press);
    const UINT_PTR force = SetTimer(nullptr, 0, 5000, &Esc::Force);
    ShowAboutBox(owner, VersionStrings{});
    KillTimer(nullptr, force);
    EXPECT_FALSE(forced) << "Escape did not close the box";
    EXPECT_FALSE(FindWindowA("#32770", kAboutCaption));
    DestroyWindow(owner);
}

}  // namespace
}  // namespace spotlex
