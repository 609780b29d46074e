// frmMain's pause of the keystroke display: the system-wide pause key, the tray icon that shows
// the pause, and the timer that ends a forgotten one.
#include <algorithm>
#include <utility>

#include "app/main_form_detail_win.h"
#include "app/main_form_win.h"
#include "app/startup_text.h"
#include "core/animated_rect_win.h"
#include "core/errata_log_win.h"
#include "help/help_box_win.h"
#include "keystrokes/key_filter_dialog_win.h"
#include "keystrokes/key_filter_entries.h"
#include "properties/properties_logic.h"

namespace spotlex {

namespace {
constexpr const char* kModule = "frmMain";
constexpr std::int32_t kTakenBoxWidthTwips = 5100;
constexpr const char* kTipRunning = " Spotlex [Right-Click For Menu] ";
constexpr const char* kTipPaused = " Spotlex - keys paused [Right-Click For Menu] ";
}  // namespace

void frmMain::ApplyPauseSettings(const SpotlexSettings::Pause& p) noexcept {
    LogAndContinue(kModule, "ApplyPauseSettings", [&] {
        PauseKeys.SetResumeMinutes(p.resumeMinutes);
        if (p.hotKey != pauseKey_ || (p.hotKey != 0 && pauseKey_ == 0)) {
            if (pauseKey_ != 0) UnregisterHotKey(hwnd_, kPauseHotKeyId);
            pauseKey_ = 0;
            if (p.hotKey != 0) {
                // MOD_NOREPEAT: a held key toggles once.
                if (RegisterHotKey(hwnd_, kPauseHotKeyId, HotKeyModFlags(p.hotKey) | MOD_NOREPEAT,
                                   HotKeyVirtualKey(p.hotKey)))
                    pauseKey_ = p.hotKey;
                else
                    takenPauseKey_ = p.hotKey;
            }
        }
        keystrokes_->SetPause(&PauseKeys, pauseKey_);
        // Once the tray icon answers the mouse, the start is over and the presenter can be told.
        if (TrayIcon1.Enabled()) TellPauseKeyTaken();
        ShowPauseState();
    });
}

void frmMain::TellPauseKeyTaken() noexcept {
    const std::int32_t code = std::exchange(takenPauseKey_, 0);
    if (code == 0 || code == toldPauseKey_) return;
    toldPauseKey_ = code;
    LogAndContinue(kModule, "TellPauseKeyTaken", [&] {
        ModalScope open;
        const HelpTopic topic = PauseKeyTakenTopic(
            HotKeyText((code >> 16) & 0xFFFF, KeyName(static_cast<int>(HotKeyVirtualKey(code)), false)));
        CHelpBox help;
        help.Explain(topic.title, topic.body, kProductName, kPauseKeyTakenDialog, TaskbarTrayHwnd(),
                     kTakenBoxWidthTwips);
    });
}

void frmMain::PauseKey_Pressed() noexcept {
    LogAndContinue(kModule, "PauseKey_Pressed", [this] {
        PauseKeys.Toggle();
        // A key shown just before the pause leaves the screen with it.
        if (PauseKeys.Paused() && KeyboardWindow) KeyboardWindow->Destroy();
        ShowPauseState();
    });
}

void frmMain::ShowPauseState() noexcept {
    LogAndContinue(kModule, "ShowPauseState", [this] {
        const bool paused = PauseKeys.Paused();
        TrayIcon1.SetPaused(paused);
        TrayIcon1.SetTipText(paused ? kTipPaused : kTipRunning);
        const std::uint64_t left = PauseKeys.MsUntilResume();
        if (!hwnd_) return;
        if (paused && left > 0)
            SetTimer(hwnd_, kPauseTimer, static_cast<UINT>(std::min<std::uint64_t>(left, USER_TIMER_MAXIMUM)),
                     nullptr);
        else
            KillTimer(hwnd_, kPauseTimer);
    });
}

}  // namespace spotlex
