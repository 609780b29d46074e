#include "app/about_box_win.h"

#include <string>
#include <vector>

#include "app/about_text.h"
#include "app/spotlex_mark_win.h"
#include "app/ui_font_win.h"
#include "core/errata_log_win.h"
#include "core/os_info_win.h"
#include "core/sound_win.h"
#include "core/unique_handle_win.h"
#include "core/window_helpers_win.h"

namespace spotlex {

namespace {

// An in-memory dialog template: the program's resources are not at hand in every module that
// shows the box, so it is built here.
class DialogTemplate {
public:
    DialogTemplate(const char* caption, DWORD style, short cx, short cy) {
        Dword(style | DS_SETFONT);
        Dword(0);
        countAt_ = data_.size();
        Word(0);  // items, counted as they are added
        Word(0);  // x and y: centred on load
        Word(0);
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(0);  // no menu
        Word(0);  // standard dialog class
        Text(caption);
        Word(8);
        Text("MS Shell Dlg");
    }

    void Item(WORD classAtom, const char* text, WORD id, DWORD style, short x, short y, short cx, short cy) {
        if (data_.size() % 2) Word(0);  // items start on a DWORD
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);  // no creation data
        ++data_[countAt_];
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

private:
    void Word(WORD w) { data_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const char* s) {
        const int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
        std::vector<wchar_t> w(static_cast<size_t>(n > 0 ? n : 1));
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
        for (wchar_t c : w) Word(static_cast<WORD>(c));
        if (n <= 0) Word(0);
    }

    std::vector<WORD> data_;
    size_t countAt_ = 0;
};

constexpr WORD kButton = 0x0080;
constexpr WORD kStatic = 0x0082;

struct AboutState {
    const VersionStrings* version;
    UniqueFont nameFont;
};

INT_PTR CALLBACK AboutProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    switch (msg) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<AboutState*>(lp);
            SetWindowLongPtrA(dlg, DWLP_USER, lp);
            try {
                state->nameFont = MakeUiFont(26, FW_BOLD);
                SendDlgItemMessageA(dlg, kAboutName, WM_SETFONT,
                                    reinterpret_cast<WPARAM>(state->nameFont.get()), FALSE);
                SetDlgItemTextA(dlg, kAboutVersion, ("Version " + state->version->version).c_str());
                SetDlgItemTextA(dlg, kAboutComments, state->version->comments.c_str());
                SetDlgItemTextA(dlg, kAboutSystem, AboutSystemSummary(COSInfo().Facts()).c_str());
            } catch (...) {
                LogCurrentException("frmAbout", "Form_Load");
            }
            CenterForm(dlg);
            PlayFX("CKAbout", false);
            return TRUE;
        }
        case WM_DRAWITEM: {
            const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (di->CtlID != kAboutPicture) break;
            FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
            const int w = di->rcItem.right - di->rcItem.left;
            const int h = di->rcItem.bottom - di->rcItem.top;
            const int size = w < h ? w : h;
            DrawSpotlexMark(di->hDC, di->rcItem.left + (w - size) / 2, di->rcItem.top + (h - size) / 2, size);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
                EndDialog(dlg, LOWORD(wp));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

}  // namespace

void ShowAboutBox(HWND owner, const VersionStrings& version) {
    DialogTemplate t(kAboutCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 250, 150);
    t.Item(kStatic, "", kAboutPicture, SS_OWNERDRAW, 10, 10, 48, 48);
    t.Item(kStatic, "Spotlex", kAboutName, SS_LEFT | SS_NOPREFIX, 68, 10, 172, 20);
    t.Item(kStatic, "", kAboutVersion, SS_LEFT | SS_NOPREFIX, 68, 32, 172, 9);
    t.Item(kStatic, "", kAboutComments, SS_LEFT | SS_NOPREFIX, 68, 44, 172, 18);
    t.Item(kStatic, "", 0xFFFF, SS_ETCHEDHORZ, 10, 68, 230, 1);
    t.Item(kStatic, "", kAboutSystem, SS_LEFT | SS_NOPREFIX, 10, 76, 230, 40);
    t.Item(kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 190, 126, 50, 14);

    AboutState state{&version, {}};
    DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner, &AboutProc,
                            reinterpret_cast<LPARAM>(&state));
}

}  // namespace spotlex
