#include "app/splash_win.h"

#include <string>
#include <variant>

#include "app/splash_time.h"
#include "app/spotlex_mark_win.h"
#include "app/ui_font_win.h"
#include "core/classkit_win.h"
#include "core/errata_log_win.h"
#include "core/runtime_rules.h"
#include "core/window_helpers_win.h"

namespace spotlex {

namespace {
constexpr COLORREF kNavyTop = RGB(0x1E, 0x3A, 0x6E);
constexpr COLORREF kNavyBottom = RGB(0x0E, 0x1C, 0x38);
constexpr COLORREF kAccent = RGB(0xFF, 0x9A, 0x1A);
constexpr int kBandHeight = 150;

void Gradient(HDC dc, int x0, int y0, int x1, int y1, COLORREF top, COLORREF bottom) {
    TRIVERTEX v[2] = {
        {x0, y0, static_cast<COLOR16>(GetRValue(top) << 8), static_cast<COLOR16>(GetGValue(top) << 8),
         static_cast<COLOR16>(GetBValue(top) << 8), 0},
        {x1, y1, static_cast<COLOR16>(GetRValue(bottom) << 8), static_cast<COLOR16>(GetGValue(bottom) << 8),
         static_cast<COLOR16>(GetBValue(bottom) << 8), 0}};
    GRADIENT_RECT r{0, 1};
    GradientFill(dc, v, 2, &r, 1, GRADIENT_FILL_RECT_V);
}

void Fill(HDC dc, RECT r, COLORREF c) {
    UniqueBrush brush(CreateSolidBrush(c));
    FillRect(dc, &r, brush.get());
}

void Text(HDC dc, const std::string& text, RECT box, int pixelHeight, int weight, COLORREF color,
          UINT format) {
    UniqueFont font = MakeUiFont(pixelHeight, weight);
    ScopedSelect sel(dc, font.get());
    SetTextColor(dc, color);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_NOPREFIX);
}
}  // namespace

int SplashIntervalFromSettings() noexcept {
    std::int32_t seconds = 0;
    try {
        if (goLocalMachine) {
            const RegValue v = goLocalMachine->Value(settings::kSplashScreenTime.name, rgsDWord);
            if (const auto* n = std::get_if<std::int32_t>(&v)) {
                seconds = *n;
            } else if (const auto* s = std::get_if<std::string>(&v); s && !s->empty()) {
                seconds = TextToInt32(*s);
            }
        }
    } catch (...) {
        LogCurrentException("frmSplash", "Form_Load");
        seconds = 0;
    }
    return SplashIntervalMs(seconds);
}

SplashScreen::SplashScreen(VersionStrings version) : version_(std::move(version)) {
    CreateWin("SpotlexSplash", WS_EX_TOOLWINDOW, WS_POPUP, "Spotlex", 0, 0, kWidth, kHeight);
    if (hwnd_) CenterForm(hwnd_);
}

void SplashScreen::Show(int intervalMs, std::function<void()> onTimer) {
    if (!hwnd_) return;
    onTimer_ = std::move(onTimer);
    SetWindowOnTop(hwnd_, HWND_TOPMOST);
    UpdateWindow(hwnd_);
    SetTimer(hwnd_, kTimerId, static_cast<UINT>(intervalMs), nullptr);
}

void SplashScreen::Hide() noexcept {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void SplashScreen::Render() {
    WindowDc screen(nullptr);
    UniqueMemDc dc(CreateCompatibleDC(screen.get()));
    picture_.reset(CreateCompatibleBitmap(screen.get(), kWidth, kHeight));
    if (!dc || !picture_) return;
    ScopedSelect sel(dc.get(), picture_.get());
    HDC d = dc.get();
    SetBkMode(d, TRANSPARENT);

    // Fewer than 9 bits per pixel would band the gradients and dither the picture: plain colour then.
    const bool rich = GetDeviceCaps(screen.get(), BITSPIXEL) >= 9;
    if (rich) {
        Gradient(d, 0, 0, kWidth, kBandHeight, kNavyTop, kNavyBottom);
        DrawSpotlexMark(d, 18, 15, 120);
    } else {
        Fill(d, {0, 0, kWidth, kBandHeight}, kNavyBottom);
    }
    Fill(d, {0, kBandHeight, kWidth, kBandHeight + 3}, kAccent);
    Fill(d, {0, kBandHeight + 3, kWidth, kHeight}, RGB(0xFF, 0xFF, 0xFF));

    Text(d, "Spotlex", {150, 26, kWidth - 10, 80}, 44, FW_BOLD, RGB(0xFF, 0xFF, 0xFF),
         DT_SINGLELINE | DT_LEFT);
    Text(d, "Presentation aid", {153, 80, kWidth - 10, 100}, 15, FW_NORMAL, RGB(0xC8, 0xD4, 0xEA),
         DT_SINGLELINE | DT_LEFT);
    Text(d, "Version " + version_.version, {153, 104, kWidth - 10, 124}, 15, FW_SEMIBOLD,
         RGB(0xFF, 0xD8, 0x4A), DT_SINGLELINE | DT_LEFT);
    if (!version_.comments.empty()) {
        Text(d, version_.comments, {16, kBandHeight + 12, kWidth - 16, kBandHeight + 48}, 13, FW_NORMAL,
             RGB(0x33, 0x3A, 0x46), DT_LEFT | DT_WORDBREAK);
    }
    const std::string maker =
        version_.companyName.empty() ? std::string("Classkit") : version_.companyName + " Classkit";
    Text(d, maker, {16, kHeight - 26, kWidth / 2, kHeight - 8}, 12, FW_NORMAL, RGB(0x7A, 0x82, 0x90),
         DT_SINGLELINE | DT_LEFT);
    Text(d, "Starting...", {kWidth / 2, kHeight - 26, kWidth - 16, kHeight - 8}, 12, FW_NORMAL,
         RGB(0x7A, 0x82, 0x90), DT_SINGLELINE | DT_RIGHT);

    // A hairline frame, since the window has no border of its own.
    UniqueBrush frame(CreateSolidBrush(kNavyBottom));
    RECT all{0, 0, kWidth, kHeight};
    FrameRect(d, &all, frame.get());
}

LRESULT SplashScreen::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            if (!picture_) Render();
            if (picture_) {
                UniqueMemDc src(CreateCompatibleDC(dc));
                ScopedSelect sel(src.get(), picture_.get());
                BitBlt(dc, 0, 0, kWidth, kHeight, src.get(), 0, 0, SRCCOPY);
            }
            EndPaint(hwnd_, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_TIMER:
            if (wp == kTimerId) {
                KillTimer(hwnd_, kTimerId);
                // The callback may unload the splash: nothing of this object is used after it.
                std::function<void()> done = std::move(onTimer_);
                onTimer_ = nullptr;
                if (done) {
                    try {
                        done();
                    } catch (...) {
                        LogCurrentException("frmSplash", "Timer1_Timer");
                    }
                }
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace spotlex
