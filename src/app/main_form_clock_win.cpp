// frmMain's break-clock commands: opening and closing the clock, its menu, and the tray's
// double-click that toggles it.
#include "app/main_form_detail_win.h"
#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/errata_log_win.h"
#include "core/window_helpers_win.h"

namespace spotlex {
namespace {

constexpr const char* kModule = "frmMain";

}  // namespace

void frmMain::TrayIcon1_DblClick() noexcept {
    // A menu, a box or a drag of ours is open: the clock is not pulled from under it.
    if (ModalScope::AnyOpen()) return;
    auto step = [](auto&& f) { LogAndContinue(kModule, "TrayIcon1_DblClick", f); };
    step([this] { SysInputEnabled(false, Displays::kTakeDown); });
    step([] { WaitForMessages(); });
    mnuViewBreakClock_Click();
    if (goCurrentUser) step([this] { SysInputEnabled(true, Displays::kTakeDown); });
}

void frmMain::mnuViewBreakClock_Click() noexcept {
    // Showing the clock may show the missing-font message, whose loop dispatches tray clicks: none
    // of them may open or close the clock under this one.
    ModalScope busy;
    auto step = [](auto&& f) { LogAndContinue(kModule, "mnuViewBreakClock_Click", f); };
    step([this] { SysInputEnabled(false, Displays::kTakeDown); });
    step([this] {
        if (MouseWindow) MouseWindow->Destroy();
    });
    if (ClockWindow) {
        step([this] { ClockWindow.reset(); });
    } else {
        step([this] {
            ClockWindow = std::make_unique<CClockWindow>();
            frmClock& w = ClockWindow->Window();
            // A drag counts as a modal step: nothing of ours closes the clock while it moves.
            w.InputGate = [this](bool on) {
                if (on) {
                    clockDrag_.reset();
                } else {
                    clockDrag_ = std::make_unique<ModalScope>();
                }
                SysInputEnabled(on, Displays::kKeep);
            };
            w.ContextMenu = [this](POINT at) {
                PostMessageA(hwnd_, kClockMenuMessage, 0, MAKELPARAM(at.x, at.y));
            };
        });
        step([this] { ApplyClockSettings(LoadSettings().clock, ClockTarget::kController); });
        step([this] { Need(ClockWindow).Display(); });
    }
    step([this] { ActiveMenu1.SetChecked(mnuViewBreakClock, ClockWindow != nullptr); });
    step([this] { SysInputEnabled(true, Displays::kTakeDown); });
}

void frmMain::ApplyClockSettings(const SpotlexSettings::Clock& c, ClockTarget target) noexcept {
    LogAndContinue(kModule, "ApplyClockSettings", [&] {
        CClockWindow& clock = Need(ClockWindow);
        clock.SetColor(c.color);
        clock.SetSize(c.size);
        clock.SetShowAsClock(c.showAsClock);
        clock.SetShowSeconds(c.showSeconds);
        clock.SetStartTime(c.startMinutes);
        // The warning belongs to the window alone and takes effect at its next tick.
        clock.SetWindowWarning(c.warningMinutes, c.warningColor);
        if (target == ClockTarget::kController) return;
        clock.SetWindowBackColor(c.color);
        clock.SetWindowFontSize(c.size);
        clock.SetWindowWidth(kClockWidthText);
        clock.SetWindowHeight(kClockHeightText);
        clock.SetWindowShowAsClock(c.showAsClock);
        clock.SetWindowShowSeconds(c.showSeconds);
    });
}

void frmMain::CloseBreakClock() noexcept {
    mnuViewBreakClock_Click();
    ClockWindow.reset();
    ActiveMenu1.SetChecked(mnuViewBreakClock, false);
}

void frmMain::mnuClockHide_Click() noexcept {
    LogAndContinue(kModule, "mnuClockHide_Click", [this] {
        CClockWindow& clock = Need(ClockWindow);
        if (clock.Visible()) {
            clock.Hide();
            ActiveMenu1.SetItemCaption(mnuClockHide, "Show");
        } else {
            clock.Show();
            ActiveMenu1.SetItemCaption(mnuClockHide, "Hide");
        }
    });
}

void frmMain::mnuClockPause_Click() noexcept {
    LogAndContinue(kModule, "mnuClockPause_Click", [this] {
        CClockWindow& clock = Need(ClockWindow);
        clock.SetPaused(!clock.Paused());
        ActiveMenu1.SetChecked(mnuClockPause, clock.Paused());
    });
}

void frmMain::mnuClockRestart_Click() noexcept {
    auto step = [](auto&& f) { LogAndContinue(kModule, "mnuClockRestart_Click", f); };
    bool paused = false;
    step([&] { paused = Need(ClockWindow).Paused(); });
    step([this] { ApplyClockSettings(LoadSettings().clock, ClockTarget::kOnScreen); });
    // A paused clock is restarted at its full time and stays paused.
    step([this] { Need(ClockWindow).SetPaused(false); });
    step([this] { Need(ClockWindow).Display(); });
    step([&] { Need(ClockWindow).SetPaused(paused); });
}

void frmMain::mnuClockProperties_Click() noexcept {
    // Errors are ignored throughout: the clock comes back whatever the dialog did.
    auto step = [](auto&& f) {
        try {
            f();
        } catch (...) {
        }
    };
    if (!ClockWindow || !PropertiesCommand) return;
    CClockWindow& clock = *ClockWindow;
    const bool paused = clock.Paused();
    clock.SetPaused(true);
    clock.Hide();
    step([] { SaveSetting(settings::kLastProperties, 2); });
    step([this] { PropertiesCommand(); });
    // The dialog may have ended the program, and with it the clock. The clock reads what was
    // stored, whoever stored it; a new start time waits for the next start.
    if (!ClockWindow) return;
    step([this] { ApplyClockSettings(LoadSettings().clock, ClockTarget::kOnScreen); });
    clock.SetPaused(false);
    clock.Show();
    clock.SetPaused(paused);
}

void frmMain::OpenClockMenu(POINT at) noexcept {
    if (ModalScope::AnyOpen() || !ClockWindow) return;
    ModalScope open;
    auto step = [](auto&& f) { LogAndContinue(kModule, "OpenClockMenu", f); };
    step([this] { SysInputEnabled(false, Displays::kTakeDown); });
    // The items follow the clock as it is now: "hide" and "show" may have come from elsewhere.
    step([this] {
        ActiveMenu1.SetItemCaption(mnuClockHide, ClockWindow->Visible() ? "Hide" : "Show");
        ActiveMenu1.SetChecked(mnuClockPause, ClockWindow->Paused());
        ActiveMenu1.SetEnabled(mnuClockProperties, static_cast<bool>(PropertiesCommand));
    });
    UINT chosen = 0;
    step([&] {
        SetForegroundWindow(hwnd_);
        chosen = ActiveMenu1.TrackPopup(ActiveMenu1.mnuPopupClock(), hwnd_, at, TPM_RIGHTBUTTON);
        PostMessageA(hwnd_, WM_NULL, 0, 0);
    });
    if (chosen && ClockWindow) RunMenuCommand(chosen);
    if (goCurrentUser) step([this] { SysInputEnabled(true, Displays::kTakeDown); });
}

}  // namespace spotlex
