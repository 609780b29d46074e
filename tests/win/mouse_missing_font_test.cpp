// The click burst in a process that never loaded the display font: a message, no burst, no sound.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "mouse/mouse_click_handler_win.h"
#include "mouse/mouse_window_win.h"

namespace spotlex {
namespace {

struct BoxSeen {
    int boxes = 0;
    std::string caption;
    std::string text;
    UINT icon = 0;
};

BOOL CALLBACK NoteBox(HWND h, LPARAM lp) {
    auto* seen = reinterpret_cast<BoxSeen*>(lp);
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(h)) return TRUE;
    ++seen->boxes;
    char buf[512] = {};
    GetWindowTextA(h, buf, sizeof buf);
    seen->caption = buf;
    GetDlgItemTextA(h, 0xFFFF, buf, sizeof buf);
    seen->text = buf;
    return TRUE;
}

BOOL CALLBACK CloseBoxes(HWND h, LPARAM) {
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) == "#32770") PostMessageA(h, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// The test's view from inside the message box's own loop.
BoxSeen gSeen;
std::function<void()> gWhileOpen;

void CALLBACK WhileBoxOpen(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (gWhileOpen) gWhileOpen();
    gSeen = {};
    EnumThreadWindows(GetCurrentThreadId(), NoteBox, reinterpret_cast<LPARAM>(&gSeen));
    EnumThreadWindows(GetCurrentThreadId(), CloseBoxes, 0);
}

TEST(MouseBurstWithoutFont, EveryClickShowsTheMessageOnceAndNoBurst) {
    ASSERT_FALSE(IsFontFaceAvailable(kDisplayFontFace)) << "this test needs a system without the font";
    goCurrentUser = std::make_unique<RegistrySetting>();
    goCurrentUser->OpenKey(kUserKey);

    CMouseWindow mouse;
    int sounds = 0;
    bool dblClick = true;
    MouseClickHandler handler([](int, int) { return false; }, [&] { ++sounds; });

    for (int click = 0; click < 2; ++click) {
        // A second click while the box is up asks again, and must not stack a second box.
        bool nestedDblClick = false;
        gWhileOpen = [&] { handler.MouseDown(&mouse, nestedDblClick, 2, 0, 500, 300); };
        UINT_PTR t = SetTimer(nullptr, 0, 150, WhileBoxOpen);
        handler.MouseDown(&mouse, dblClick, 1, 0, 400, 300);
        KillTimer(nullptr, t);

        EXPECT_EQ(gSeen.boxes, 1) << "click " << click;
        EXPECT_EQ(gSeen.caption, "Spotlex");
        EXPECT_EQ(
            gSeen.text,
            "The 'Spotlex' Font could not be found, and Spotlex can not be run without this Font.\r\n\r\n"
            "Please re-install this Font, or visit https://www.parvane.com/classkit to download it again.");
        EXPECT_FALSE(IsWindowVisible(mouse.BurstWindow().Hwnd()));
        EXPECT_EQ(mouse.BurstWindow().Glyph(), 0);
        EXPECT_EQ(sounds, 0);
        EXPECT_FALSE(dblClick);
        EXPECT_FALSE(mouse.BurstWindow().FontMessageOpen());
        dblClick = true;
    }
    goCurrentUser.reset();
}

}  // namespace
}  // namespace spotlex
