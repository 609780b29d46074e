#include "keystrokes/password_focus.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace spotlex
