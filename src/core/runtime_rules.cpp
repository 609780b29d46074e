#include "core/runtime_rules.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "core/app_error.h"

namespace spotlex {

namespace {

constexpr std::int32_t kErrDivisionByZero = 11;

[[noreturn]] void RaiseTypeMismatch() {
    throw AppError(kErrTypeMismatch, "", "Type mismatch");
}
[[noreturn]] void RaiseOverflow() {
    throw AppError(kErrOverflow, "", "Overflow");
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

int DigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 99;
}

// "&H..." or "&O..." (or "&" and octal digits): a 32-bit pattern, so "&HFFFFFFFF" is -1.
double RadixTextToNumber(std::string_view digits) {
    int radix = 8;
    if (!digits.empty() && (digits.front() == 'H' || digits.front() == 'h')) {
        radix = 16;
        digits.remove_prefix(1);
    } else if (!digits.empty() && (digits.front() == 'O' || digits.front() == 'o')) {
        digits.remove_prefix(1);
    }
    if (digits.empty()) RaiseTypeMismatch();
    std::uint64_t value = 0;
    for (char c : digits) {
        int d = DigitValue(c);
        if (d >= radix) RaiseTypeMismatch();
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(d);
        if (value > 0xFFFFFFFFull) RaiseOverflow();
    }
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

// Sign, digits with an optional point, an optional exponent ("e" or "d", as the runtime accepts).
// Checked by hand so that nothing else ("inf", "0x1p3", a locale's comma) gets through.
double DecimalTextToNumber(std::string_view text) {
    std::string normal;
    normal.reserve(text.size());
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') normal += '-';
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        normal += text[i++];
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == '.') {
        normal += text[i++];
        while (i < text.size() && IsDigit(text[i])) {
            normal += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) RaiseTypeMismatch();
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        normal += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal += text[i++];
        std::size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            normal += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) RaiseTypeMismatch();
    }
    if (i != text.size()) RaiseTypeMismatch();

    double value = 0;
    auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Underflow is a harmless zero; only a too large magnitude overflows.
        bool tiny = normal.find("e-") != std::string::npos;
        if (tiny) return 0.0;
        RaiseOverflow();
    }
    if (ec != std::errc() || end != normal.data() + normal.size()) RaiseTypeMismatch();
    if (!std::isfinite(value)) RaiseOverflow();
    return value;
}

std::string PadLeft(std::int64_t value, std::size_t width) {
    bool negative = value < 0;
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

}  // namespace

double RoundHalfEven(double x) {
    if (!std::isfinite(x)) return x;
    double lower = std::floor(x);
    double fraction = x - lower;  // exact for every double
    if (fraction > 0.5) return lower + 1.0;
    if (fraction < 0.5) return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::int32_t RoundToInt32(double x) {
    double r = RoundHalfEven(x);
    if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max())) {
        RaiseOverflow();
    }
    return static_cast<std::int32_t>(r);
}

std::int32_t IntDivide(double a, double b) {
    std::int32_t dividend = RoundToInt32(a);
    std::int32_t divisor = RoundToInt32(b);
    if (divisor == 0) throw AppError(kErrDivisionByZero, "", "Division by zero");
    if (dividend == std::numeric_limits<std::int32_t>::min() && divisor == -1) RaiseOverflow();
    return dividend / divisor;
}

double TwipsPerPixel(int dpi) {
    // A screen that reports no resolution is taken as the usual 96 dpi.
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

std::int32_t TwipsToPixels(double twips, double twipsPerPixel) {
    return IntDivide(twips, twipsPerPixel);
}

double TextToNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) RaiseTypeMismatch();
    if (text.front() == '&') return RadixTextToNumber(text.substr(1));
    return DecimalTextToNumber(text);
}

std::int32_t TextToInt32(std::string_view text) {
    return RoundToInt32(TextToNumber(text));
}

std::string HexUpper(std::int32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(value);
    std::string text;
    do {
        text.insert(text.begin(), kDigits[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    return text;
}

std::string FormatVersion(int major, int minor, int revision) {
    return PadLeft(major, 1) + "." + PadLeft(minor, 2) + "." + PadLeft(revision, 4);
}

std::string FormatLogTime(int year, int month, int day, int hour24, int minute) {
    int hour12 = hour24 % 12 == 0 ? 12 : hour24 % 12;
    return PadLeft(month, 2) + "/" + PadLeft(day, 2) + "/" + PadLeft(year, 4) + " " + PadLeft(hour12, 2) +
           ":" + PadLeft(minute, 2) + (hour24 < 12 ? " AM" : " PM");
}

std::string FormatMegabytes(std::int64_t megabytes) {
    std::string digits = PadLeft(megabytes, 1);
    std::string text;
    std::size_t count = 0;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, ++count) {
        if (count > 0 && count % 3 == 0 && *it != '-') text += ',';
        text += *it;
    }
    return std::string(text.rbegin(), text.rend()) + " MB.";
}

}  // namespace spotlex
