// Key caps in the presenter's layout against the real keyboard API, and characters the display
// font lacks, drawn on its blank cap.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/sys_input_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/sound_win.h"
#include "core/unique_handle_win.h"
#include "keystrokes/key_handler_win.h"
#include "keystrokes/key_naming.h"
#include "keystrokes/keyboard_window_win.h"
#include "keystrokes/layout_lookup_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpUntil;

UINT ScanOf(int vk) {
    return MapVirtualKeyW(static_cast<UINT>(vk), MAPVK_VK_TO_VSC);
}

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(ScanOf(vk));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// Under Wine the layout is the X server's; the test screen has the US one. Read either way, it
// names every key as the US table does.
TEST(PressLayout, AUsLayoutNamesEveryKeyAsTheUsTableDoes) {
    const int masks[] = {0, kModShift, kModCtrl, kModCtrl | kModAlt, kModShift | kModCtrl | kModAlt, kModWin};
    for (int vk = 1; vk < 256; ++vk) {
        if (vk == VK_OEM_8 || vk == VK_OEM_102) continue;  // keys a US keyboard lacks
        for (bool keepsState : {true, false}) {
            const PressLayout layout(GetKeyboardLayout(0), ScanOf(vk), keepsState);
            for (int mask : masks) {
                for (bool caps : {false, true}) {
                    for (bool showShifted : {false, true}) {
                        SCOPED_TRACE(testing::Message()
                                     << vk << " mask " << mask << " caps " << caps << showShifted << keepsState);
                        ASSERT_EQ(test::CodesOf(NameKeyInLayout(vk, mask, caps, showShifted, layout)),
                                  NameKey(vk, mask, showShifted));
                    }
                }
            }
        }
    }
}

TEST(PressLayout, WhereAskingCouldLoseADeadKeyTheKeyboardStateIsNotAsked) {
    EXPECT_TRUE(TranslationKeepsKeyboardState(10, 14393));
    EXPECT_FALSE(TranslationKeepsKeyboardState(10, 10586));
    EXPECT_FALSE(TranslationKeepsKeyboardState(6, 3));
}

// A press's scan code and the Caps Lock state reach the handler with it.
TEST(PressLayout, EachPressBringsItsScanCodeAndCapsLock) {
    SysInput input;
    std::vector<SysInput::KeyDetail> seen;
    input.KeyDown = [&](std::int16_t vk, std::int16_t) {
        if (vk == 'A') seen.push_back(input.RaisedKey());
    };
    input.SetEnabled(true);
    const bool capsWasOn = (GetKeyState(VK_CAPITAL) & 1) != 0;
    for (WORD vk : {WORD{'A'}, WORD{VK_CAPITAL}, WORD{'A'}, WORD{VK_CAPITAL}, WORD{'A'}}) {
        SendKey(vk, false);
        SendKey(vk, true);
    }
    ASSERT_TRUE(PumpUntil([&] { return seen.size() == 3; }, 3000));
    EXPECT_EQ(seen[0].scanCode, ScanOf('A'));
    EXPECT_EQ(seen[0].capsLock, capsWasOn);
    EXPECT_EQ(seen[1].capsLock, !capsWasOn);
    EXPECT_EQ(seen[2].capsLock, capsWasOn);
}

// Tests that read the per-user settings, as the keystroke handler and window do.
class UserSettingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
        gbPlaySounds = false;
    }
    static void TearDownTestSuite() { goCurrentUser.reset(); }
};

// Real X key presses typed into an edit control with the focus, with the caps shown for each: as
// the program names them, and as ToUnicodeEx names them. Each test runs only on a display with its
// keyboard (wine-test.sh with SPOTLEX_KEYBOARD).
class XKeyboard : public UserSettingsTest {
protected:
    static bool On(const char* layout) {
        char set[16] = {};
        GetEnvironmentVariableA("SPOTLEX_KEYBOARD", set, sizeof set);
        return std::string(set) == layout;
    }

    void Start() {
        edit_.reset(CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE | ES_MULTILINE, 100, 100, 400, 200,
                                    nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(edit_);
        SetForegroundWindow(edit_.get());
        SetFocus(edit_.get());
        input_.KeyDown = [this](std::int16_t vk, std::int16_t shift) {
            const SysInput::KeyDetail& key = input_.RaisedKey();
            const PressLayout layout = PressLayout::Foreground(key.scanCode);
            handler_.KeyDown(vk, shift, true, &layout, key.capsLock);
            const CapText asked = NameKeyInLayout(vk, shift, key.capsLock, true,
                                                  PressLayout(GetKeyboardLayout(0), key.scanCode, true));
            if (!asked.empty()) byToUnicode.push_back(asked);
        };
        input_.SetEnabled(true);
        test::PumpFor(200);
    }

    // Presses X keys by their names, over the edit control, which X gives the keys to, and waits
    // for `count` caps.
    void PressX(const std::string& keys, std::size_t count) {
        std::string command = "Z:\\usr\\bin\\xdotool mousemove 300 200 sleep 0.2 key --delay 80 " + keys;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        UniqueHandle process(pi.hProcess), thread(pi.hThread);
        test::PumpUntil([&] { return shown.size() >= count && byToUnicode.size() >= count; }, 5000);
        test::PumpFor(200);  // nothing more comes
    }

    std::vector<CapText> shown, byToUnicode;

private:
    UniqueWindow edit_;
    KeystrokeHandler handler_{[this](const CapText& text) { shown.push_back(text); }, [](std::string_view, bool) {}};
    SysInput input_;
};

constexpr char32_t F(int code) {
    return kFontCodeBase + code;
}

TEST_F(XKeyboard, GermanLettersAndShiftedDigit) {
    if (!On("de")) GTEST_SKIP() << "the display's keyboard is not de";
    Start();
    PressX("odiaeresis ssharp shift+2", 3);
    const std::vector<CapText> expected{U"\u00F6", U"\u00DF", {F('"')}};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(byToUnicode, expected);

    // AltGr reaches Windows programs as Ctrl with Alt.
    shown.clear();
    for (WORD vk : {WORD{VK_LCONTROL}, WORD{VK_RMENU}, WORD{'Q'}}) SendKey(vk, false);
    for (WORD vk : {WORD{'Q'}, WORD{VK_RMENU}, WORD{VK_LCONTROL}}) SendKey(vk, true);
    ASSERT_TRUE(test::PumpUntil([&] { return !shown.empty(); }, 3000));
    EXPECT_EQ(shown.back(), CapText{F('@')});
}

TEST_F(XKeyboard, FrenchLetterAndDigitRow) {
    if (!On("fr")) GTEST_SKIP() << "the display's keyboard is not fr";
    Start();
    PressX("a ampersand eacute quotedbl", 4);
    const std::vector<CapText> expected{{F('a')}, {F('&')}, U"\u00E9", {F('"')}};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(byToUnicode, expected);
}

TEST_F(XKeyboard, RussianLetter) {
    if (!On("ru")) GTEST_SKIP() << "the display's keyboard is not ru";
    Start();
    // Wine gives most other Cyrillic keys codes no Windows layout has; this one comes as a key
    // that writes text.
    PressX("Cyrillic_shorti", 1);
    const std::vector<CapText> expected{U"\u0439"};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(byToUnicode, expected);
}

class FallbackCapTest : public UserSettingsTest {
protected:
    static void SetUpTestSuite() {
        UserSettingsTest::SetUpTestSuite();
        ASSERT_TRUE(LoadDisplayFont());
    }

    // The window's shape for `text`, and the window's size.
    UniqueRgn ShapeOf(const CapText& text, SIZE& size) {
        kb.Display(text);
        UniqueRgn shape(CreateRectRgn(0, 0, 0, 0));
        GetWindowRgn(kb.Window().Hwnd(), shape.get());
        RECT r{};
        GetWindowRect(kb.Window().Hwnd(), &r);
        size = {r.right - r.left, r.bottom - r.top};
        return shape;
    }

    CKeyboardWindow kb;
};

RECT BoxOf(HRGN r) {
    RECT box{};
    GetRgnBox(r, &box);
    return box;
}

TEST_F(FallbackCapTest, ACharacterTheFontLacksIsCutIntoTheBlankCapLikeTheFontsOwnLabels) {
    kb.SetSize(120);
    SIZE blankSize{}, letterSize{}, fallbackSize{};
    const UniqueRgn blank = ShapeOf(FontCodes(std::string(1, static_cast<char>(kBlankCap))), blankSize);
    const UniqueRgn letter = ShapeOf(FontCodes("o"), letterSize);
    const UniqueRgn el = ShapeOf(U"\u043B", fallbackSize);  // Cyrillic el: a capital of plain height

    // The same cap as a letter of the font: the same size and outline, the label cut out of it.
    EXPECT_EQ(fallbackSize.cx, letterSize.cx);
    EXPECT_EQ(fallbackSize.cy, letterSize.cy);
    const RECT cap = BoxOf(blank.get()), elBox = BoxOf(el.get());
    EXPECT_TRUE(EqualRect(&cap, &elBox));
    UniqueRgn label(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(CombineRgn(label.get(), blank.get(), el.get(), RGN_DIFF), COMPLEXREGION);
    UniqueRgn stray(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(CombineRgn(stray.get(), el.get(), blank.get(), RGN_DIFF), NULLREGION)
        << "nothing outside the cap";

    // The label stands as high as the font's own O, centred across the cap, a little above its middle.
    UniqueRgn o(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(o.get(), blank.get(), letter.get(), RGN_DIFF);
    const RECT fontLabel = BoxOf(o.get()), cut = BoxOf(label.get());
    const int capHeight = cap.bottom - cap.top;
    EXPECT_NEAR(cut.bottom - cut.top, capHeight / 2, 3);
    EXPECT_NEAR(cut.bottom - cut.top, fontLabel.bottom - fontLabel.top, 4);
    EXPECT_NEAR(cut.left + cut.right, cap.left + cap.right, 3);
    EXPECT_NEAR(cut.top + cut.bottom, cap.top + cap.bottom - 2 * capHeight * kLabelLift, 3);

    // Beside the font's own caps it takes a letter's place in the row.
    SIZE withFont{}, withFallback{};
    ShapeOf(CapText{kFontCodeBase + kCtrlCap, kFontCodeBase + 'a'}, withFont);
    ShapeOf(CapText{kFontCodeBase + kCtrlCap, U'\u00F6'}, withFallback);
    EXPECT_EQ(withFallback.cx, withFont.cx);
}

}  // namespace
}  // namespace spotlex
