#include "keystrokes/add_key_dialog_win.h"

#include "core/errata_log_win.h"
#include "core/window_helpers_win.h"

namespace spotlex {

namespace {
constexpr const char* kModule = "frmSpecialKey";
}

frmSpecialKey::frmSpecialKey(HWND owner) {
    DialogTemplate t(kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 206, 140);
    t.Item(
        kStaticAtom,
        "You can add special non-printable key combinations to the list of keys by using the controls below.",
        -1, SS_LEFT, 7, 7, 192, 18);
    t.Item(kStaticAtom, "&Key:", -1, SS_LEFT, 7, 32, 96, 8);
    t.Item(kComboBoxAtom, "", cboKey, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 7, 42, 96, 120);
    t.Item(kStaticAtom, "&Modifiers:", -1, SS_LEFT, 113, 32, 86, 8);
    t.Item(kButtonAtom, "", -1, BS_GROUPBOX, 113, 40, 86, 75);
    for (int i = 0; i < static_cast<int>(kModifierBoxes.size()); ++i) {
        t.Item(kButtonAtom, kModifierBoxes[static_cast<size_t>(i)].caption, chkModifier0 + i,
               BS_AUTOCHECKBOX | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), 121, static_cast<short>(50 + 12 * i),
               72, 10);
    }
    t.Item(kButtonAtom, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP | WS_DISABLED, 95, 120, 50, 14);
    t.Item(kButtonAtom, "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 149, 120, 50, 14);
    Create(t, owner);
    CenterForm(hwnd_);
    HWND combo = Item(cboKey);
    for (const SpecialKey& key : kSpecialKeys) {
        const auto at = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key.text));
        SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), key.keyCode);
    }
}

int frmSpecialKey::CheckedMask() const {
    int mask = 0;
    for (int i = 0; i < static_cast<int>(kModifierBoxes.size()); ++i)
        if (IsDlgButtonChecked(hwnd_, chkModifier0 + i) == BST_CHECKED)
            mask |= kModifierBoxes[static_cast<size_t>(i)].mask;
    return mask;
}

void frmSpecialKey::UpdateOKButton() {
    const bool keyChosen = SendMessageA(Item(cboKey), CB_GETCURSEL, 0, 0) != CB_ERR;
    EnableWindow(Item(IDOK), keyChosen && CheckedMask() != 0);
}

std::optional<std::vector<FilterEntry>> frmSpecialKey::SpecialKeys() const {
    try {
        const auto at = SendMessageA(Item(cboKey), CB_GETCURSEL, 0, 0);
        if (at == CB_ERR || at < 0 || at >= static_cast<LRESULT>(kSpecialKeys.size())) return std::nullopt;
        return SpecialKeyEntries(kSpecialKeys[static_cast<size_t>(at)], CheckedMask());
    } catch (...) {
        LogCurrentException(kModule, "SpecialKeys");
        return std::nullopt;
    }
}

INT_PTR frmSpecialKey::Handle(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            const int code = HIWORD(wp);
            if (id == cboKey && code == CBN_SELCHANGE) {
                UpdateOKButton();
            } else if (id >= chkModifier0 && id < chkModifier0 + static_cast<int>(kModifierBoxes.size()) &&
                       code == BN_CLICKED) {
                UpdateOKButton();
            } else if (id == IDOK && code == BN_CLICKED) {
                // Enter reaches here too; only a complete choice counts.
                if (!IsWindowEnabled(Item(IDOK))) return TRUE;
                cancelled_ = false;
                Hide();
            } else if (id == IDCANCEL) {
                cancelled_ = true;
                Hide();
            }
            return TRUE;
        }
        case WM_CLOSE:
            cancelled_ = true;
            Hide();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace spotlex
