#pragma once
// The part each floating display holds: the display font, the bookkeeping that rebuilds the
// window's region only when its text or font changed, the window's one timer, the monitor a place
// stays on, the drag with its hand cursors and the float on top without activation. A display uses
// the pieces it needs.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/display_font_codes.h"
#include "core/monitor_placement.h"
#include "core/screen_geometry.h"
#include "core/unique_handle_win.h"

namespace spotlex {

class ShapedDisplay {
public:
    static constexpr UINT_PTR kTimerId = 1;

    // `hwnd` is the owning window's handle member, read at each use; `module` names the display in
    // the errata log; `points` is the font size until one is selected.
    ShapedDisplay(const HWND& hwnd, std::string_view module, std::int32_t points) noexcept
        : hwnd_(hwnd), module_(module), fontPoints_(points) {}
    ~ShapedDisplay() { StopTimer(); }
    ShapedDisplay(const ShapedDisplay&) = delete;
    ShapedDisplay& operator=(const ShapedDisplay&) = delete;

    // Form_Load of a display that drags: the hand cursors, and the font, logged when it fails.
    void Load() noexcept;

    // The resolution the font is made for, that of the monitor the display shows on; 0 for the
    // screen's. The next SelectFont makes the font anew when it changed.
    void UseDpi(int dpi) noexcept { dpi_ = dpi; }
    int Dpi() const noexcept { return dpi_; }
    // The resolution the current font was made for.
    int FontDpi() const noexcept { return fontDpi_; }
    // The display face at `points`, kept when it already is; false when only a substitute came.
    // Raises when no font could be created, keeping the one before.
    bool SelectFont(std::int32_t points);
    // Tries the display face again after a substitute; false while there is none.
    bool EnsureFont();
    // The missing-font message, modal; FontMessageOpen while it shows.
    void ShowFontMessage();
    HFONT Font() const noexcept { return font_.get(); }
    std::int32_t FontPoints() const noexcept { return fontPoints_; }
    bool FontMessageOpen() const noexcept { return fontMessageOpen_; }

    // The window's region was last built from `text` in the current font.
    bool Shaped(const CapText& text) const noexcept;
    bool Shaped(std::string_view codes) const { return Shaped(FontCodes(codes)); }
    bool HasShape() const noexcept { return shaped_; }
    // Noted before the region is built: a shape that fails would otherwise be retried by every
    // repaint. Counts a region build.
    void NoteShaped(const CapText& text);
    void NoteShaped(std::string_view codes) { NoteShaped(FontCodes(codes)); }
    void ForgetShape() noexcept { shaped_ = false; }
    // Cuts the window to the outline of `text` in the font, drawn on `dc`, a memory context of the
    // screen, or on the window's own context when null.
    void CutTo(std::string_view text, bool redraw, HDC dc = nullptr);
    int RegionBuilds() const noexcept { return regionBuilds_; }

    // Runs the timer every `ms`, 0 stops it. Setting an interval restarts the count; unless
    // `restart`, a timer already running at `ms` keeps counting.
    void RunTimer(int ms, bool restart = true) noexcept;
    // Stops the timer, keeping the interval it ran at.
    void StopTimer() noexcept;
    bool TimerOn() const noexcept { return timerOn_ != 0; }
    int TimerMs() const noexcept { return timerAppliedMs_; }

    PixelPoint Place() const noexcept {
        RECT r{};
        ::GetWindowRect(hwnd_, &r);
        return {r.left, r.top};
    }
    SIZE Size() const noexcept {
        RECT r{};
        ::GetWindowRect(hwnd_, &r);
        return {r.right - r.left, r.bottom - r.top};
    }
    // The screen's size and every monitor. Both change only with the display settings; asking for
    // them costs trips to the window system at every press.
    SIZE Screen() noexcept;
    const std::vector<Monitor>& Monitors();
    // Floats the window on top, unactivated, only when something covers it: restacking is a trip
    // to the window system.
    void Raise() const noexcept;
    // Answers WM_PAINT by filling what it asks for.
    void Paint(COLORREF color) const noexcept;
    static void Fill(HDC dc, const RECT& area, COLORREF color) noexcept;

    // The messages a draggable display answers alike: it is never activated, not even by the
    // system's move loop, and over it the pointer is a hand. True when `msg` is answered, with its
    // `result`.
    bool Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) noexcept;
    // Moves the window by the system's own move loop, as a caption drag would, with the input hook
    // off through `gate` (may be empty) and the hand closed, between the "CKDragStart" and
    // "CKDragEnd" sounds; then floats it on top, unless it was hidden meanwhile. `dropped` runs
    // once it is let go; `resume` after the drag whatever failed, before the hook comes back. A
    // log-off or a close inside the loop may end the display: with `alive` false nothing of it is
    // touched afterwards, and the hook comes back through a copy of the gate.
    void Drag(const std::function<void(bool enabled)>& gate, std::shared_ptr<const bool> alive,
              const std::function<void()>& resume, const std::function<void()>& dropped = {}) noexcept;
    // For a display going away while it is dragged: ends the system's move loop, which would
    // otherwise wait for a button release that now goes to another window.
    void EndDrag() const noexcept;
    void ShowOpenHand() const noexcept;
    bool Dragging() const noexcept { return dragging_; }

private:
    const HWND& hwnd_;
    std::string_view module_;
    UniqueFont font_;
    std::int32_t fontPoints_;
    int dpi_ = 0;
    int fontDpi_ = 0;
    bool fontFaceOk_ = false;
    bool fontMessageOpen_ = false;
    // Bumped whenever font_ is replaced, so the shape knows its font changed.
    unsigned fontGeneration_ = 0;
    bool shaped_ = false;
    CapText shapedText_;
    unsigned shapedFontGeneration_ = 0;
    int regionBuilds_ = 0;
    UINT_PTR timerOn_ = 0;
    int timerAppliedMs_ = 0;
    std::optional<SIZE> screen_;
    std::optional<std::vector<Monitor>> monitors_;
    UniqueCursor openHand_;
    UniqueCursor closedHand_;
    bool dragging_ = false;
};

}  // namespace spotlex
