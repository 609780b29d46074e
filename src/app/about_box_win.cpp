#include "app/about_box_win.h"

#include <string>

#include "app/about_text.h"
#include "app/spotlex_mark_win.h"
#include "app/ui_font_win.h"
#include "core/dialog_win.h"
#include "core/errata_log_win.h"
#include "core/os_info_win.h"
#include "core/sound_win.h"
#include "core/unique_handle_win.h"
#include "core/window_helpers_win.h"

namespace spotlex {

namespace {

constexpr WORD kButton = kButtonAtom;
constexpr WORD kStatic = kStaticAtom;

class frmAbout : public ModalDialog {
public:
    frmAbout(HWND owner, const VersionStrings& version) : version_(version) {
        DialogTemplate t(kAboutCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 250, 150);
        t.Item(kStatic, "", kAboutPicture, SS_OWNERDRAW, 10, 10, 48, 48);
        t.Item(kStatic, "Spotlex", kAboutName, SS_LEFT | SS_NOPREFIX, 68, 10, 172, 20);
        t.Item(kStatic, "", kAboutVersion, SS_LEFT | SS_NOPREFIX, 68, 32, 172, 9);
        t.Item(kStatic, "", kAboutComments, SS_LEFT | SS_NOPREFIX, 68, 44, 172, 18);
        t.Item(kStatic, "", 0xFFFF, SS_ETCHEDHORZ, 10, 68, 230, 1);
        t.Item(kStatic, "", kAboutSystem, SS_LEFT | SS_NOPREFIX, 10, 76, 230, 40);
        t.Item(kButton, "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 190, 126, 50, 14);
        Create(t, owner);
    }

protected:
    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_INITDIALOG:
                LogAndContinue("frmAbout", "Form_Load", [&] {
                    nameFont_ = MakeUiFont(26, FW_BOLD);
                    SendDlgItemMessageA(hwnd_, kAboutName, WM_SETFONT,
                                        reinterpret_cast<WPARAM>(nameFont_.get()), FALSE);
                    SetDlgItemTextA(hwnd_, kAboutVersion, ("Version " + version_.version).c_str());
                    SetDlgItemTextA(hwnd_, kAboutComments, version_.comments.c_str());
                    SetDlgItemTextA(hwnd_, kAboutSystem, AboutSystemSummary(COSInfo().Facts()).c_str());
                });
                CenterForm(hwnd_);
                PlayFX("CKAbout", false);
                return TRUE;
            case WM_DRAWITEM: {
                const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
                if (di->CtlID != kAboutPicture) return FALSE;
                FillRect(di->hDC, &di->rcItem, GetSysColorBrush(COLOR_BTNFACE));
                const int w = di->rcItem.right - di->rcItem.left;
                const int h = di->rcItem.bottom - di->rcItem.top;
                const int size = w < h ? w : h;
                DrawSpotlexMark(di->hDC, di->rcItem.left + (w - size) / 2, di->rcItem.top + (h - size) / 2,
                                size);
                return TRUE;
            }
            case WM_COMMAND:
                if (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL) return FALSE;
                Hide();
                return TRUE;
            default:
                return FALSE;
        }
    }

private:
    const VersionStrings& version_;
    UniqueFont nameFont_;
};

}  // namespace

void ShowAboutBox(HWND owner, const VersionStrings& version) {
    frmAbout box(owner, version);
    box.ShowModal();
}

}  // namespace spotlex
