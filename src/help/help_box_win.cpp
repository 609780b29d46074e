#include "help/help_box_win.h"

#include <cstring>
#include <vector>

#include "core/animated_rect_win.h"
#include "core/app_error.h"
#include "core/classkit_win.h"
#include "core/dialog_win.h"
#include "core/errata_log_win.h"
#include "core/monitors_win.h"
#include "core/runtime_rules.h"
#include "core/screen_geometry.h"
#include "core/settings.h"
#include "core/wide_text_win.h"
#include "core/window_helpers_win.h"
#include "cursors/mouse_pointer_win.h"

namespace spotlex {

namespace {

constexpr const char* kModule = "frmHelpBox";

// The designed places, in twips.
constexpr double kTitleLeft = 240;
constexpr double kTitleTop = 180;
constexpr double kBodyLeft = 240;
constexpr double kCheckSize = 255;
// The check box goes 300 twips below the button's top: the button stays lower than that.
constexpr double kCommandWidth = 405;
constexpr double kCommandHeight = 285;
constexpr double kCaptionGap = 120;
constexpr int kTitlePoints = 12;
constexpr int kBodyPoints = 10;

constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN;
constexpr DWORD kTextFlags = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

// The scale of the primary monitor, where CenterForm puts the box.
int PrimaryDpi() {
    return MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

UniqueFont MakeArial(int points, int weight, int dpiY) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(points, dpiY, 72);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    std::strncpy(lf.lfFaceName, "Arial", LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectA(&lf));
}

TextExtent Measure(HFONT font, const std::string& text, int wrapWidth) {
    WindowDc screen(nullptr);
    if (!screen) return {};
    ScopedSelect select(screen.get(), font);
    RECT r{0, 0, wrapWidth, 0};
    DrawTextA(screen.get(), text.empty() ? " " : text.c_str(), -1, &r, kTextFlags | DT_CALCRECT);
    return {static_cast<int>(r.right - r.left), static_cast<int>(r.bottom - r.top)};
}

// A "Dismiss_" value counts only as a number; anything unreadable leaves the message on.
std::int32_t DismissedFlag(const RegValue& stored) {
    if (const auto* n = std::get_if<std::int32_t>(&stored)) return *n;
    if (const auto* s = std::get_if<std::string>(&stored)) {
        try {
            return TextToInt32(*s);
        } catch (const AppError&) {
            return 0;
        }
    }
    return 0;
}

// The thread's other top-level windows are disabled while the box is up, as a modal form does.
BOOL CALLBACK CollectEnabled(HWND h, LPARAM lp) {
    auto* list = reinterpret_cast<std::vector<HWND>*>(lp);
    if (IsWindowVisible(h) && IsWindowEnabled(h) && h != list->front()) list->push_back(h);
    return TRUE;
}

}  // namespace

void frmHelpBox::Load() {
    if (hwnd_) return;
    dpi_ = PrimaryDpi();
    widthTwips_ = kDesignedWidth;
    const int height = TwipsLengthToPixels(2400, TwipsPerPixel(dpi_));
    if (!CreateWin(kClassName, WS_EX_DLGMODALFRAME, kBoxStyle, "", 0, 0, 10, height)) return;

    HINSTANCE inst = GetModuleHandleA(nullptr);
    auto add = [&](const char* cls, const char* text, int id, DWORD style) {
        CreateWindowExA(0, cls, text, WS_CHILD | style, 0, 0, 10, 10, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
    };
    add("STATIC", "", kHelpTitle, WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
    add("STATIC", "", kHelpBody, WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
    add("BUTTON", "...", kHelpMoreInfo, WS_TABSTOP | BS_PUSHBUTTON);
    add("STATIC", "More Information", kHelpShowMoreInfo, SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | SS_NOTIFY);
    add("BUTTON", "", kHelpShowAgain, WS_TABSTOP | BS_AUTOCHECKBOX);
    add("STATIC", "Don't Show This Message Again.", kHelpDontShow,
        SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | SS_NOTIFY);
    ScaleControls();
    OfferDontShow = false;
    DontShowAgain = false;
    AnimateFromHwnd = nullptr;
    command_.clear();
}

void frmHelpBox::Explain(const std::string& title, const std::string& body, const std::string& caption,
                         const std::string& dialogName, HWND animateFromHwnd, std::int32_t dlgWidth,
                         const std::string& showMoreCaption, const std::string& showMoreCommand) noexcept {
    RegistrySetting settings;
    const std::string dismissName = std::string(settings::kDismissPrefix) + dialogName;
    try {
        // A dismissed message is not even built: its controls would load the common controls, which
        // weigh 1.6 MB under Wine, at every start for the welcome.
        if (!dialogName.empty()) {
            settings.OpenKey(kUserKey);
            if (DismissedFlag(settings.Value(dismissName, rgsDWord)) != 0) {
                settings.CloseKey();
                return;
            }
        }
        Load();
        if (!hwnd_)
            throw AppError(static_cast<std::int32_t>(GetLastError()), kModule,
                           "The help box could not be created.");
        if (dlgWidth != -1) {
            widthTwips_ = dlgWidth;
            widthPx_ = TwipsLengthToPixels(widthTwips_, TwipsPerPixel(dpi_));
        }
        OfferDontShow = !dialogName.empty();
        SetWindowTextA(Item(kHelpTitle), title.c_str());
        if (!showMoreCaption.empty()) {
            SetWindowTextA(Item(kHelpShowMoreInfo), showMoreCaption.c_str());
            ShowWindow(Item(kHelpShowMoreInfo), SW_SHOWNA);
        }
        if (!showMoreCommand.empty()) {
            ShowWindow(Item(kHelpMoreInfo), SW_SHOWNA);
            command_ = showMoreCommand;
        }
        SetWindowTextA(Item(kHelpBody), body.c_str());
        lblBody_Change();
        SetWindowTextA(hwnd_, caption.c_str());
        CenterForm(hwnd_);
        AnimateFromHwnd = nullptr;
        if (animateFromHwnd) {
            AnimatedZoom(animateFromHwnd, hwnd_, true);
            AnimateFromHwnd = animateFromHwnd;
        }
        ShowModal();
        if (!dialogName.empty() && DontShowAgain) settings.SetValue(dismissName, rgsDWord, 1);
    } catch (...) {
        LogCurrentException(kModule, "Explain");
    }
    settings.CloseKey();
}

void frmHelpBox::ScaleControls() {
    const double tpp = TwipsPerPixel(dpi_);
    auto px = [&](double twips) { return TwipsLengthToPixels(twips, tpp); };
    widthPx_ = px(widthTwips_);
    titleFont_ = MakeArial(kTitlePoints, FW_BOLD, dpi_);
    bodyFont_ = MakeArial(kBodyPoints, FW_NORMAL, dpi_);
    // The lay-out sets the tops and the measured sizes; the rest is fixed by design.
    const int check = px(kCheckSize);
    const int commandWidth = px(kCommandWidth);
    const int command = px(kCommandHeight);
    auto place = [&](int id, HFONT font, int x, int y, int w, int h) {
        HWND c = Item(id);
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(c, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(kHelpTitle, titleFont_.get(), px(kTitleLeft), px(kTitleTop), 10, 10);
    place(kHelpBody, bodyFont_.get(), px(kBodyLeft), 0, 10, 10);
    place(kHelpMoreInfo, bodyFont_.get(), px(kBodyLeft), 0, commandWidth, command);
    place(kHelpShowMoreInfo, bodyFont_.get(), px(kBodyLeft) + commandWidth + px(kCaptionGap), 0, 10, command);
    place(kHelpShowAgain, bodyFont_.get(), px(kBodyLeft), 0, check, check);
    place(kHelpDontShow, bodyFont_.get(), px(kBodyLeft) + check + px(60), 0, 10, check);
}

void frmHelpBox::lblBody_Change() noexcept {
    try {
        const double tppX = TwipsPerPixel(dpi_);
        const double tppY = tppX;
        SetWindowPos(hwnd_, nullptr, 0, 0, widthPx_, TwipsLengthToPixels(2400, tppY),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client{};
        GetClientRect(hwnd_, &client);
        HelpBoxFrame frame;
        frame.boxWidth = widthPx_;
        frame.clientWidth = client.right;
        frame.titleLeft = TwipsLengthToPixels(kTitleLeft, tppX);
        frame.titleTop = TwipsLengthToPixels(kTitleTop, tppY);
        frame.bodyLeft = TwipsLengthToPixels(kBodyLeft, tppX);
        frame.checkHeight = TwipsLengthToPixels(kCheckSize, tppY);
        const std::string title = WindowText(Item(kHelpTitle));
        const std::string body = WindowText(Item(kHelpBody));
        layout_ = LayOutHelpBox(
            frame, tppY, !command_.empty(), OfferDontShow,
            [&](int w) { return Measure(titleFont_.get(), title, w); },
            [&](int w) { return Measure(bodyFont_.get(), body, w); });

        auto place = [&](int id, int x, int y, int w, int h) {
            SetWindowPos(Item(id), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        };
        auto rectOf = [&](int id) {
            RECT r{};
            GetWindowRect(Item(id), &r);
            MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
            return r;
        };
        place(kHelpTitle, frame.titleLeft, frame.titleTop, layout_.titleWidth, layout_.titleHeight);
        place(kHelpBody, frame.bodyLeft, layout_.bodyTop, layout_.bodyWidth, layout_.bodyHeight);
        const RECT command = rectOf(kHelpMoreInfo);
        place(kHelpMoreInfo, command.left, layout_.commandTop, command.right - command.left,
              command.bottom - command.top);
        ShowWindow(Item(kHelpMoreInfo), layout_.showCommand ? SW_SHOWNA : SW_HIDE);
        if (layout_.showCommand) {
            const RECT caption = rectOf(kHelpShowMoreInfo);
            place(kHelpShowMoreInfo, caption.left, layout_.commandTop,
                  client.right - caption.left - frame.bodyLeft, command.bottom - command.top);
        } else {
            // A caption without its command has no place of its own: it would cover the title.
            ShowWindow(Item(kHelpShowMoreInfo), SW_HIDE);
        }
        const RECT check = rectOf(kHelpShowAgain);
        place(kHelpShowAgain, check.left, layout_.checkTop, check.right - check.left,
              check.bottom - check.top);
        const RECT dontShow = rectOf(kHelpDontShow);
        place(kHelpDontShow, dontShow.left, layout_.checkTop, client.right - dontShow.left - frame.bodyLeft,
              frame.checkHeight);
        ShowWindow(Item(kHelpShowAgain), layout_.showCheck ? SW_SHOWNA : SW_HIDE);
        ShowWindow(Item(kHelpDontShow), layout_.showCheck ? SW_SHOWNA : SW_HIDE);
        SetWindowPos(hwnd_, nullptr, 0, 0, widthPx_, layout_.boxHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    } catch (...) {
        LogCurrentException(kModule, "lblBody_Change");
    }
}

void frmHelpBox::ShowModal() {
    std::vector<HWND> disabled{hwnd_};
    EnumThreadWindows(GetCurrentThreadId(), &CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
    disabled.erase(disabled.begin());
    for (HWND h : disabled) EnableWindow(h, FALSE);

    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(IsWindowVisible(Item(kHelpShowAgain)) ? Item(kHelpShowAgain) : hwnd_);
    // The program is ending: the box closes.
    if (!RunModalLoop(
            hwnd_, [this] { return hwnd_ != nullptr; }, [this](const MSG& m) { return Form_KeyUp(m); }))
        Unload();
    for (HWND h : disabled)
        if (IsWindow(h)) EnableWindow(h, TRUE);
}

bool frmHelpBox::Form_KeyUp(const MSG& msg) noexcept {
    // The box sees the keys before its controls do, wherever the focus is inside it.
    if (msg.message != WM_KEYUP || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE)) return false;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    try {
        Unload();
    } catch (...) {
        LogCurrentException(kModule, "Form_KeyUp");
    }
    return true;
}

void frmHelpBox::Unload() noexcept {
    if (!hwnd_) return;
    if (AnimateFromHwnd) AnimatedZoom(hwnd_, AnimateFromHwnd, false);
    DestroyWindow(hwnd_);
}

void frmHelpBox::chkShowAgain_Click() noexcept {
    DontShowAgain = SendMessageA(Item(kHelpShowAgain), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void frmHelpBox::lblDontShow_Click() noexcept {
    const bool checked = SendMessageA(Item(kHelpShowAgain), BM_GETCHECK, 0, 0) == BST_CHECKED;
    SendMessageA(Item(kHelpShowAgain), BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
    chkShowAgain_Click();
}

void frmHelpBox::cmdMoreInfo_Click() noexcept {
    Cursor busy;
    busy.SetMousePointer(kPointerArrowHourglass);
    if (command_.empty()) return;
    // The command's window comes up over the box, which otherwise floats above everything.
    SetWindowOnTop(hwnd_, HWND_NOTOPMOST);
    std::wstring commandLine = Wide(command_);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

LRESULT frmHelpBox::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r{};
            GetClientRect(hwnd_, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, GetSysColorBrush(COLOR_INFOBK));
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
            SetBkColor(dc, GetSysColor(COLOR_INFOBK));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INFOBK));
        }
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case kHelpShowAgain:
                    if (HIWORD(wp) == BN_CLICKED) chkShowAgain_Click();
                    return 0;
                case kHelpDontShow:
                    // A quick second click is a double click to the label; it toggles all the same.
                    if (HIWORD(wp) == STN_CLICKED || HIWORD(wp) == STN_DBLCLK) lblDontShow_Click();
                    return 0;
                case kHelpMoreInfo:
                    if (HIWORD(wp) == BN_CLICKED) cmdMoreInfo_Click();
                    return 0;
                default:
                    return 0;
            }
        case WM_ACTIVATE:
            // Form_Activate: each activation puts the box above every other window.
            if (LOWORD(wp) != WA_INACTIVE) SetWindowOnTop(hwnd_, HWND_TOPMOST);
            return DefWindowProcA(hwnd_, msg, wp, lp);
        case WM_CLOSE:
            Unload();
            return 0;
        case WM_DPICHANGED: {
            // Dragged onto a monitor of another scale: the box is laid out again at that scale.
            const auto* suggested = reinterpret_cast<const RECT*>(lp);
            dpi_ = HIWORD(wp);
            ScaleControls();
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            lblBody_Change();
            InvalidateRect(hwnd_, nullptr, TRUE);
            return 0;
        }
        default:
            return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

CHelpBox::CHelpBox() : form_(std::make_unique<frmHelpBox>()) {}

CHelpBox::~CHelpBox() = default;

void CHelpBox::Explain(const std::string& title, const std::string& body, const std::string& caption,
                       const std::string& dialogName, HWND animateFromHwnd, std::int32_t width,
                       const std::string& showMoreCaption, const std::string& showMoreCommand) noexcept {
    form_->Explain(title, body, caption, dialogName, animateFromHwnd, width, showMoreCaption,
                   showMoreCommand);
}

}  // namespace spotlex
