#pragma once
// TrayIcon: the program's icon in the taskbar's notification area. It lives on a hidden top-level
// window of its own: a message-only window would miss the "TaskbarCreated" broadcast, after which
// the icon is added again (Explorer restarted and forgot it).
#include <windows.h>

#include <functional>
#include <string>

#include "core/unique_handle_win.h"
#include "core/window_win.h"

namespace spotlex {

class TrayIcon : public Window {
public:
    // Mouse buttons as MouseUp reports them.
    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 2;
    static constexpr int kMiddleButton = 4;
    // The shell tells the icon's window about mouse actions with this message; lParam holds the
    // mouse message (WM_LBUTTONUP...), wParam the icon's id.
    static constexpr UINT kCallbackMessage = WM_APP + 0x54;
    static constexpr UINT kIconId = 1;

    // Starts hidden and disabled, with the program's icon and an empty tip.
    TrayIcon();
    ~TrayIcon() override;

    bool Visible() const noexcept { return visible_; }
    // Adds the icon to the notification area or removes it.
    void SetVisible(bool visible);
    // A disabled icon stays on show but reports no mouse actions.
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled) noexcept { enabled_ = enabled; }
    const std::string& TipText() const noexcept { return tip_; }
    void SetTipText(std::string tip);
    HICON Icon() const noexcept { return icon_; }
    // While paused the icon carries a pause mark (two bars) over its lower right corner.
    bool Paused() const noexcept { return paused_; }
    void SetPaused(bool paused);
    // Removes the icon from the notification area (at shutdown).
    void Hide();

    // Whether the shell holds the icon right now (false while it is being retried).
    bool InTray() const noexcept { return inTray_; }

    // Any mouse button pressed on the icon while it is enabled.
    std::function<void(bool isEnabled)> MouseAction;
    // A button released on the icon: kLeftButton, kRightButton or kMiddleButton. The release that
    // ends a left double-click is not reported; DblClick is.
    std::function<void(int button)> MouseUp;
    std::function<void()> DblClick;

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool Notify(DWORD action, UINT flags);
    bool AddToTray();
    void AddOrRetry();
    void OnMouse(UINT mouseMsg);

    bool visible_ = false;
    bool enabled_ = false;
    bool inTray_ = false;
    bool swallowLeftUp_ = false;
    bool paused_ = false;
    int retriesLeft_ = 0;
    std::string tip_;
    HICON icon_ = nullptr;
    HICON plainIcon_ = nullptr;
    UniqueIcon ownIcon_;
    UniqueIcon pausedIcon_;
    UINT taskbarCreated_ = 0;
};

}  // namespace spotlex
