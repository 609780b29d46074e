#pragma once
// Number and text rules that the program's stored values, positions and log entries depend on.
// Written once here and used everywhere.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace spotlex {

// Rounds to a whole number, halves to the even neighbour (0.5 -> 0, 1.5 -> 2, 2.5 -> 2).
double RoundHalfEven(double x);

// Rounds to a 32-bit integer, halves to even; raises AppError kErrOverflow outside the 32-bit range.
std::int32_t RoundToInt32(double x);

// Integer division: both operands rounded half to even first, then divided, truncating toward zero.
// Raises AppError 11 ("Division by zero") when the rounded divisor is 0.
std::int32_t IntDivide(double a, double b);

// Twips per pixel for a screen of `dpi` dots per inch (15 at 96 dpi).
double TwipsPerPixel(int dpi);

// A stored position in whole pixels: round(twips) integer-divided by round(twips per pixel).
std::int32_t TwipsToPixels(double twips, double twipsPerPixel);

// Converts text to a number as the settings expect: blanks around it ignored, "&H" hexadecimal
// ("&HFFFFFFFF" is -1), decimals and exponents allowed. Raises AppError kErrTypeMismatch for an
// empty text or one that is no number.
double TextToNumber(std::string_view text);

// TextToNumber, then rounded half to even to a signed 32-bit number (overflow raises).
std::int32_t TextToInt32(std::string_view text);

// Upper-case hexadecimal without leading zeros ("20053", "FF"; 0 is "0"). Negative values show
// their 32-bit two's complement ("FFFFFFFF").
std::string HexUpper(std::int32_t value);

// The errata log's formats: "#0." "00." "0000" (4, 5, 12 -> "4.05.0012").
std::string FormatVersion(int major, int minor, int revision);

// "mm/dd/yyyy hh:mm AM/PM", a 12-hour clock ("03/07/2026 09:05 PM"; midnight is 12:00 AM).
std::string FormatLogTime(int year, int month, int day, int hour24, int minute);

// "###,###,##0 MB." ("262 MB.", "2,500 MB.").
std::string FormatMegabytes(std::int64_t megabytes);

}  // namespace spotlex
