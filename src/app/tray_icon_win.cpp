#include "app/tray_icon_win.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "app/exe/resource.h"
#include "core/errata_log_win.h"

namespace spotlex {

namespace {
constexpr UINT_PTR kRetryTimer = 1;
constexpr UINT kRetryMs = 2000;
// Explorer may not be up yet at logon; a minute of retries covers a slow start, and
// "TaskbarCreated" covers the rest.
constexpr int kRetries = 30;

// Runs an event handler; an exception must not unwind through the window procedure.
template <class F>
void Raise(const char* event, F&& call) noexcept {
    try {
        call();
    } catch (...) {
        LogCurrentException("TrayIcon", event);
    }
}
// The icon with two dark bars on a light ground in its lower right quarter, the sign for "paused".
HICON MakePausedIcon(HICON base, int cx, int cy) {
    WindowDc screen(nullptr);
    UniqueMemDc colorDc(CreateCompatibleDC(screen.get()));
    UniqueMemDc maskDc(CreateCompatibleDC(screen.get()));
    UniqueBitmap color(CreateCompatibleBitmap(screen.get(), cx, cy));
    UniqueBitmap mask(CreateBitmap(cx, cy, 1, 1, nullptr));
    if (!colorDc || !maskDc || !color || !mask) return nullptr;
    {
        ScopedSelect c(colorDc.get(), color.get());
        ScopedSelect m(maskDc.get(), mask.get());
        RECT all{0, 0, cx, cy};
        FillRect(colorDc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        FillRect(maskDc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIconEx(colorDc.get(), 0, 0, base, cx, cy, 0, nullptr, DI_IMAGE);
        DrawIconEx(maskDc.get(), 0, 0, base, cx, cy, 0, nullptr, DI_MASK);
        const int side = cx / 2 + 1;
        RECT ground{cx - side, cy - side, cx, cy};
        FillRect(colorDc.get(), &ground, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        FillRect(maskDc.get(), &ground, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        const int bar = std::max(1, side / 4);
        for (int left : {ground.left + bar, ground.right - 2 * bar}) {
            RECT r{left, ground.top + bar, left + bar, ground.bottom - bar};
            FillRect(colorDc.get(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        }
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = color.get();
    info.hbmMask = mask.get();
    return CreateIconIndirect(&info);
}

}  // namespace

TrayIcon::TrayIcon() {
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    CreateWin("SpotlexTrayIcon", WS_EX_TOOLWINDOW, WS_POPUP, "Spotlex", 0, 0, 0, 0);
    // An elevated copy would otherwise not hear the broadcast from a normal Explorer.
    if (hwnd_ && taskbarCreated_) ChangeWindowMessageFilterEx(hwnd_, taskbarCreated_, MSGFLT_ALLOW, nullptr);

    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);
    ownIcon_.reset(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SPOTLEX), IMAGE_ICON, cx, cy, 0)));
    icon_ = ownIcon_ ? ownIcon_.get() : LoadIconA(nullptr, IDI_APPLICATION);
    plainIcon_ = icon_;
}

void TrayIcon::SetPaused(bool paused) {
    if (paused == paused_) return;
    paused_ = paused;
    if (paused && !pausedIcon_)
        pausedIcon_.reset(
            MakePausedIcon(plainIcon_, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));
    icon_ = paused && pausedIcon_ ? pausedIcon_.get() : plainIcon_;
    if (inTray_) Notify(NIM_MODIFY, NIF_ICON);
}

TrayIcon::~TrayIcon() {
    Hide();
}

bool TrayIcon::Notify(DWORD action, UINT flags) {
    if (!hwnd_) return false;
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = hwnd_;
    nid.uID = kIconId;
    nid.uFlags = flags;
    nid.uCallbackMessage = kCallbackMessage;
    nid.hIcon = icon_;
    const size_t n = std::min(tip_.size(), sizeof nid.szTip - 1);
    std::memcpy(nid.szTip, tip_.data(), n);
    return Shell_NotifyIconA(action, &nid) != FALSE;
}

bool TrayIcon::AddToTray() {
    constexpr UINT all = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    // A shell that timed out on an earlier add may hold the icon already: then a modify works.
    inTray_ = Notify(NIM_ADD, all) || Notify(NIM_MODIFY, all);
    return inTray_;
}

void TrayIcon::AddOrRetry() {
    if (AddToTray() || !hwnd_) return;
    retriesLeft_ = kRetries;
    SetTimer(hwnd_, kRetryTimer, kRetryMs, nullptr);
}

void TrayIcon::SetVisible(bool visible) {
    if (visible == visible_) return;
    if (visible) {
        visible_ = true;
        AddOrRetry();
    } else {
        Hide();
    }
}

void TrayIcon::Hide() {
    visible_ = false;
    retriesLeft_ = 0;
    if (hwnd_) KillTimer(hwnd_, kRetryTimer);
    if (inTray_) Notify(NIM_DELETE, 0);
    inTray_ = false;
}

void TrayIcon::SetTipText(std::string tip) {
    tip_ = std::move(tip);
    if (inTray_) Notify(NIM_MODIFY, NIF_TIP);
}

void TrayIcon::OnMouse(UINT mouseMsg) {
    if (!enabled_) return;
    switch (mouseMsg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            if (auto handler = MouseAction) Raise("MouseAction", [&] { handler(true); });
            break;
        case WM_LBUTTONDBLCLK: {
            swallowLeftUp_ = true;
            auto action = MouseAction;
            auto dbl = DblClick;
            if (action) Raise("MouseAction", [&] { action(true); });
            if (dbl) Raise("DblClick", [&] { dbl(); });
            break;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            if (mouseMsg == WM_LBUTTONUP && std::exchange(swallowLeftUp_, false)) break;
            const int button = mouseMsg == WM_LBUTTONUP   ? kLeftButton
                               : mouseMsg == WM_RBUTTONUP ? kRightButton
                                                          : kMiddleButton;
            if (auto handler = MouseUp) Raise("MouseUp", [&] { handler(button); });
            break;
        }
        default:
            break;
    }
}

LRESULT TrayIcon::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kCallbackMessage) {
        if (wp == kIconId) OnMouse(static_cast<UINT>(lp));
        return 0;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
        // A new taskbar knows no icons: ours goes back in if it was on show.
        inTray_ = false;
        if (visible_) AddOrRetry();
        return 0;
    }
    if (msg == WM_TIMER && wp == kRetryTimer) {
        if (!visible_ || inTray_ || AddToTray() || --retriesLeft_ <= 0) KillTimer(hwnd_, kRetryTimer);
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace spotlex
