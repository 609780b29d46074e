#pragma once
// The click burst: frmMouseWindow shows a glyph-shaped burst centred on a click and animates it;
// CMouseWindow owns that window and the settings it is shown with.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/shaped_display_win.h"
#include "core/unique_handle_win.h"
#include "core/window_win.h"
#include "mouse/burst_logic.h"

namespace spotlex {

// The burst window's shape for one frame: the frame glyph's outline, plus the double-click
// marker's when asked. The two are united, so where they overlap the window stays filled.
// `dc` has the burst font selected. Empty when the font draws nothing.
UniqueRgn BuildBurstRegion(HDC dc, unsigned char frame, bool withMarker);

class frmMouseWindow : public Window {
public:
    frmMouseWindow();

    std::int32_t MouseFadeInterval() const noexcept { return anim_.FadeInterval(); }
    void SetMouseFadeInterval(std::int32_t ms) noexcept { anim_.SetFadeInterval(ms); }

    // Hides a running burst at once.
    void Destroy() noexcept;
    // Starts a burst centred on the screen pixel (x, y). False when nothing is shown (display
    // font missing, after its message, or an error).
    bool Display(int x, int y, std::int32_t color, std::int32_t size, bool inDblClick);
    // Shapes the window to the current frame and raises it without activating it.
    bool Recreate();

    // What the window shows now, for the program's own checks and tests.
    unsigned char Glyph() const noexcept { return anim_.Glyph(); }
    bool BurstDblClick() const noexcept { return anim_.DblClick(); }
    std::int32_t TimerInterval() const noexcept { return anim_.TimerInterval(); }
    std::int32_t FontPoints() const noexcept { return display_.FontPoints(); }
    COLORREF BackColor() const noexcept { return backColor_; }
    bool PatternVisible() const noexcept { return patternVisible_; }
    HFONT Font() const noexcept { return display_.Font(); }
    bool FontMessageOpen() const noexcept { return display_.FontMessageOpen(); }
    // Called each time a frame's shape is on screen, with the frame's code.
    void SetFrameListener(std::function<void(unsigned char)> listener) {
        frameListener_ = std::move(listener);
    }

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void ApplyTimer(bool restart) noexcept;
    void OnTimer() noexcept;
    void Paint() noexcept;
    void HideNow() noexcept;
    // Gives the window the current frame's outline; redraw: repaint what it uncovers.
    void ShapeFrame(bool redraw);
    // The frame is on screen: the animation moves on and the listener hears of it.
    void FrameShown();
    // What the frame's shape is cut from: its glyph, and the marker's when it shows.
    std::string FrameGlyphs() const;

    ShapedDisplay display_;
    BurstAnimation anim_;
    COLORREF backColor_ = 255;
    bool patternVisible_ = false;
    UniqueBitmap fire_;
    std::function<void(unsigned char)> frameListener_;
};

class CMouseWindow {
public:
    CMouseWindow();
    ~CMouseWindow();
    CMouseWindow(const CMouseWindow&) = delete;
    CMouseWindow& operator=(const CMouseWindow&) = delete;

    void Destroy() noexcept;
    // Starts a burst centred on the screen pixel (x, y), with this object's Color, Size and
    // InDblClick; true when it is shown.
    bool Display(int x, int y);

    bool InDblClick() const noexcept { return inDblClick_; }
    void SetInDblClick(bool v) noexcept { inDblClick_ = v; }
    std::int32_t Color() const noexcept { return color_; }
    void SetColor(std::int32_t v) noexcept { color_ = v; }
    std::int32_t Delay() const noexcept { return delay_; }
    void SetDelay(std::int32_t v) noexcept;
    std::int32_t Size() const noexcept { return size_; }
    void SetSize(std::int32_t v) noexcept { size_ = v; }

    frmMouseWindow& BurstWindow() noexcept { return *window_; }

private:
    std::unique_ptr<frmMouseWindow> window_;
    std::int32_t size_ = 0;
    std::int32_t color_ = 0;
    std::int32_t delay_ = 0;
    bool inDblClick_ = false;
};

}  // namespace spotlex
