#pragma once
// frmKeyFilter ("Key Filter"): edits the list of key combinations and the include/exclude mode
// that the keystroke filter reads. Works on a copy in its lists; only OK writes the settings.
#include <windows.h>

#include <cstdint>
#include <string>

#include "core/dialog_win.h"

namespace spotlex {

class frmKeyFilter : public ModalDialog {
public:
    enum ItemId : int {
        optIncludeExclude0 = 101,  // + index 0 or 1
        lblChooseKeyCombination = 103,
        HotKey1,
        cmdAdd,
        cmdSpecialKeys,
        lblDisplayTheseWhenPressed,
        lstKeys,
        cmdRemove,
        lstRemoved,
        chkWin,  // the Windows key, which the hot-key box cannot take, joins its combination
    };
    static constexpr const char* kCaption = "Key Filter";

    // Form_Load: the stored entries in order of modifier mask, then key code, and the stored mode.
    explicit frmKeyFilter(HWND owner);

    // Adds an entry, or selects the one already listed with that text (any letter case).
    void AddKeyItem(const std::string& keyName, std::int32_t code);

    // The hot-key box with the Win box: its text ("None" when empty) and its combination as a key
    // combination code.
    std::string HotKeyText() const;
    std::int32_t HotKeyValue() const;
    void SetHotKeyValue(std::int32_t code);

protected:
    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;
    HWND InitialFocus() const override { return Item(HotKey1); }

private:
    void FormLoad();
    void HotKey1_KeyUp();
    void cmdSpecialKeys_Click();
    void cmdRemove_Click();
    void optIncludeExclude_Click(int index);
    void cmdOK_Click();
    void UpdateRemoveButton();
    void SelectOnly(int index);
    void FocusControl(int id);
    int WinMask() const;
};

// The keyboard's own name of a key ("P", "F9", "Num Lock"); "Key " and its code for one without.
std::string KeyName(int keyCode, bool extended);

}  // namespace spotlex
