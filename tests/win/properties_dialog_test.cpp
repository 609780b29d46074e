// The properties dialog driven through its controls: what a fresh or odd registry shows, the
// corrections of the number boxes, what OK writes and returns, that Cancel and the close box write
// nothing, and what the tray's Properties command hands to the live displays.
#include "properties/properties_dialog_win.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/registry_win.h"
#include "core/sound_win.h"
#include "core/tip_helper_win.h"
#include "help/help_box_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpFor;
using P = frmProperties;

constexpr const char* kUserSubkey = "Software\\Parvane\\Classkit\\4.5\\Spotlex";

std::vector<std::string> UserValues() {
    std::vector<std::string> all;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserSubkey, 0, KEY_READ, &key) != 0) return all;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[512];
        DWORD n = sizeof name, d = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &n, nullptr, &type, data, &d) != 0) break;
        all.push_back(std::string(name) + "=" + std::string(reinterpret_cast<char*>(data), d));
    }
    RegCloseKey(key);
    return all;
}

void ClearUserValues() {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kUserSubkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    for (const std::string& v : UserValues()) RegDeleteValueA(key, v.substr(0, v.find('=')).c_str());
    RegCloseKey(key);
}

std::int32_t Stored(const char* name) {
    return RegValueNumber(goCurrentUser->Value(name));
}
void Store(const char* name, std::int32_t v) {
    goCurrentUser->SetValue(name, rgsDWord, v);
}

std::string ComboText(HWND combo, LRESULT at) {
    char buf[64] = {};
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(buf));
    return buf;
}
std::string SelectedText(const P& dlg, int id) {
    HWND combo = dlg.Item(id);
    return ComboText(combo, SendMessageA(combo, CB_GETCURSEL, 0, 0));
}
int Count(const P& dlg, int id) {
    return static_cast<int>(SendMessageA(dlg.Item(id), CB_GETCOUNT, 0, 0));
}
int Slider(const P& dlg, int id) {
    return static_cast<int>(SendMessageA(dlg.Item(id), TBM_GETPOS, 0, 0));
}
bool Checked(const P& dlg, int id) {
    return IsDlgButtonChecked(dlg.Hwnd(), id) == BST_CHECKED;
}

void Click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
    PumpFor(20);
}

// Types into a box as the keyboard does: the text changes, then the focus leaves.
void TypeAndLeave(const P& dlg, int box, const char* text) {
    SendMessageA(dlg.Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dlg.Item(box)), TRUE);
    SetDlgItemTextA(dlg.Hwnd(), box, text);
    SendMessageA(dlg.Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dlg.Item(P::chkPlaySounds)), TRUE);
    PumpFor(20);
}

// Scripts that run inside a modal loop once a window of that class and caption is up.
struct Script {
    const char* cls;
    const char* caption;
    std::function<void()> run;
};
std::map<UINT_PTR, Script> g_scripts;
void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = g_scripts.find(id);
    if (it == g_scripts.end()) return;
    HWND w = FindWindowA(it->second.cls, it->second.caption);
    if (!w || !IsWindowVisible(w)) return;
    KillTimer(nullptr, id);
    Script s = std::move(it->second);
    g_scripts.erase(it);
    s.run();
}
void WhenShown(const char* cls, const char* caption, std::function<void()> run) {
    g_scripts[SetTimer(nullptr, 0, 50, &RunScript)] = {cls, caption, std::move(run)};
}

class PropertiesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadDisplayFont()); }
    void SetUp() override {
        ClearUserValues();
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
        ASSERT_TRUE(goCurrentUser->IsOpen());
    }
    void TearDown() override { goCurrentUser.reset(); }
};

TEST_F(PropertiesTest, AFreshInstallationShowsWhatTheDisplaysUse) {
    P dlg(LoadSettings());
    EXPECT_EQ(WindowText(dlg.Hwnd()), "Spotlex Properties...");
    EXPECT_EQ(dlg.PropType(), 0);
    EXPECT_TRUE(GetWindowLongA(dlg.Item(P::fraMouse), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(dlg.Item(P::fraKeyboard), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(dlg.Item(P::fraClock), GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(dlg.Item(P::picSampleMouse), GWL_STYLE) & WS_VISIBLE);
    // The lists hold the sixteen colours and need no custom entry: the displays' colours are listed.
    for (int id : P::kColorLists) EXPECT_EQ(Count(dlg, id), 16) << id;
    EXPECT_EQ(ComboText(dlg.Item(P::cboColorClock), 15), "White");
    EXPECT_EQ(SelectedText(dlg, P::cboColorMouse), "Red");
    EXPECT_EQ(SelectedText(dlg, P::cboColorRightMouse), "Red");
    EXPECT_EQ(SelectedText(dlg, P::cboColorKeyboard), "Black");
    EXPECT_EQ(SelectedText(dlg, P::cboColorClock), "Dark Blue");
    EXPECT_EQ(Slider(dlg, P::hsbSizeMouse), 64);
    EXPECT_EQ(Slider(dlg, P::hsbSizeKeyboard), 64);
    EXPECT_EQ(Slider(dlg, P::hsbSizeClock), 128);
    EXPECT_EQ(WindowText(dlg.Item(P::txtDelayKeyboard)), "1000");
    EXPECT_FALSE(Checked(dlg, P::chkShowShifted));
    EXPECT_FALSE(Checked(dlg, P::chkFollowPointer));
    EXPECT_TRUE(Checked(dlg, P::chkShowSeconds));
    EXPECT_TRUE(Checked(dlg, P::optClockType0 + 1));
    EXPECT_EQ(WindowText(dlg.Item(P::txtStartClock)), "15");
    EXPECT_TRUE(IsWindowEnabled(dlg.Item(P::txtStartClock)));
    EXPECT_TRUE(Checked(dlg, P::chkPlaySounds));
}

TEST_F(PropertiesTest, EveryExplainButtonCarriesTheQuickHelpTip) {
    P dlg(LoadSettings(), test::ExeFolder() + "ckicons.icl");
    HWND tips = goTipHelper.TooltipFor(dlg.Item(P::cmdExplain0));
    ASSERT_TRUE(tips);
    EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), static_cast<LRESULT>(kExplainTopics.size()));
    for (ExplainTopic topic : kExplainTopics) {
        char text[80] = {};
        TTTOOLINFOA ti{};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        ti.hwnd = dlg.Hwnd();
        ti.uId = reinterpret_cast<UINT_PTR>(dlg.ExplainButton(topic));
        ti.lpszText = text;
        SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
        EXPECT_STREQ(text, " Quick Help ");
    }
}

TEST_F(PropertiesTest, OkOnAFreshInstallationStoresWhatTheDisplaysUse) {
    P dlg(LoadSettings());
    ShowWindow(dlg.Hwnd(), SW_SHOW);
    Click(dlg.Item(IDOK));
    EXPECT_TRUE(dlg.Result());
    EXPECT_FALSE(IsWindowVisible(dlg.Hwnd()));
    // What was written is what the displays use on a fresh installation: red bursts, black key
    // caps, a navy clock at 128 points, bursts at 64.
    EXPECT_EQ(Stored("Color_Left_Mouse"), 0x0000FF);
    EXPECT_EQ(Stored("Color_Right_Mouse"), 0x0000FF);
    EXPECT_EQ(Stored("Color_Keyboard"), 0);
    EXPECT_EQ(Stored("Color_Clock"), 0x800000);
    EXPECT_EQ(Stored("Size_Clock"), 128);
    EXPECT_EQ(Stored("Size_Mouse"), 64);
    EXPECT_EQ(Stored("Delay_Keyboard"), 1000);
    EXPECT_EQ(Stored("Show_As_Clock"), 1);
    EXPECT_EQ(Stored("Start_Clock"), 15);
    EXPECT_NE(Stored("Show_Seconds"), 0);
    EXPECT_EQ(Stored("Key_Show_Shifted"), 0);
    EXPECT_EQ(Stored("Key_Follow_Pointer"), 0);
    EXPECT_EQ(Stored("Last_Properties"), 0);
    EXPECT_EQ(Stored("Play_Sounds"), -1);
    EXPECT_EQ(Stored("Show_Mouse_Wheel"), 0);
    EXPECT_EQ(Stored("Clock_Warning_Minutes"), 0);
    EXPECT_EQ(Stored("Color_Clock_Warning"), 0x00FFFF);
    EXPECT_EQ(Stored("Color_Clock_Warning_ListIndex"), 11);
    EXPECT_EQ(Stored("Pause_Hot_Key"), 0x70050) << "Ctrl+Alt+Shift+P";
    EXPECT_EQ(Stored("Pause_Resume_Minutes"), 5);
}

TEST_F(PropertiesTest, TheExtrasRoundTripThroughTheDialogAndTheirBoxesKeepToTheirBounds) {
    Store("Show_Mouse_Wheel", 1);
    Store("Clock_Warning_Minutes", 2);
    Store("Color_Clock_Warning", 0x0080FF);
    Store("Color_Clock_Warning_ListIndex", 3);
    Store("Pause_Hot_Key", 0x60078);  // Ctrl+Alt+F9
    Store("Pause_Resume_Minutes", 0);
    Store("Last_Properties", 3);
    {
        P dlg(LoadSettings());
        EXPECT_EQ(dlg.PropType(), 3);
        EXPECT_TRUE(GetWindowLongA(dlg.Item(P::HotKeyPause), GWL_STYLE) & WS_VISIBLE);
        EXPECT_FALSE(GetWindowLongA(dlg.Item(P::chkShowWheel), GWL_STYLE) & WS_VISIBLE);
        EXPECT_FALSE(GetWindowLongA(dlg.ExplainButton(ExplainTopic::Size), GWL_STYLE) & WS_VISIBLE)
            << "the Extras page has no size row";
        EXPECT_TRUE(Checked(dlg, P::chkShowWheel));
        EXPECT_EQ(WindowText(dlg.Item(P::txtWarningClock)), "2");
        EXPECT_EQ(SelectedText(dlg, P::cboColorWarningClock), "#80FF");
        EXPECT_EQ(SendMessageA(dlg.Item(P::HotKeyPause), HKM_GETHOTKEY, 0, 0),
                  MAKEWORD(VK_F9, HOTKEYF_CONTROL | HOTKEYF_ALT));
        EXPECT_EQ(WindowText(dlg.Item(P::txtResumeMinutes)), "0");
        // Every value changed in the dialog, then OK.
        ShowWindow(dlg.Hwnd(), SW_SHOW);
        Click(dlg.Item(P::chkShowWheel));
        SetDlgItemTextA(dlg.Hwnd(), P::txtWarningClock, "3");
        SendMessageA(dlg.Item(P::cboColorWarningClock), CB_SETCURSEL, 9, 0);
        SendMessageA(dlg.Item(P::HotKeyPause), HKM_SETHOTKEY, MAKEWORD(VK_F8, HOTKEYF_SHIFT), 0);
        SetDlgItemTextA(dlg.Hwnd(), P::txtResumeMinutes, "7");
        Click(dlg.Item(P::optPropType0 + 2));
        Click(dlg.Item(IDOK));
        ASSERT_TRUE(dlg.Result());
        EXPECT_EQ(dlg.Result()->pause.hotKey, 0x10077);
    }
    EXPECT_EQ(Stored("Show_Mouse_Wheel"), 0);
    EXPECT_EQ(Stored("Clock_Warning_Minutes"), 3);
    EXPECT_EQ(Stored("Color_Clock_Warning"), 0x0000FF);
    EXPECT_EQ(Stored("Color_Clock_Warning_ListIndex"), 9);
    EXPECT_EQ(Stored("Pause_Hot_Key"), 0x10077) << "Shift+F8";
    EXPECT_EQ(Stored("Pause_Resume_Minutes"), 7);
    EXPECT_EQ(Stored("Last_Properties"), 2);
    {
        // And back into the dialog as they were left.
        P dlg(LoadSettings());
        EXPECT_FALSE(Checked(dlg, P::chkShowWheel));
        EXPECT_EQ(WindowText(dlg.Item(P::txtWarningClock)), "3");
        EXPECT_EQ(SelectedText(dlg, P::cboColorWarningClock), "Red");
        EXPECT_EQ(SendMessageA(dlg.Item(P::HotKeyPause), HKM_GETHOTKEY, 0, 0),
                  MAKEWORD(VK_F8, HOTKEYF_SHIFT));
        EXPECT_EQ(WindowText(dlg.Item(P::txtResumeMinutes)), "7");
    }

    // Out of bounds or no number: the boxes take the nearer bound, or the default, on leaving.
    P dlg(LoadSettings());
    ShowWindow(dlg.Hwnd(), SW_SHOW);
    TypeAndLeave(dlg, P::txtResumeMinutes, "999");
    EXPECT_EQ(WindowText(dlg.Item(P::txtResumeMinutes)), "480");
    TypeAndLeave(dlg, P::txtResumeMinutes, "soon");
    EXPECT_EQ(WindowText(dlg.Item(P::txtResumeMinutes)), "5");
    Click(dlg.Item(P::optPropType0 + 2));
    TypeAndLeave(dlg, P::txtWarningClock, "-3");
    EXPECT_EQ(WindowText(dlg.Item(P::txtWarningClock)), "0");
    // An emptied pause key is stored as none.
    SendMessageA(dlg.Item(P::HotKeyPause), HKM_SETHOTKEY, 0, 0);
    Click(dlg.Item(IDOK));
    EXPECT_EQ(Stored("Pause_Hot_Key"), 0);
    EXPECT_EQ(Stored("Clock_Warning_Minutes"), 0);
}

TEST_F(PropertiesTest, AnUnlistedColourGetsACustomEntryThatOkStoresAsPositionSixteen) {
    Store("Color_Keyboard", 0x0080FF);
    Store("Color_Keyboard_ListIndex", 3);
    Store("Last_Properties", 7);
    Store("Color_Clock", static_cast<std::int32_t>(0xFF000000u));  // no colour: read as black
    Store("Color_Left_Mouse_ListIndex", 99);
    Store("Size_Mouse", 188);  // beyond the slider's end
    Store("Delay_Keyboard", -5);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        P dlg(LoadSettings());
        EXPECT_EQ(dlg.PropType(), 3) << "Last_Properties 7 opens the last page, Extras";
        EXPECT_TRUE(GetWindowLongA(dlg.Item(P::fraExtras), GWL_STYLE) & WS_VISIBLE);
        EXPECT_FALSE(GetWindowLongA(dlg.Item(P::fraClock), GWL_STYLE) & WS_VISIBLE);
        EXPECT_FALSE(GetWindowLongA(dlg.Item(P::fraMouse), GWL_STYLE) & WS_VISIBLE);
        EXPECT_EQ(Count(dlg, P::cboColorKeyboard), 17);
        EXPECT_EQ(SelectedText(dlg, P::cboColorKeyboard), "#80FF");
        EXPECT_EQ(SelectedText(dlg, P::cboColorClock), "Black");
        EXPECT_EQ(SelectedText(dlg, P::cboColorMouse), "Red");
        EXPECT_EQ(Slider(dlg, P::hsbSizeMouse), 144);
        EXPECT_EQ(WindowText(dlg.Item(P::txtDelayKeyboard)), "100");
        ShowWindow(dlg.Hwnd(), SW_SHOW);
        Click(dlg.Item(IDOK));
        EXPECT_EQ(Stored("Color_Keyboard_ListIndex"), 16);
        EXPECT_EQ(Stored("Color_Keyboard"), 0x0080FF);
        EXPECT_EQ(Stored("Last_Properties"), 3);
        EXPECT_EQ(Stored("Color_Clock"), 0);
        EXPECT_EQ(Stored("Size_Mouse"), 144);
    }
}

TEST_F(PropertiesTest, TheDelayBoxIsCorrectedOnLeavingAndItsSpinStepsByAHundred) {
    P dlg(LoadSettings());
    Click(dlg.Item(P::optPropType0 + 1));
    ShowWindow(dlg.Hwnd(), SW_SHOW);
    TypeAndLeave(dlg, P::txtDelayKeyboard, "50");
    EXPECT_EQ(WindowText(dlg.Item(P::txtDelayKeyboard)), "100");
    TypeAndLeave(dlg, P::txtDelayKeyboard, "abc");
    EXPECT_EQ(WindowText(dlg.Item(P::txtDelayKeyboard)), "1000");
    // The spin's up arrow (the arrow key in its box) raises the delay by 100, up to 10000.
    SendMessageA(dlg.Item(P::txtDelayKeyboard), WM_KEYDOWN, VK_UP, 0);
    PumpFor(20);
    EXPECT_EQ(WindowText(dlg.Item(P::txtDelayKeyboard)), "1100");
    SetDlgItemTextA(dlg.Hwnd(), P::txtDelayKeyboard, "10000");
    SendMessageA(dlg.Item(P::txtDelayKeyboard), WM_KEYDOWN, VK_UP, 0);
    PumpFor(20);
    EXPECT_EQ(WindowText(dlg.Item(P::txtDelayKeyboard)), "10000");
    SendMessageA(dlg.Item(P::txtDelayKeyboard), WM_KEYDOWN, VK_DOWN, 0);
    PumpFor(20);
    EXPECT_EQ(WindowText(dlg.Item(P::txtDelayKeyboard)), "9900");
}

TEST_F(PropertiesTest, TheMinutesBoxIsCorrectedAtEveryChangeAndDisplayClockDisablesIt) {
    P dlg(LoadSettings());
    Click(dlg.Item(P::optPropType0 + 2));
    ShowWindow(dlg.Hwnd(), SW_SHOW);
    SetDlgItemTextA(dlg.Hwnd(), P::txtStartClock, "");
    EXPECT_EQ(WindowText(dlg.Item(P::txtStartClock)), "15");
    SetDlgItemTextA(dlg.Hwnd(), P::txtStartClock, "0");
    EXPECT_EQ(WindowText(dlg.Item(P::txtStartClock)), "1");
    SetDlgItemTextA(dlg.Hwnd(), P::txtStartClock, "999");
    EXPECT_EQ(WindowText(dlg.Item(P::txtStartClock)), "480");
    SendMessageA(dlg.Item(P::txtStartClock), WM_KEYDOWN, VK_DOWN, 0);
    PumpFor(20);
    EXPECT_EQ(WindowText(dlg.Item(P::txtStartClock)), "479");
    Click(dlg.Item(P::optClockType0));
    EXPECT_FALSE(IsWindowEnabled(dlg.Item(P::txtStartClock)));
    EXPECT_FALSE(IsWindowEnabled(dlg.Item(P::vsbStartClock)));
}

TEST_F(PropertiesTest, OkCorrectsTheBoxThatHasTheFocusAndStoresChoicesAsTheyAreRead) {
    Store("Play_Sounds", 0);
    P dlg(LoadSettings());
    ShowWindow(dlg.Hwnd(), SW_SHOW);
    // Display Clock leaves the minutes disabled, and they are still written.
    Click(dlg.Item(P::optPropType0 + 2));
    SetDlgItemTextA(dlg.Hwnd(), P::txtStartClock, "479");
    Click(dlg.Item(P::optClockType0));
    Click(dlg.Item(P::optPropType0 + 1));
    Click(dlg.Item(P::chkPlaySounds));
    // Enter while the box still has the focus: OK corrects it as leaving would.
    SendMessageA(dlg.Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dlg.Item(P::txtDelayKeyboard)), TRUE);
    SetDlgItemTextA(dlg.Hwnd(), P::txtDelayKeyboard, "50");
    ASSERT_EQ(GetFocus(), dlg.Item(P::txtDelayKeyboard));
    SendMessageA(dlg.Hwnd(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(Stored("Delay_Keyboard"), 100);
    ASSERT_TRUE(dlg.Result());
    EXPECT_EQ(dlg.Result()->keys.delayMs, 100);
    EXPECT_EQ(Stored("Start_Clock"), 479);
    EXPECT_EQ(Stored("Show_As_Clock"), 0);
    EXPECT_EQ(Stored("Play_Sounds"), -1) << "written as -1, not 1";
    EXPECT_TRUE(dlg.Result()->sound.play);
}

TEST_F(PropertiesTest, F1InAControlOpensItsTopicFromItsExplainButton) {
    P dlg(LoadSettings());
    std::string title;
    WhenShown("#32770", P::kCaption, [&] {
        Click(dlg.Item(P::optPropType0 + 1));
        SendMessageA(dlg.Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dlg.Item(P::cboColorKeyboard)),
                     TRUE);
        WhenShown(frmHelpBox::kClassName, nullptr, [&] {
            HWND box = FindWindowA(frmHelpBox::kClassName, nullptr);
            title = WindowText(GetDlgItem(box, kHelpTitle));
            EXPECT_EQ(WindowText(box), "Spotlex Quick Help");
            PostMessageA(box, WM_CLOSE, 0, 0);
            WhenShown("#32770", P::kCaption, [&] { Click(dlg.Item(IDCANCEL)); });
        });
        PostMessageA(dlg.Item(P::cboColorKeyboard), WM_KEYDOWN, VK_F1, 0);
    });
    dlg.ShowModal();
    EXPECT_EQ(title, "Color");
    EXPECT_FALSE(dlg.Result());
}

// The tray menu's Properties: OK hands the new values to the live displays, Cancel and the close
// box leave them and the registry alone.
// Notes and closes a popup menu that a tray click opened.
bool g_menuSeen = false;
void CALLBACK CloseAnyMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (menu && IsWindowVisible(menu)) {
        g_menuSeen = true;
        KillTimer(nullptr, id);
        EndMenu();
    }
}

class TrayPropertiesTest : public PropertiesTest {
protected:
    void SetUp() override {
        PropertiesTest::SetUp();
        goLocalMachine = std::make_unique<RegistrySetting>();
        goLocalMachine->OpenKey(kMachineKey);
        Store("Play_Sounds", 0);
    }
    void TearDown() override {
        goLocalMachine.reset();
        PropertiesTest::TearDown();
    }
};

TEST_F(TrayPropertiesTest, CancelAndTheCloseBoxChangeNothing) {
    frmMain form;
    const auto before = UserValues();
    for (int close = 0; close < 2; ++close) {
        WhenShown("#32770", P::kCaption, [close] {
            HWND dlg = FindWindowA("#32770", P::kCaption);
            SendMessageA(GetDlgItem(dlg, P::hsbSizeMouse), TBM_SETPOS, TRUE, 30);
            SendMessageA(GetDlgItem(dlg, P::cboColorKeyboard), CB_SETCURSEL, 12, 0);
            SendMessageA(GetDlgItem(dlg, P::chkFollowPointer), BM_CLICK, 0, 0);
            if (close)
                PostMessageA(dlg, WM_CLOSE, 0, 0);
            else
                PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
        });
        form.RunMenuCommand(mnuProperties);
        EXPECT_EQ(UserValues(), before) << (close ? "close box" : "Cancel");
        EXPECT_EQ(form.MouseWindow->Size(), 64);
        EXPECT_EQ(form.KeyboardWindow->Color(), 0);
        EXPECT_FALSE(FindWindowA("#32770", P::kCaption)) << "unloaded";
    }
}

TEST_F(TrayPropertiesTest, OkHandsTheValuesToTheLiveDisplays) {
    frmMain form;
    int disabledWhileOpen = -1;
    bool menuOpened = true;
    form.TrayIcon1.SetEnabled(true);
    g_menuSeen = false;
    const UINT_PTR menuCloser = SetTimer(nullptr, 0, 150, &CloseAnyMenu);
    WhenShown("#32770", P::kCaption, [&] {
        HWND dlg = FindWindowA("#32770", P::kCaption);
        disabledWhileOpen = form.SysInputDisableCount();
        // A right click on the tray icon opens no menu on top of the dialog.
        PostMessageA(form.TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONUP);
        PumpFor(300);
        menuOpened = g_menuSeen;
        SendMessageA(GetDlgItem(dlg, P::hsbSizeMouse), TBM_SETPOS, TRUE, 30);
        SendMessageA(GetDlgItem(dlg, P::hsbSizeKeyboard), TBM_SETPOS, TRUE, 100);
        SendMessageA(GetDlgItem(dlg, P::cboColorMouse), CB_SETCURSEL, 10, 0);
        SendMessageA(GetDlgItem(dlg, P::cboColorKeyboard), CB_SETCURSEL, 12, 0);
        SetDlgItemTextA(dlg, P::txtDelayKeyboard, "2500");
        SendMessageA(GetDlgItem(dlg, P::chkShowShifted), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dlg, P::chkFollowPointer), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dlg, P::chkPlaySounds), BM_CLICK, 0, 0);
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    });
    form.RunMenuCommand(mnuProperties);
    EXPECT_GT(disabledWhileOpen, 0) << "the hook is off while the dialog is open";
    EXPECT_FALSE(menuOpened);
    KillTimer(nullptr, menuCloser);
    EXPECT_EQ(form.MouseWindow->Size(), 30);
    EXPECT_EQ(form.MouseWindow->Color(), 0x00FF00);
    EXPECT_EQ(form.KeyboardWindow->Color(), 0xFF0000);
    EXPECT_EQ(form.KeyboardWindow->Size(), 100);
    EXPECT_EQ(form.KeyboardWindow->Delay(), 2500);
    EXPECT_TRUE(form.ShowShiftedKeys());
    EXPECT_TRUE(form.KeyboardWindow->Window().FollowsPointer());
    EXPECT_EQ(Stored("Key_Follow_Pointer"), 1);
    EXPECT_TRUE(gbPlaySounds);
    EXPECT_EQ(Stored("Size_Mouse"), 30);
    EXPECT_EQ(Stored("Delay_Keyboard"), 2500);
}

TEST_F(TrayPropertiesTest, TheClocksOwnPropertiesOpensTheClockPageAndTheClockTakesItsSize) {
    frmMain form;
    form.RunMenuCommand(mnuViewBreakClock);
    ASSERT_TRUE(form.ClockWindow);
    int page = -1;
    WhenShown("#32770", P::kCaption, [&] {
        HWND dlg = FindWindowA("#32770", P::kCaption);
        page = IsDlgButtonChecked(dlg, P::optPropType0 + 2) == BST_CHECKED ? 2 : 0;
        SendMessageA(GetDlgItem(dlg, P::hsbSizeClock), TBM_SETPOS, TRUE, 100);
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    });
    form.RunMenuCommand(mnuClockProperties);
    EXPECT_EQ(page, 2);
    EXPECT_EQ(form.ClockWindow->Size(), 100);
}

TEST_F(TrayPropertiesTest, ATrayClickOpensNothingOverAQuickHelpBox) {
    frmMain form;
    form.TrayIcon1.SetEnabled(true);
    g_menuSeen = false;
    const UINT_PTR menuCloser = SetTimer(nullptr, 0, 150, &CloseAnyMenu);
    bool menuOpened = true;
    WhenShown(frmHelpBox::kClassName, nullptr, [&] {
        PostMessageA(form.TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONUP);
        PumpFor(300);
        menuOpened = g_menuSeen;
        PostMessageA(FindWindowA(frmHelpBox::kClassName, nullptr), WM_CLOSE, 0, 0);
    });
    CHelpBox help;
    help.Explain("Title", "Body");
    KillTimer(nullptr, menuCloser);
    EXPECT_FALSE(menuOpened);
}

}  // namespace
}  // namespace spotlex
