// The key filter and special key dialogs, driven through their controls: what they load, what the
// hot-key box and the special keys add, and that only OK writes, and only what was shown.
#include "keystrokes/key_filter_dialog_win.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/sys_input_win.h"
#include "core/classkit_win.h"
#include "core/registry_win.h"
#include "keystrokes/add_key_dialog_win.h"
#include "keystrokes/key_handler_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpFor;
using test::PumpUntil;

constexpr const char* kUserSubkey = "Software\\Parvane\\Classkit\\4.5\\Spotlex";

// Reads and writes the per-user key behind the dialog's back.
struct Store {
    HKEY key = nullptr;
    Store() {
        RegCreateKeyExA(HKEY_CURRENT_USER, kUserSubkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
    }
    ~Store() { RegCloseKey(key); }
    void Text(const char* name, const std::string& data) {
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
    }
    void Number(const char* name, DWORD v) {
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    }
    bool Has(const char* name) {
        return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == 0;
    }
    std::string ReadText(const char* name) {
        char buf[256] = {};
        DWORD size = sizeof buf;
        if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) != 0)
            return "<none>";
        return buf;
    }
    DWORD ReadNumber(const char* name) {
        DWORD v = 0xDEADBEEF, size = sizeof v;
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&v), &size);
        return v;
    }
    // Every value of the key, name and data, to prove that nothing changed.
    std::vector<std::string> Snapshot() {
        std::vector<std::string> all;
        for (DWORD i = 0;; ++i) {
            char name[256];
            BYTE data[512];
            DWORD n = sizeof name, d = sizeof data, type = 0;
            if (RegEnumValueA(key, i, name, &n, nullptr, &type, data, &d) != 0) break;
            all.push_back(std::string(name) + "=" + std::to_string(type) + ":" +
                          std::string(reinterpret_cast<char*>(data), d));
        }
        return all;
    }
    void Clear() {
        for (const std::string& v : Snapshot()) RegDeleteValueA(key, v.substr(0, v.find('=')).c_str());
    }
};

std::vector<std::string> ListTexts(HWND list) {
    std::vector<std::string> texts;
    const int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char buf[256] = {};
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
        texts.push_back(buf);
    }
    return texts;
}

std::vector<int> Selected(HWND list) {
    std::vector<int> sel;
    const int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i)
        if (SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) sel.push_back(i);
    return sel;
}

// Selects one entry as a click on it does, with the list's own notification.
void SelectOnlyAndNotify(HWND list, int index) {
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    SendMessageA(list, LB_SETSEL, TRUE, index);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

void Click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
    PumpFor(20);
}

// A scripted step that runs inside a dialog's modal loop once its window is up; steps may nest.
struct Script {
    const char* caption;
    std::function<void()> run;
};
std::map<UINT_PTR, Script> g_scripts;
void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = g_scripts.find(id);
    if (it == g_scripts.end()) return;
    HWND dlg = FindWindowA("#32770", it->second.caption);
    if (!dlg || !IsWindowVisible(dlg)) return;
    KillTimer(nullptr, id);
    Script script = std::move(it->second);
    g_scripts.erase(it);
    script.run();
}
void WhenShown(const char* caption, std::function<void()> script) {
    g_scripts[SetTimer(nullptr, 0, 50, &RunScript)] = {caption, std::move(script)};
}

class KeyFilterDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        store.Clear();
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
        ASSERT_TRUE(goCurrentUser->IsOpen());
    }
    void TearDown() override { goCurrentUser.reset(); }

    // Types a combination into the hot-key box as the presenter would.
    static void TypeIntoHotKey(HWND dlg, std::initializer_list<WORD> keys) {
        SetForegroundWindow(dlg);
        SetFocus(GetDlgItem(dlg, frmKeyFilter::HotKey1));
        PumpFor(50);
        std::vector<INPUT> in;
        for (WORD k : keys) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = k;
            i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(k, MAPVK_VK_TO_VSC));
            in.push_back(i);
        }
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = *it;
            i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(*it, MAPVK_VK_TO_VSC));
            i.ki.dwFlags = KEYEVENTF_KEYUP;
            in.push_back(i);
        }
        SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
        PumpFor(150);
    }

    Store store;
};

TEST_F(KeyFilterDialogTest, LoadsInMaskThenKeyOrderSkipsForeignValuesAndAnAbsentModeIsExclude) {
    store.Text("VK_0x20053", "Ctrl + S");
    store.Text("VK_0x74", "F5");
    store.Text("VK_0x10041", "Shift + A");
    store.Text("VK_0x1000041", "mask 256");  // outside masks 0 to 15
    store.Text("VK_0x1FF", "key 511");       // outside keys 0 to 255
    store.Text("VK_0xZZ", "no number");
    frmKeyFilter dlg(nullptr);
    EXPECT_EQ(WindowText(dlg.Hwnd()), "Key Filter");
    EXPECT_EQ(ListTexts(dlg.Item(frmKeyFilter::lstKeys)),
              (std::vector<std::string>{"F5", "Shift + A", "Ctrl + S"}));
    EXPECT_EQ(IsDlgButtonChecked(dlg.Hwnd(), frmKeyFilter::optIncludeExclude0 + 1), BST_CHECKED);
    EXPECT_EQ(WindowText(dlg.Item(frmKeyFilter::lblChooseKeyCombination)),
              "&Choose Key Combination To Exclude:");
    EXPECT_EQ(WindowText(dlg.Item(frmKeyFilter::lblDisplayTheseWhenPressed)),
              "&Don't Display These Key Combinations When Pressed:");
    EXPECT_EQ(dlg.HotKeyText(), "None");
    EXPECT_FALSE(IsWindowEnabled(dlg.Item(frmKeyFilter::cmdAdd)));

    // Removing everything and pressing OK deletes only what was shown.
    ShowWindow(dlg.Hwnd(), SW_SHOW);
    HWND list = dlg.Item(frmKeyFilter::lstKeys);
    SendMessageA(list, LB_SETSEL, TRUE, -1);
    Click(dlg.Item(frmKeyFilter::cmdRemove));
    EXPECT_TRUE(ListTexts(list).empty());
    EXPECT_FALSE(IsWindowEnabled(dlg.Item(frmKeyFilter::cmdRemove)));
    EXPECT_EQ(GetFocus(), dlg.Item(frmKeyFilter::HotKey1));
    Click(dlg.Item(IDOK));
    EXPECT_FALSE(store.Has("VK_0x20053"));
    EXPECT_FALSE(store.Has("VK_0x74"));
    EXPECT_TRUE(store.Has("VK_0x1000041"));
    EXPECT_TRUE(store.Has("VK_0x1FF"));
    EXPECT_TRUE(store.Has("VK_0xZZ"));
    EXPECT_EQ(store.ReadNumber("Key_IncludeExclude"), 1u);
}

TEST_F(KeyFilterDialogTest, TheHotKeyBoxAddsOnceRemoveAndReAddKeepsItAndIncludeModeIsWritten) {
    store.Text("VK_0x20053", "Ctrl + S");
    store.Number("Key_IncludeExclude", 0);
    frmKeyFilter dlg(nullptr);
    EXPECT_EQ(IsDlgButtonChecked(dlg.Hwnd(), frmKeyFilter::optIncludeExclude0), BST_CHECKED);
    EXPECT_EQ(WindowText(dlg.Item(frmKeyFilter::lblChooseKeyCombination)),
              "&Choose Key Combination To Include:");
    ShowWindow(dlg.Hwnd(), SW_SHOW);
    HWND list = dlg.Item(frmKeyFilter::lstKeys);

    TypeIntoHotKey(dlg.Hwnd(), {VK_CONTROL, 'S'});
    EXPECT_EQ(dlg.HotKeyValue(), 0x20053);
    EXPECT_EQ(dlg.HotKeyText(), "Ctrl + S");
    EXPECT_TRUE(IsWindowEnabled(dlg.Item(frmKeyFilter::cmdAdd)));
    Click(dlg.Item(frmKeyFilter::cmdAdd));
    EXPECT_EQ(ListTexts(list), std::vector<std::string>{"Ctrl + S"})
        << "the same combination is not added twice";
    EXPECT_EQ(Selected(list), std::vector<int>{0});
    EXPECT_EQ(dlg.HotKeyText(), "None") << "the box is cleared after adding";
    EXPECT_FALSE(IsWindowEnabled(dlg.Item(frmKeyFilter::cmdAdd)));

    TypeIntoHotKey(dlg.Hwnd(), {VK_F7});  // a key without modifiers
    EXPECT_EQ(dlg.HotKeyValue(), VK_F7);
    Click(dlg.Item(frmKeyFilter::cmdAdd));
    EXPECT_EQ(ListTexts(list), (std::vector<std::string>{"Ctrl + S", "F7"}));
    EXPECT_EQ(Selected(list), std::vector<int>{1});

    // Remove Ctrl+S, add it again, OK: it stays stored. Removing the last item selects the new last.
    SelectOnlyAndNotify(list, 0);
    Click(dlg.Item(frmKeyFilter::cmdRemove));
    EXPECT_EQ(ListTexts(list), std::vector<std::string>{"F7"});
    EXPECT_EQ(Selected(list), std::vector<int>{0});
    dlg.AddKeyItem("ctrl + s", 0x20053);  // any letter case finds nothing new: it is gone now
    dlg.AddKeyItem("CTRL + S", 0x20053);
    EXPECT_EQ(ListTexts(list), (std::vector<std::string>{"F7", "ctrl + s"}));
    Click(dlg.Item(frmKeyFilter::optIncludeExclude0 + 1));
    EXPECT_EQ(WindowText(dlg.Item(frmKeyFilter::lblDisplayTheseWhenPressed)),
              "&Don't Display These Key Combinations When Pressed:");
    Click(dlg.Item(frmKeyFilter::optIncludeExclude0));
    Click(dlg.Item(IDOK));
    EXPECT_EQ(store.ReadText("VK_0x20053"), "ctrl + s");
    EXPECT_EQ(store.ReadText("VK_0x76"), "F7");
    EXPECT_EQ(store.ReadNumber("Key_IncludeExclude"), 0u);
}

TEST_F(KeyFilterDialogTest, AWindowsKeyCombinationIsListedStoredAndThenFiltered) {
    store.Number("Key_IncludeExclude", 1);
    {
        frmKeyFilter dlg(nullptr);
        ShowWindow(dlg.Hwnd(), SW_SHOW);
        TypeIntoHotKey(dlg.Hwnd(), {'D'});
        Click(dlg.Item(frmKeyFilter::chkWin));
        EXPECT_EQ(dlg.HotKeyText(), "Win + D");
        Click(dlg.Item(frmKeyFilter::cmdAdd));
        EXPECT_EQ(ListTexts(dlg.Item(frmKeyFilter::lstKeys)), std::vector<std::string>{"Win + D"});
        EXPECT_EQ(IsDlgButtonChecked(dlg.Hwnd(), frmKeyFilter::chkWin), BST_UNCHECKED) << "cleared with the box";
        Click(dlg.Item(IDOK));
    }
    EXPECT_EQ(store.ReadText("VK_0x80044"), "Win + D");

    // The presenter's Win+D now stays off the screen; D alone still shows.
    std::vector<std::string> shown;
    KeystrokeHandler handler([&](const CapText& text) { shown.push_back(test::CodesOf(text)); },
                             [](std::string_view, bool) {});
    SysInput input;
    input.KeyDown = [&](std::int16_t vk, std::int16_t shift) { handler.KeyDown(vk, shift, false); };
    input.SetEnabled(true);
    for (bool withWin : {true, false}) {
        std::vector<INPUT> in;
        for (auto [vk, up] : {std::pair{VK_LWIN, false}, {'D', false}, {'D', true}, {VK_LWIN, true}}) {
            if (vk == VK_LWIN && !withWin) continue;
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = static_cast<WORD>(vk);
            i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            in.push_back(i);
        }
        SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    }
    EXPECT_TRUE(PumpUntil([&] { return !shown.empty() && shown.back() == "d"; }, 3000));
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(), [](const std::string& t) { return t.find('d') != t.npos; }), 1)
        << "Win+D was shown as the Windows cap and d";
}

TEST_F(KeyFilterDialogTest, CancelAndTheCloseBoxWriteNothing) {
    store.Text("VK_0x20053", "Ctrl + S");
    const auto before = store.Snapshot();
    for (UINT close : {0u, 1u}) {
        frmKeyFilter dlg(nullptr);
        WhenShown(frmKeyFilter::kCaption, [&] {
            HWND list = dlg.Item(frmKeyFilter::lstKeys);
            SendMessageA(list, LB_SETSEL, TRUE, -1);
            Click(dlg.Item(frmKeyFilter::cmdRemove));
            dlg.AddKeyItem("F9", VK_F9);
            Click(dlg.Item(frmKeyFilter::optIncludeExclude0));
            if (close)
                PostMessageA(dlg.Hwnd(), WM_CLOSE, 0, 0);
            else
                Click(dlg.Item(IDCANCEL));
        });
        dlg.ShowModal();
        EXPECT_FALSE(IsWindowVisible(dlg.Hwnd()));
        EXPECT_EQ(store.Snapshot(), before) << (close ? "close box" : "Cancel");
    }
}

TEST_F(KeyFilterDialogTest, SpecialKeysForTabWithAllFiveBoxesAddSixteenEntriesInOrder) {
    frmKeyFilter dlg(nullptr);
    WhenShown(frmKeyFilter::kCaption, [&] {
        WhenShown(frmSpecialKey::kCaption, [] {
            HWND special = FindWindowA("#32770", frmSpecialKey::kCaption);
            HWND combo = GetDlgItem(special, frmSpecialKey::cboKey);
            EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 10);
            EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(special, IDOK)));
            SendMessageA(combo, CB_SETCURSEL, 4, 0);  // Tab
            SendMessageA(special, WM_COMMAND, MAKEWPARAM(frmSpecialKey::cboKey, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(combo));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(special, IDOK))) << "no modifier box checked yet";
            for (int i = 0; i < 5; ++i) Click(GetDlgItem(special, frmSpecialKey::chkModifier0 + i));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(special, IDOK)));
            Click(GetDlgItem(special, IDOK));
        });
        Click(dlg.Item(frmKeyFilter::cmdSpecialKeys));
        const auto texts = ListTexts(dlg.Item(frmKeyFilter::lstKeys));
        ASSERT_EQ(texts.size(), 16u);
        EXPECT_EQ(texts[0], "Shift + Tab");
        EXPECT_EQ(texts[14], "Shift + Ctrl + Alt + Win + Tab");
        EXPECT_EQ(texts[15], "Tab");
        EXPECT_EQ(SendMessageA(dlg.Item(frmKeyFilter::lstKeys), LB_GETITEMDATA, 15, 0), 9);

        // Cancel in the special key dialog adds nothing.
        WhenShown(frmSpecialKey::kCaption, [] {
            HWND special = FindWindowA("#32770", frmSpecialKey::kCaption);
            HWND combo = GetDlgItem(special, frmSpecialKey::cboKey);
            SendMessageA(combo, CB_SETCURSEL, 0, 0);
            Click(GetDlgItem(special, frmSpecialKey::chkModifier0));
            Click(GetDlgItem(special, IDCANCEL));
        });
        Click(dlg.Item(frmKeyFilter::cmdSpecialKeys));
        EXPECT_EQ(ListTexts(dlg.Item(frmKeyFilter::lstKeys)).size(), 16u);
        Click(dlg.Item(IDOK));
    });
    dlg.ShowModal();
    EXPECT_EQ(store.ReadText("VK_0x9"), "Tab");
    EXPECT_EQ(store.ReadText("VK_0xF0009"), "Shift + Ctrl + Alt + Win + Tab");
}

}  // namespace
}  // namespace spotlex
