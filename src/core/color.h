#pragma once
// A colour value in the COLORREF layout 0x00BBGGRR, with the arithmetic the displays share:
// parts, hexadecimal text, blends and the fixed-step fade.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace spotlex {

inline constexpr std::int32_t kMaxColor = 0xFFFFFF;
inline constexpr std::int32_t kErrInvalidColorValue = static_cast<std::int32_t>(0x80040204u);
inline constexpr std::int32_t kErrInvalidPercentage = static_cast<std::int32_t>(0x80040205u);

class CColor {
public:
    CColor() = default;
    explicit CColor(std::int32_t color) { SetColorValue(color); }

    // Reading clamps a stored value above 0xFFFFFF (only WebColor can store one) to white.
    std::int32_t ColorValue();
    // Values above 0xFFFFFF are stored as 0xFFFFFF; the test is signed, so system-colour
    // constants such as 0x8000000F are kept as they are.
    void SetColorValue(std::int32_t newColor);

    // Six upper-case hexadecimal digits in the stored order, blue first ("0000FF" for red).
    std::string WebColor() const;
    // Stores the number that "&H" followed by the text denotes, unclamped; raises the
    // conversion error for a text that is no hexadecimal number.
    void SetWebColor(std::string_view hexCode);

    std::int32_t Red() const;
    std::int32_t Green() const;
    std::int32_t Blue() const;
    // Part writers take 0..255; values outside are clamped into it.
    void SetRed(std::int32_t newRed);
    void SetGreen(std::int32_t newGreen);
    void SetBlue(std::int32_t newBlue);

    // Blend toward color2 by percentage (0..100); raises "Invalid Percentage" or "Invalid Color Value".
    std::int32_t GradientColor(std::int32_t color2, std::int16_t percentage) const;

    // Win32 only (color_win.cpp). The system colour whose index is the low byte, so 15 and the
    // button-face constant 0x8000000F give the same colour.
    void SetFromSysColor(std::int32_t vbSysColor);
    // The colour of the screen pixel at (x, y) in screen pixels; white where it cannot be read.
    void SetFromScreenPoint(std::int32_t x, std::int32_t y);

    // Steps each part `amount` toward the target without passing it; true while the colour
    // still differs from the target.
    bool ShiftToward(std::int32_t targetColor, std::int32_t amount);

private:
    void SetParts(std::int32_t red, std::int32_t green, std::int32_t blue);

    std::int32_t value_ = 0;
};

// The index of GetSysColor that a plain index or a system-colour constant (0x80000000 | index) names.
inline int SysColorIndex(std::int32_t vbSysColor) {
    return static_cast<int>(vbSysColor & 0xFF);
}

// The keystroke window's fade step: shifts the fill 16 toward the background. Returns the colour to
// show next, or nothing when this step reaches the background and the window should hide.
inline constexpr std::int32_t kFadeStepAmount = 16;
std::optional<std::int32_t> FadeStep(std::int32_t fill, std::int32_t background);

}  // namespace spotlex
