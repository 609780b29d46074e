#include "core/color.h"

#include <algorithm>
#include <cstdlib>

#include "core/app_error.h"
#include "core/runtime_rules.h"

namespace spotlex {

namespace {

constexpr char kSource[] = "CColor";

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The parts by floor division of the value as it is, so odd values (negative system-colour
// constants, WebColor texts of more than six digits) split the way the stored number says.
struct Parts {
    std::int64_t red, green, blue;
};

Parts Split(std::int32_t c) {
    std::int64_t blue = FloorDiv(c, 65536);
    std::int64_t green = FloorDiv(c - blue * 65536, 256);
    std::int64_t red = c - green * 256 - blue * 65536;
    return {red, green, blue};
}

std::int32_t ToPartRange(std::int64_t part) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(part, 0, 255));
}

std::string TwoHexDigits(std::int32_t part) {
    std::string digits = HexUpper(part);
    return digits.size() == 1 ? "0" + digits : digits;
}

}  // namespace

std::int32_t CColor::ColorValue() {
    if (value_ > kMaxColor) value_ = kMaxColor;
    return value_;
}

void CColor::SetColorValue(std::int32_t newColor) {
    value_ = newColor > kMaxColor ? kMaxColor : newColor;
}

std::string CColor::WebColor() const {
    std::string digits = HexUpper(value_);
    if (digits.size() < 6) digits.insert(0, 6 - digits.size(), '0');
    return digits;
}

void CColor::SetWebColor(std::string_view hexCode) {
    value_ = TextToInt32("&H" + std::string(hexCode));
}

std::int32_t CColor::Red() const {
    return static_cast<std::int32_t>(Split(value_).red);
}
std::int32_t CColor::Green() const {
    return static_cast<std::int32_t>(Split(value_).green);
}
std::int32_t CColor::Blue() const {
    return static_cast<std::int32_t>(Split(value_).blue);
}

void CColor::SetRed(std::int32_t newRed) {
    SetParts(newRed, Green(), Blue());
}
void CColor::SetGreen(std::int32_t newGreen) {
    SetParts(Red(), newGreen, Blue());
}
void CColor::SetBlue(std::int32_t newBlue) {
    SetParts(Red(), Green(), newBlue);
}

void CColor::SetParts(std::int32_t red, std::int32_t green, std::int32_t blue) {
    SetWebColor(TwoHexDigits(ToPartRange(blue)) + TwoHexDigits(ToPartRange(green)) +
                TwoHexDigits(ToPartRange(red)));
}

std::int32_t CColor::GradientColor(std::int32_t color2, std::int16_t percentage) const {
    if (percentage > 100 || percentage < 0)
        throw AppError(kErrInvalidPercentage, kSource, "Invalid Percentage");
    if (color2 < 0 || color2 > kMaxColor)
        throw AppError(kErrInvalidColorValue, kSource, "Invalid Color Value");

    Parts own = Split(value_);
    Parts other = Split(color2);
    if (std::llabs(own.red - other.red) <= percentage && std::llabs(own.green - other.green) <= percentage &&
        std::llabs(own.blue - other.blue) <= percentage) {
        return color2;
    }
    double share = percentage / 100.0;
    auto blend = [share](std::int64_t p1, std::int64_t p2) {
        return RoundHalfEven(static_cast<double>(p1) - share * static_cast<double>(p1 - p2));
    };
    return RoundToInt32(blend(own.red, other.red) + blend(own.green, other.green) * 256 +
                        blend(own.blue, other.blue) * 65536);
}

bool CColor::ShiftToward(std::int32_t targetColor, std::int32_t amount) {
    CColor target;
    target.SetColorValue(targetColor);

    auto step = [amount](std::int32_t own, std::int32_t t) {
        std::int64_t next = own;
        if (own < t) {
            next = static_cast<std::int64_t>(own) + amount;
            if (next + amount > t) next = t;
        } else if (own > t) {
            next = static_cast<std::int64_t>(own) - amount;
            if (next - amount < t) next = t;
        }
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(next, INT32_MIN, INT32_MAX));
    };
    if (Red() != target.Red()) SetRed(step(Red(), target.Red()));
    if (Green() != target.Green()) SetGreen(step(Green(), target.Green()));
    if (Blue() != target.Blue()) SetBlue(step(Blue(), target.Blue()));
    return ColorValue() != target.ColorValue();
}

std::optional<std::int32_t> FadeStep(std::int32_t fill, std::int32_t background) {
    CColor color;
    color.SetColorValue(fill);
    if (!color.ShiftToward(background, kFadeStepAmount)) return std::nullopt;
    return color.ColorValue();
}

}  // namespace spotlex
