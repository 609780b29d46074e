// frmMain's Properties command: the dialog, zoomed out of the tray, and the settings it returns
// handed to the live displays.
#include <memory>

#include "app/main_form_detail_win.h"
#include "app/main_form_win.h"
#include "core/animated_rect_win.h"
#include "core/classkit_win.h"
#include "core/errata_log_win.h"
#include "core/sound_win.h"
#include "core/window_helpers_win.h"
#include "cursors/mouse_pointer_win.h"
#include "properties/properties_dialog_win.h"

namespace spotlex {

void frmMain::ApplySettings(const SpotlexSettings& s, const char* procedure) noexcept {
    auto step = [procedure](auto&& f) { LogAndContinue("frmMain", procedure, f); };
    step([&] { gbPlaySounds = s.sound.play; });
    step([&] { showShiftedKeys_ = s.keys.showShifted; });
    step([&] {
        Need(KeyboardWindow).SetColor(s.keys.color);
        Need(KeyboardWindow).SetDelay(s.keys.delayMs);
        Need(KeyboardWindow).SetSize(s.keys.size);
        Need(KeyboardWindow).SetFollowPointer(s.keys.followPointer);
    });
    step([&] {
        Need(MouseWindow).SetColor(s.burst.leftColor);
        Need(MouseWindow).SetSize(s.burst.size);
    });
    step([&] {
        wheelColor_ = static_cast<COLORREF>(s.burst.rightColor);
        wheelSize_ = s.burst.size;
        SysInput1.SetWheel(s.burst.showWheel);
    });
    ApplyPauseSettings(s.pause);
    // The clock is not among them: the tray menu closes it before anything opens, and the clock's
    // own Properties command rereads what was stored once the dialog is closed.
}

void frmMain::mnuProperties_Click() noexcept {
    auto step = [](auto&& f) { LogAndContinue("frmMain", "mnuProperties_Click", f); };
    // No tray click opens anything else, and no key reaches the displays, while the dialog is open.
    ModalScope open;
    SysInputEnabled(false, Displays::kTakeDown);
    std::unique_ptr<frmProperties> dlg;
    {
        Cursor busy;
        step([&] {
            busy.SetMousePointer(kPointerArrowHourglass);
            DoEvents();
        });
        step([&] { dlg = std::make_unique<frmProperties>(LoadSettings(), ActiveMenu1.IconLibraryPath()); });
        step([&] {
            if (dlg) AnimatedZoom(TaskbarTrayHwnd(), dlg->Hwnd(), true);
        });
    }
    step([&] {
        if (dlg) dlg->ShowModal();
    });
    if (dlg && dlg->Result()) ApplySettings(*dlg->Result(), "mnuProperties_Click");
    dlg.reset();
    SysInputEnabled(true, Displays::kTakeDown);
}

}  // namespace spotlex
