#include "keystrokes/key_filter_dialog_win.h"

#include <commctrl.h>

#include <memory>

#include "core/classkit_win.h"
#include "core/errata_log_win.h"
#include "core/window_helpers_win.h"
#include "cursors/mouse_pointer_win.h"
#include "keystrokes/key_filter_entries.h"
#include "keystrokes/key_naming.h"
#include "keystrokes/add_key_dialog_win.h"

namespace spotlex {

namespace {

constexpr const char* kModule = "frmKeyFilter";

// Largest modifier mask and key code a listed entry can have; other values are never touched.
constexpr int kMaxMask = 15;
constexpr int kMaxKeyCode = 255;

}  // namespace

std::string KeyName(int keyCode, bool extended) {
    LONG scan = static_cast<LONG>(MapVirtualKeyA(static_cast<UINT>(keyCode), MAPVK_VK_TO_VSC));
    if (extended) scan |= 0x100;
    char name[64] = {};
    if (GetKeyNameTextA(scan << 16, name, sizeof name) > 0) return name;
    // A key without a name of its own still needs a text to tell it apart.
    return "Key " + std::to_string(keyCode);
}

frmKeyFilter::frmKeyFilter(HWND owner) {
    DialogTemplate t(kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 262, 222);
    t.Item(
        kStaticAtom,
        "You are probably familiar with several \"shortcut keys\" that save you time in the applications you "
        "use.  You can allow your audience to see the shortcut keys that you use by filling in the controls "
        "below.",
        -1, SS_LEFT, 7, 7, 248, 26);
    t.Item(kButtonAtom, "&Display Only the Keys Listed Below", optIncludeExclude0,
           BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 7, 37, 248, 10);
    t.Item(kButtonAtom, "Display ALL Keys &EXCEPT Those Listed Below", optIncludeExclude0 + 1,
           BS_AUTORADIOBUTTON, 7, 49, 248, 10);
    t.Item(kStaticAtom, "", lblChooseKeyCombination, SS_LEFT | WS_GROUP, 7, 66, 248, 8);
    t.Item(HOTKEY_CLASSA, "", HotKey1, WS_BORDER | WS_TABSTOP | WS_GROUP, 7, 76, 84, 14);
    t.Item(kButtonAtom, "+ &Win", chkWin, BS_AUTOCHECKBOX | WS_TABSTOP, 95, 78, 32, 10);
    t.Item(kButtonAtom, "&Add", cmdAdd, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 129, 76, 50, 14);
    t.Item(kButtonAtom, "Add &Special Key...", cmdSpecialKeys, BS_PUSHBUTTON | WS_TABSTOP, 185, 76, 70, 14);
    t.Item(kStaticAtom, "", lblDisplayTheseWhenPressed, SS_LEFT, 7, 98, 248, 8);
    t.Item(kListBoxAtom, "", lstKeys,
           LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 108,
           192, 88);
    t.Item(kButtonAtom, "&Remove", cmdRemove, BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 205, 108, 50, 14);
    t.Item(kListBoxAtom, "", lstRemoved, LBS_NOINTEGRALHEIGHT, 0, 0, 10, 10, true);
    t.Item(kButtonAtom, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 149, 202, 50, 14);
    t.Item(kButtonAtom, "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 205, 202, 50, 14);
    Create(t, owner);
    // Keys without modifiers are what most filters list.
    SendMessageA(Item(HotKey1), HKM_SETRULES, 0, 0);
    FormLoad();
}

void frmKeyFilter::FormLoad() {
    Cursor busy;
    try {
        busy.SetMousePointer(kPointerArrowHourglass);
        CenterForm(hwnd_);
        HWND list = Item(lstKeys);
        ShowWindow(list, SW_HIDE);
        if (!goCurrentUser) throw AppError(91, "", "Object variable or With block variable not set");
        for (int mask = 0; mask <= kMaxMask; ++mask) {
            for (int key = 0; key <= kMaxKeyCode; ++key) {
                const std::int32_t code = MakeLong(mask, key);
                const std::string text = RegValueText(goCurrentUser->Value(FilterValueName(code)));
                if (!text.empty()) AddKeyItem(text, code);
            }
        }
        const int mode = GetSetting(settings::kKeyIncludeExclude);
        CheckRadioButton(hwnd_, optIncludeExclude0, optIncludeExclude0 + 1, optIncludeExclude0 + mode);
        optIncludeExclude_Click(mode);
        ShowWindow(list, SW_SHOW);
    } catch (...) {
        LogCurrentException(kModule, "Form_Load");
        ShowWindow(Item(lstKeys), SW_SHOW);
    }
}

std::string frmKeyFilter::HotKeyText() const {
    const auto value = SendMessageA(Item(HotKey1), HKM_GETHOTKEY, 0, 0);
    const int vk = LOBYTE(LOWORD(value));
    const int flags = HIBYTE(LOWORD(value));
    if (vk == 0) return std::string(kHotKeyNone);
    return spotlex::HotKeyText(HotKeyFlagsToMask(flags) | WinMask(), KeyName(vk, (flags & HOTKEYF_EXT) != 0));
}

int frmKeyFilter::WinMask() const {
    return IsDlgButtonChecked(hwnd_, chkWin) == BST_CHECKED ? kModWin : 0;
}

std::int32_t frmKeyFilter::HotKeyValue() const {
    const auto value = SendMessageA(Item(HotKey1), HKM_GETHOTKEY, 0, 0);
    const int vk = LOBYTE(LOWORD(value));
    if (vk == 0) return 0;
    return MakeLong(HotKeyFlagsToMask(HIBYTE(LOWORD(value))) | WinMask(), vk);
}

void frmKeyFilter::SetHotKeyValue(std::int32_t code) {
    const int mask = (code >> 16) & 0xFFFF;
    SendMessageA(Item(HotKey1), HKM_SETHOTKEY, MAKEWORD(code & 0xFF, MaskToHotKeyFlags(mask)), 0);
    CheckDlgButton(hwnd_, chkWin, (mask & kModWin) ? BST_CHECKED : BST_UNCHECKED);
}

void frmKeyFilter::SelectOnly(int index) {
    HWND list = Item(lstKeys);
    SendMessageA(list, LB_SETSEL, FALSE, -1);
    if (index < 0) return;
    SendMessageA(list, LB_SETSEL, TRUE, index);
    SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
}

void frmKeyFilter::FocusControl(int id) {
    if (IsWindowVisible(hwnd_)) SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void frmKeyFilter::AddKeyItem(const std::string& keyName, std::int32_t code) {
    auto step = [](auto&& f) { LogAndContinue(kModule, "AddKeyItem", f); };
    HWND list = Item(lstKeys);
    step([&] {
        const auto found = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(keyName.c_str()));
        if (found != LB_ERR) {
            SelectOnly(static_cast<int>(found));
        } else {
            const auto at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(keyName.c_str()));
            if (at < 0) throw AppError(7, "", "Out of memory");
            SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), code);
            SelectOnly(static_cast<int>(at));
        }
    });
    // The entry is selected directly: a key press sent to select it could reach another program.
    step([&] { UpdateRemoveButton(); });
    step([&] {
        SetHotKeyValue(0);
        HotKey1_KeyUp();
        FocusControl(HotKey1);
    });
}

void frmKeyFilter::HotKey1_KeyUp() {
    EnableWindow(Item(cmdAdd), HotKeyText() != kHotKeyNone);
}

void frmKeyFilter::UpdateRemoveButton() {
    HWND list = Item(lstKeys);
    const bool any =
        SendMessageA(list, LB_GETCOUNT, 0, 0) > 0 && SendMessageA(list, LB_GETSELCOUNT, 0, 0) > 0;
    EnableWindow(Item(cmdRemove), any);
}

void frmKeyFilter::cmdSpecialKeys_Click() {
    try {
        std::optional<std::vector<FilterEntry>> keys;
        {
            frmSpecialKey special(hwnd_);
            special.ShowModal();
            if (!special.Cancelled()) keys = special.SpecialKeys();
        }
        if (!keys) return;
        HWND list = Item(lstKeys);
        ShowWindow(list, SW_HIDE);
        for (const FilterEntry& e : *keys) AddKeyItem(e.text, e.code);
        ShowWindow(list, SW_SHOW);
        FocusControl(cmdSpecialKeys);
    } catch (...) {
        LogCurrentException(kModule, "cmdSpecialKeys_Click");
        ShowWindow(Item(lstKeys), SW_SHOW);
    }
}

void frmKeyFilter::cmdRemove_Click() {
    try {
        HWND list = Item(lstKeys);
        HWND removed = Item(lstRemoved);
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        int first = -1;
        char text[512];
        for (int i = 0; i < count; ++i) {
            if (SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) <= 0) continue;
            if (first < 0) first = i;
            if (SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) >=
                static_cast<LRESULT>(sizeof text))
                continue;
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            const auto at = SendMessageA(removed, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
            SendMessageA(removed, LB_SETITEMDATA, static_cast<WPARAM>(at),
                         SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        }
        for (int i = count - 1; i >= 0; --i)
            if (SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
                SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
        const int left = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        if (first >= left) first = left - 1;
        SelectOnly(first);
        UpdateRemoveButton();
        FocusControl(IsWindowEnabled(Item(cmdRemove)) ? cmdRemove : HotKey1);
    } catch (...) {
        LogCurrentException(kModule, "cmdRemove_Click");
    }
}

void frmKeyFilter::optIncludeExclude_Click(int index) {
    SetDlgItemTextA(
        hwnd_, lblChooseKeyCombination,
        index == 0 ? "&Choose Key Combination To Include:" : "&Choose Key Combination To Exclude:");
    SetDlgItemTextA(hwnd_, lblDisplayTheseWhenPressed,
                    index == 0 ? "&Display These Key Combinations When Pressed:"
                               : "&Don't Display These Key Combinations When Pressed:");
}

void frmKeyFilter::cmdOK_Click() {
    Hide();
    try {
        if (!goCurrentUser) throw AppError(91, "", "Object variable or With block variable not set");
        HWND removed = Item(lstRemoved);
        const int gone = static_cast<int>(SendMessageA(removed, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < gone; ++i) {
            const auto code =
                static_cast<std::int32_t>(SendMessageA(removed, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
            goCurrentUser->DeleteValue(FilterValueName(code));
        }
        // Written after the deletions, so an entry removed and added again stays stored.
        HWND list = Item(lstKeys);
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            const auto code =
                static_cast<std::int32_t>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
            std::string text(
                static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0)) + 1, '\0');
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
            text.resize(text.size() - 1);
            goCurrentUser->SetValue(FilterValueName(code), rgsString, text);
        }
        SaveSetting(settings::kKeyIncludeExclude,
                    IsDlgButtonChecked(hwnd_, optIncludeExclude0 + 1) == BST_CHECKED ? 1 : 0);
    } catch (...) {
        LogCurrentException(kModule, "cmdOK_Click");
    }
}

INT_PTR frmKeyFilter::Handle(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            const int code = HIWORD(wp);
            switch (id) {
                case HotKey1:
                    if (code == EN_CHANGE) HotKey1_KeyUp();
                    break;
                case cmdAdd:
                    if (code == BN_CLICKED && IsWindowEnabled(Item(cmdAdd)))
                        AddKeyItem(HotKeyText(), HotKeyValue());
                    break;
                case cmdSpecialKeys:
                    if (code == BN_CLICKED) cmdSpecialKeys_Click();
                    break;
                case lstKeys:
                    if (code == LBN_SELCHANGE) UpdateRemoveButton();
                    break;
                case cmdRemove:
                    if (code == BN_CLICKED) cmdRemove_Click();
                    break;
                case optIncludeExclude0:
                case optIncludeExclude0 + 1:
                    if (code == BN_CLICKED) optIncludeExclude_Click(id - optIncludeExclude0);
                    break;
                case IDOK:
                    if (code == BN_CLICKED) cmdOK_Click();
                    break;
                case IDCANCEL:
                    Hide();
                    break;
                default:
                    return FALSE;
            }
            return TRUE;
        }
        case WM_CLOSE:
            Hide();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace spotlex
