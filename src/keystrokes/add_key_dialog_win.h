#pragma once
// frmSpecialKey ("Add Special Key"): picks one key the hot-key box cannot take and any set of
// modifiers, and hands back a filter entry for every combination of them.
#include <windows.h>

#include <optional>
#include <vector>

#include "core/dialog_win.h"
#include "keystrokes/key_filter_entries.h"

namespace spotlex {

class frmSpecialKey : public ModalDialog {
public:
    enum ItemId : int { cboKey = 101, chkModifier0 = 110 };  // chkModifier0 + index, index 0 to 4
    static constexpr const char* kCaption = "Add Special Key";

    // Form_Load: centred, the ten keys listed, nothing chosen.
    explicit frmSpecialKey(HWND owner);

    // True until OK is pressed.
    bool Cancelled() const noexcept { return cancelled_; }
    // The entries for the chosen key and boxes; nothing when no key is chosen.
    std::optional<std::vector<FilterEntry>> SpecialKeys() const;

protected:
    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void UpdateOKButton();
    int CheckedMask() const;

    bool cancelled_ = true;
};

}  // namespace spotlex
