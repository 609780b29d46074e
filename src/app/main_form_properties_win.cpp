// frmMain's Properties command: the dialog, zoomed out of the tray, and the new values handed to
// the live displays after OK.
#include <memory>

#include "app/main_form_detail_win.h"
#include "app/main_form_win.h"
#include "core/animated_rect_win.h"
#include "core/app_error.h"
#include "core/errata_log_win.h"
#include "core/window_helpers_win.h"
#include "cursors/mouse_pointer_win.h"
#include "properties/properties_dialog_win.h"

namespace spotlex {

namespace {
// A display that is gone (the form was unloaded meanwhile) is logged, never a crash.
template <class T>
T& Live(const std::unique_ptr<T>& p) {
    if (!p) throw AppError(91, "", "Object variable or With block variable not set");
    return *p;
}
}  // namespace

void frmMain::mnuProperties_Click() noexcept {
    auto step = [](auto&& f) { LogAndContinue("frmMain", "mnuProperties_Click", f); };
    // No tray click opens anything else, and no key reaches the displays, while the dialog is open.
    ModalScope open(modalDepth_);
    SysInputEnabled(false, Displays::kTakeDown);
    std::unique_ptr<frmProperties> dlg;
    {
        Cursor busy;
        step([&] {
            busy.SetMousePointer(kPointerArrowHourglass);
            DoEvents();
        });
        step([&] { dlg = std::make_unique<frmProperties>(ActiveMenu1.IconLibraryPath()); });
        step([&] {
            if (dlg) AnimatedZoom(TaskbarTrayHwnd(), dlg->Hwnd(), true);
        });
    }
    step([&] {
        if (dlg) dlg->ShowModal();
    });
    if (dlg && !dlg->Cancelled()) {
        // The dialog has written the registry; the displays take the values from it directly.
        step([&] { Live(MouseWindow).SetColor(dlg->SelectedColor(frmProperties::cboColorMouse)); });
        step([&] { Live(MouseWindow).SetSize(dlg->SliderValue(frmProperties::hsbSizeMouse)); });
        step([&] { Live(KeyboardWindow).SetColor(dlg->SelectedColor(frmProperties::cboColorKeyboard)); });
        step([&] { Live(KeyboardWindow).SetDelay(dlg->DelayValue()); });
        step([&] { Live(KeyboardWindow).SetSize(dlg->SliderValue(frmProperties::hsbSizeKeyboard)); });
        step([&] { SetShowShiftedKeys(dlg->Checked(frmProperties::chkShowShifted)); });
    }
    dlg.reset();
    SysInputEnabled(true, Displays::kTakeDown);
}

}  // namespace spotlex
