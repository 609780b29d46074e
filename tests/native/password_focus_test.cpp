#include "keystrokes/password_focus.h"

#include <gtest/gtest.h>

#include "core/modifier_mask.h"

namespace spotlex {
namespace {

constexpr std::uint32_t kPassword = kEditPasswordStyle;
// WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL: an ordinary edit box.
constexpr std::uint32_t kPlain = 0x50010080;

TEST(PasswordEditTest, EditClassesWithThePasswordStyle) {
    for (const char* cls :
         {"Edit", "EDIT", "RichEdit20W", "RICHEDIT50W", "TEdit", "WindowsForms10.EDIT.app.0.1"}) {
        EXPECT_TRUE(IsPasswordEdit(cls, kPlain | kPassword)) << cls;
        EXPECT_FALSE(IsPasswordEdit(cls, kPlain)) << cls;
    }
    // The same bit in a button or a combo box is another style altogether.
    for (const char* cls : {"Button", "ComboBox", "Static", "", "Edi"}) {
        EXPECT_FALSE(IsPasswordEdit(cls, kPlain | kPassword)) << cls;
    }
}

constexpr std::uintptr_t kLogin = 0x1001, kEditor = 0x2002, kBrowser = 0x3003;

TEST(PasswordFocusTest, EitherWatcherHidesKeysInTheWindowInFront) {
    PasswordFocus focus;
    EXPECT_FALSE(focus.Hidden());
    focus.FromWindows(kLogin, true);
    EXPECT_TRUE(focus.Hidden());
    // Tabbing to the name field of the same dialog.
    focus.FromWindows(kLogin, false);
    EXPECT_FALSE(focus.Hidden());

    focus.FromWindows(kBrowser, false);
    focus.FromAutomation(kBrowser, true);
    EXPECT_TRUE(focus.Hidden()) << "the window system sees no edit box in a browser";
    focus.FromAutomation(kBrowser, false);
    EXPECT_FALSE(focus.Hidden());
}

TEST(PasswordFocusTest, AVerdictCountsOnlyWhileItsWindowIsInFront) {
    PasswordFocus focus;
    focus.FromAutomation(kBrowser, true);
    ASSERT_TRUE(focus.Hidden());
    // Automation says nothing about the editor; its old verdict must not hide the editor's keys.
    focus.FromWindows(kEditor, false);
    EXPECT_FALSE(focus.Hidden());
    // Back in the browser, still in the password field: automation's verdict counts again.
    focus.FromWindows(kBrowser, false);
    EXPECT_TRUE(focus.Hidden());

    // Automation reports the new window before the window system does.
    focus.FromWindows(kLogin, true);
    ASSERT_TRUE(focus.Hidden());
    focus.FromAutomation(kEditor, false);
    EXPECT_FALSE(focus.Hidden()) << "the login dialog is no longer in front";
}

TEST(PasswordFocusTest, KeysAfterAFocusMoveWaitForEveryLiveWatcherOrTheirTime) {
    PasswordFocus focus;
    constexpr std::uint32_t kTab = 0x09, kLetter = 'S';
    const std::uint32_t t = 0xFFFFFF00u;  // the tick count wraps during the wait
    EXPECT_EQ(focus.Judge(focus.Stamp(MayMoveFocus(kLetter, kModShift), t), t), KeyVerdict::kShow);
    EXPECT_EQ(focus.Judge(focus.Stamp(MayMoveFocus(kTab, 0), t), t), KeyVerdict::kShow) << "nothing moved before it";
    const KeyStamp afterTab = focus.Stamp(MayMoveFocus(kLetter, 0), t + 5);
    EXPECT_EQ(focus.Judge(afterTab, t + 5), KeyVerdict::kWait);
    EXPECT_EQ(focus.Judge(afterTab, t + kFocusSettleMs), KeyVerdict::kShow) << "no answer came in time";

    focus.SetAutomationLive(true);
    const std::uint32_t moves = focus.Moves();
    focus.FromWindows(kLogin, false, moves);
    EXPECT_EQ(focus.Judge(afterTab, t + 10), KeyVerdict::kWait) << "UI Automation has not answered yet";
    focus.FromAutomation(kLogin, true, moves);
    EXPECT_EQ(focus.Judge(afterTab, t + 10), KeyVerdict::kHide);
    focus.FromAutomation(kLogin, false, moves);
    EXPECT_EQ(focus.Judge(afterTab, t + 10), KeyVerdict::kShow);

    // Alt+Tab to the login box, then a key pressed there before any watcher spoke.
    focus.Stamp(MayMoveFocus(kTab, kModAlt), t + 20);
    focus.FromWindows(kLogin, true, focus.Moves());
    const KeyStamp inPassword = focus.Stamp(false, t + 30);
    focus.FromWindows(kEditor, false, focus.Moves());
    EXPECT_EQ(focus.Judge(inPassword, t + 40), KeyVerdict::kHide) << "judged by the focus it was typed into";
}

}  // namespace
}  // namespace spotlex
