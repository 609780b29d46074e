#pragma once
// The keystroke display: frmKeyboardWindow is a floating, never-activated window shaped like the
// key caps it shows; it lingers, fades into the screen behind it and hides. CKeyboardWindow owns
// it and holds the settings it is shown with.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/shaped_display_win.h"
#include "core/unique_handle_win.h"
#include "core/window_win.h"
#include "keystrokes/cap_text_win.h"
#include "keystrokes/keyboard_layout.h"

namespace spotlex {

// Switches the input hook off (false) and on again (true) around a drag; frmMain passes its
// SysInputEnabled here.
using InputGate = std::function<void(bool enabled)>;

class frmKeyboardWindow : public Window {
public:
    // Form_Load: a hidden window of the designed size, font "Spotlex2" at 72 points, red fill.
    frmKeyboardWindow();
    // Unload: stores the place when the window has been placed this run, stops the timer.
    ~frmKeyboardWindow() override;

    // Shows `text` in `color` at `size` points (at most 188) and starts the linger time. False
    // when nothing is shown: the display font is missing (its message is shown, once at a
    // time), or the window could not be shaped.
    bool Display(const CapText& text, std::int32_t color, std::int32_t size);
    bool Display(std::string_view codes, std::int32_t color, std::int32_t size) {
        return Display(FontCodes(codes), color, size);
    }
    // Stops the timer; a visible window hides, forgets its text and stores its place.
    void Destroy() noexcept;
    // Reshapes the window when its text or font changed, and floats it on top unactivated.
    bool Recreate() noexcept;

    void SetDelay(std::int32_t ms) { timer_.SetDelay(ms); }
    std::int32_t Delay() const noexcept { return timer_.Delay(); }
    void SetInputGate(InputGate gate) { inputGate_ = std::move(gate); }
    // Shows the text on the monitor under the pointer, at the stored place's relative place.
    void SetFollowPointer(bool on) noexcept { followPointer_ = on; }
    bool FollowsPointer() const noexcept { return followPointer_; }

    // What the window shows now, for the program's own checks and the tests.
    const CapText& Text() const noexcept { return text_; }
    COLORREF FillColor() const noexcept { return fill_; }
    std::int32_t FontPoints() const noexcept { return display_.FontPoints(); }
    std::int32_t TimerInterval() const noexcept { return timer_.Interval(); }
    // Fade steps since the last Display, counting the one that hides the window.
    int FadeSteps() const noexcept { return fadeSteps_; }
    // Regions built since the window was created.
    int RegionBuilds() const noexcept { return display_.RegionBuilds(); }
    bool FontMessageOpen() const noexcept { return display_.FontMessageOpen(); }
    bool Dragging() const noexcept { return display_.Dragging(); }

protected:
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // Rebuilds the region when the text or the font changed since it was last built.
    void Shape(bool redraw);
    // The stored place on its monitor, or in its stead where that monitor is gone or the text
    // follows the pointer. The font is then made for that monitor.
    PixelPoint StoredPlace();
    // The current text's extent in the current font.
    SIZE MeasureText();
    // The monitor under the window now has another resolution: the text takes its size there.
    void Rescale(int dpi);
    enum class TextState { kKeepOnScreen, kPutAway };
    // Stops the timer; a visible window forgets its text, stores `place` (writing only what the
    // settings do not hold already) and, with kPutAway, takes the text off the screen.
    void StopAndStore(PixelPoint place, TextState text);
    void StorePlace(PixelPoint place);
    // Takes the text off the screen.
    void PutAway();
    void ApplyTimer() noexcept;
    void OnTimer() noexcept;
    void FadeStepNow();
    // Paints the whole window at once, without a paint message.
    void PaintNow() noexcept;
    void DragMove() noexcept;

    ShapedDisplay display_;
    CapTextShaper shaper_;
    LingerFadeTimer timer_;
    CapText text_;
    COLORREF fill_ = 255;
    UniqueMemDc measureDc_;
    // The text is on screen; put away, the window keeps its place with an empty shape.
    bool showing_ = false;
    int fadeSteps_ = 0;
    bool placedThisRun_ = false;
    // Where the text shows in place of the stored place; never stored, so the presenter's own
    // place comes back with its monitor.
    std::optional<PixelPoint> awayPlace_;
    bool followPointer_ = false;
    InputGate inputGate_;
};

class CKeyboardWindow {
public:
    // Creates the window; Size 48, Color 0 (black), Delay 1000 until start-up sets them.
    CKeyboardWindow();
    // Unloads the window, which stores its place.
    ~CKeyboardWindow();
    CKeyboardWindow(const CKeyboardWindow&) = delete;
    CKeyboardWindow& operator=(const CKeyboardWindow&) = delete;

    void Destroy() noexcept;
    // Shows key-cap text with this object's Color and Size; a missing font shows its message.
    void Display(const CapText& characters);
    void Display(std::string_view codes) { Display(FontCodes(codes)); }

    std::int32_t Color() const noexcept { return color_; }
    void SetColor(std::int32_t v) noexcept { color_ = v; }
    std::int32_t Delay() const noexcept { return delay_; }
    void SetDelay(std::int32_t v);
    std::int32_t Size() const noexcept { return size_; }
    void SetSize(std::int32_t v) noexcept { size_ = v; }
    // frmMain switches its hook with it.
    void SetInputGate(InputGate gate);
    void SetFollowPointer(bool on) noexcept { window_->SetFollowPointer(on); }

    frmKeyboardWindow& Window() noexcept { return *window_; }

private:
    std::unique_ptr<frmKeyboardWindow> window_;
    std::int32_t size_ = 48;
    std::int32_t color_ = 0;
    std::int32_t delay_ = 1000;
};

}  // namespace spotlex
