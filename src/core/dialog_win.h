#pragma once
// Dialogs of the program: in-memory templates in the shell's message font (so they scale with the
// display and look native), and a modal dialog whose opener reads it after it is hidden.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace spotlex {

// Class atoms of the standard controls, for DialogTemplate::Item.
inline constexpr WORD kButtonAtom = 0x0080;
inline constexpr WORD kEditAtom = 0x0081;
inline constexpr WORD kStaticAtom = 0x0082;
inline constexpr WORD kListBoxAtom = 0x0083;
inline constexpr WORD kComboBoxAtom = 0x0085;

// An extended dialog template with DS_SHELLFONT ("MS Shell Dlg 2", 8 points); sizes in dialog units.
class DialogTemplate {
public:
    DialogTemplate(const char* caption, DWORD style, short cx, short cy);

    // A child control, visible unless `hidden`; WS_CHILD is added.
    void Item(WORD classAtom, const char* text, int id, DWORD style, short x, short y, short cx, short cy,
              bool hidden = false);
    // A child control of a registered class such as the common controls' "msctls_hotkey32".
    void Item(const char* className, const char* text, int id, DWORD style, short x, short y, short cx,
              short cy, bool hidden = false);

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

private:
    void Header(DWORD style, int id, short x, short y, short cx, short cy, bool hidden);
    void Word(WORD w) { data_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const char* s);

    std::vector<WORD> data_;
    size_t countAt_ = 0;
};

// Counts what the program has open modally: a box, a menu, a drag. The tray opens nothing more
// while any is open. Used on the user-interface thread only.
class ModalScope {
public:
    ModalScope() noexcept { ++depth_; }
    ~ModalScope() { --depth_; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    static bool AnyOpen() noexcept { return depth_ > 0; }

private:
    static inline int depth_ = 0;
};

// The program's one modal loop, counted as a ModalScope: runs while `open()` holds, gives `preview`
// each message first (true: handled there) and `box` its dialog keys. A WM_QUIT ends it and is
// posted again for the main loop; false then.
bool RunModalLoop(HWND box, const std::function<bool()>& open,
                  const std::function<bool(const MSG&)>& preview);

// A dialog that is created hidden, shown modally by its opener, and hidden (not destroyed) by its
// own OK or Cancel, so that the opener can read its controls; destroying the object unloads it.
class ModalDialog {
public:
    ModalDialog() = default;
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog();

    HWND Hwnd() const noexcept { return hwnd_; }
    HWND Item(int id) const noexcept { return GetDlgItem(hwnd_, id); }

    // Shows the dialog and returns once it is hidden or gone; its owner is disabled meanwhile.
    void ShowModal();
    void Hide() noexcept;

protected:
    // Creates the dialog, hidden; WM_INITDIALOG reaches Handle like every other message.
    void Create(const DialogTemplate& t, HWND owner);
    // Return TRUE for a message handled, as a dialog procedure does.
    virtual INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) = 0;
    // The control that has the focus when the dialog is shown; null leaves the dialog's choice.
    virtual HWND InitialFocus() const { return nullptr; }
    // F1 in one of the dialog's controls (or the dialog itself when `control` is null).
    virtual void OnHelpKey(HWND /*control*/) {}

    // Hands a value's change notifications to nobody while the dialog sets it itself.
    bool loading_ = false;
    HWND hwnd_ = nullptr;

private:
    static INT_PTR CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept;

    bool showing_ = false;
};

// Text of a window or control.
std::string WindowText(HWND hwnd);

}  // namespace spotlex
