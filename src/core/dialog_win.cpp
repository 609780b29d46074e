#include "core/dialog_win.h"

#include <commctrl.h>

#include "core/app_error.h"
#include "core/errata_log_win.h"
#include "core/registry_watch_win.h"

namespace spotlex {

DialogTemplate::DialogTemplate(const char* caption, DWORD style, short cx, short cy) {
    Word(1);       // dlgVer
    Word(0xFFFF);  // extended template
    Dword(0);      // help id
    Dword(0);      // extended style
    Dword(style | DS_SHELLFONT);
    countAt_ = data_.size();
    Word(0);  // items, counted as they are added
    Word(0);  // x and y: the dialog centres itself
    Word(0);
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(0);  // no menu
    Word(0);  // standard dialog class
    Text(caption);
    Word(8);                                 // points
    Word(FW_NORMAL);                         // weight
    Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, charset
    Text("MS Shell Dlg 2");
}

void DialogTemplate::Header(DWORD style, int id, short x, short y, short cx, short cy, bool hidden) {
    if (data_.size() % 2) Word(0);  // items start on a DWORD
    Dword(0);                       // help id
    Dword(0);                       // extended style
    Dword(style | WS_CHILD | (hidden ? 0 : WS_VISIBLE));
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Dword(static_cast<DWORD>(id));
    ++data_[countAt_];
}

void DialogTemplate::Item(WORD classAtom, const char* text, int id, DWORD style, short x, short y, short cx,
                          short cy, bool hidden) {
    Header(style, id, x, y, cx, cy, hidden);
    Word(0xFFFF);
    Word(classAtom);
    Text(text);
    Word(0);  // no creation data
}

void DialogTemplate::Item(const char* className, const char* text, int id, DWORD style, short x, short y,
                          short cx, short cy, bool hidden) {
    Header(style, id, x, y, cx, cy, hidden);
    Text(className);
    Text(text);
    Word(0);
}

void DialogTemplate::Text(const char* s) {
    const int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    std::vector<wchar_t> w(static_cast<size_t>(n > 0 ? n : 1));
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
    for (wchar_t c : w) Word(static_cast<WORD>(c));
    if (n <= 0) Word(0);
}

ModalDialog::~ModalDialog() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, DWLP_USER, 0);
        DestroyWindow(hwnd_);
    }
}

void ModalDialog::Create(const DialogTemplate& t, HWND owner) {
    // The hot-key, trackbar, up-down and tooltip controls that the dialogs use.
    static const bool registered = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS | ICC_BAR_CLASSES |
                                                 ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)registered;
    CreateDialogIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner, &ModalDialog::Proc,
                               reinterpret_cast<LPARAM>(this));
    if (!hwnd_)
        throw AppError(static_cast<std::int32_t>(GetLastError()), "ModalDialog",
                       "The dialog could not be created.");
}

void ModalDialog::ShowModal() {
    if (!hwnd_) return;
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    if (owner) EnableWindow(owner, FALSE);
    showing_ = true;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (HWND first = InitialFocus())
        SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    RunModalLoop(
        hwnd_, [this] { return showing_ && hwnd_; },
        [this](const MSG& msg) {
            if (msg.message != WM_KEYDOWN || msg.wParam != VK_F1 ||
                (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)))
                return false;
            // The control that has the focus, or its owning control (an edit inside a combo box).
            HWND control = msg.hwnd == hwnd_ ? nullptr : msg.hwnd;
            while (control && GetParent(control) != hwnd_) control = GetParent(control);
            OnHelpKey(control);
            return true;
        });
    showing_ = false;
    if (owner) EnableWindow(owner, TRUE);
}

bool RunModalLoop(HWND box, const std::function<bool()>& open,
                  const std::function<bool(const MSG&)>& preview) {
    ModalScope counted;
    MSG msg;
    while (open()) {
        const BOOL got = GetMessageWatching(&msg);
        if (got <= 0) {
            // The program is ending: the main loop still has to see the quit.
            PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);
            return false;
        }
        if (preview(msg)) continue;
        if (!IsDialogMessageA(box, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return true;
}

void ModalDialog::Hide() noexcept {
    if (!hwnd_) return;
    // The owner comes back first, so activation returns to it and not to another program.
    if (showing_) {
        HWND owner = GetWindow(hwnd_, GW_OWNER);
        if (owner) EnableWindow(owner, TRUE);
    }
    showing_ = false;
    ShowWindow(hwnd_, SW_HIDE);
}

INT_PTR CALLBACK ModalDialog::Proc(HWND h, UINT m, WPARAM w, LPARAM l) noexcept {
    ModalDialog* self = nullptr;
    if (m == WM_INITDIALOG) {
        self = reinterpret_cast<ModalDialog*>(l);
        self->hwnd_ = h;
        SetWindowLongPtrA(h, DWLP_USER, l);
    } else {
        self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(h, DWLP_USER));
    }
    if (!self) return FALSE;
    INT_PTR r = FALSE;
    try {
        r = self->Handle(m, w, l);
    } catch (...) {
        // Each dialog logs its own procedures; what reaches here had no handler of its own.
        LogCurrentException("ModalDialog", "DialogProc");
    }
    if (m == WM_NCDESTROY) {
        self->hwnd_ = nullptr;
        self->showing_ = false;
    }
    return r;
}

std::string WindowText(HWND hwnd) {
    const int n = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
    const int got = GetWindowTextA(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

}  // namespace spotlex
