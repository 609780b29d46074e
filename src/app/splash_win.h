#pragma once
// The splash screen: the program's name, picture and version, floating on top while the program
// starts. Its timer ends the start through a callback of the main form.
#include <windows.h>

#include <functional>

#include "app/version_info_win.h"
#include "core/unique_handle_win.h"
#include "core/window_win.h"

namespace spotlex {

class SplashScreen : public Window {
public:
    static constexpr int kWidth = 350;
    static constexpr int kHeight = 225;
    static constexpr UINT_PTR kTimerId = 1;

    // Creates the window hidden, centred on the work area.
    explicit SplashScreen(VersionStrings version = ProgramVersionStrings());

    // Shows the splash above all windows without taking the focus and starts its timer;
    // `onTimer` runs once, `intervalMs` later. The callback may destroy the splash.
    void Show(int intervalMs, std::function<void()> onTimer);
    void Hide() noexcept;
    bool Visible() const noexcept { return hwnd_ && IsWindowVisible(hwnd_); }

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Render();

    VersionStrings version_;
    std::function<void()> onTimer_;
    UniqueBitmap picture_;  // the whole face, drawn once
};

// The splash time from Splash_Screen_Time in the machine-wide key, in milliseconds.
int SplashIntervalFromSettings() noexcept;

}  // namespace spotlex
