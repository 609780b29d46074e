// frmMain's welcome at start and its large cursors.
#include "app/main_form_win.h"

#include "app/main_form_detail_win.h"
#include "app/startup_text.h"
#include "app/welcome_text.h"
#include "core/animated_rect_win.h"
#include "core/classkit_win.h"
#include "core/errata_log_win.h"
#include "cursors/cursor_scheme.h"
#include "cursors/cursor_scheme_win.h"
#include "cursors/mouse_pointer_win.h"
#include "help/help_box_win.h"

namespace spotlex {

namespace {
constexpr const char* kModule = "frmMain";
constexpr std::int32_t kWelcomeWidthTwips = 5100;
}  // namespace

void frmMain::ShowWelcome() noexcept {
    timerTag_ = "ShowWelcome";
    SetTimer1(55);
}

void frmMain::Timer1_Timer() noexcept {
    if (timerTag_ != "ShowWelcome") return;
    auto step = [](auto&& f) { LogAndContinue(kModule, "Timer1_Timer", f); };
    // Stopped before the box opens: a tick while it is open would open a second welcome.
    SetTimer1(0);
    step([this] {
        ModalScope open;
        CHelpBox help;
        help.Explain(WelcomeTitle(), WelcomeText(), kProductName, "Welcome", TaskbarTrayHwnd(),
                     kWelcomeWidthTwips);
    });
    // The session may have ended while the box was open.
    if (terminating_) return;
    step([this] { TrayIcon1.SetEnabled(true); });
    if (!terminating_) TellPauseKeyTaken();
    step([this] {
        SetTimer1(0);
        SysInputEnabled(true, Displays::kTakeDown);
    });
}

void frmMain::SetLargeCursors(bool on) noexcept {
    auto step = [](auto&& f) { LogAndContinue(kModule, "LargeCursors (Property Let)", f); };
    CCursorScheme schemes;
    Cursor busy;
    busy.SetMousePointer(kPointerArrowHourglass);
    std::string remembered;
    std::string inForce;
    if (!on) step([&] { remembered = GetSetting(settings::kOriginalCursors); });
    step([&] { inForce = schemes.Scheme(); });
    const LargeCursorSwitch plan = PlanLargeCursors(on, inForce, remembered);
    if (plan.remember) step([&] { SaveSetting(settings::kOriginalCursors, inForce); });
    if (plan.apply.empty()) return;
    bool applied = false;
    step([&] { applied = schemes.SetScheme(plan.apply); });
    // A remembered scheme that is gone (or broken) must not leave the large cursors on for good.
    if (!on && !applied && plan.apply != kDefaultScheme) step([&] { schemes.SetScheme(kDefaultScheme); });
}

void frmMain::mnuLargeCursors_Click() noexcept {
    try {
        const bool on = !ActiveMenu1.Checked(mnuLargeCursors);
        ActiveMenu1.SetChecked(mnuLargeCursors, on);
        SetLargeCursors(on);
    } catch (...) {
    }
}

}  // namespace spotlex
