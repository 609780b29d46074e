#include "core/runtime_rules.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/app_error.h"

namespace spotlex {
namespace {

// Runs `f` and returns the number of the AppError it raises, or 0 when it raises none.
template <class F>
std::int32_t ErrorNumberOf(F&& f) {
    try {
        f();
    } catch (const AppError& e) {
        return e.Number();
    }
    return 0;
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(127.5), 128);
    EXPECT_EQ(RoundHalfEven(7372.5), 7372);
    EXPECT_EQ(RoundHalfEven(5542.5), 5542);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

TEST(RoundHalfEven, OtherFractionsGoToTheNearest) {
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(-2.6), -3);
    EXPECT_EQ(RoundHalfEven(-2.4), -2);
    EXPECT_EQ(RoundHalfEven(1e17), 1e17);
}

TEST(RoundToInt32, OverflowsOutsideTheSignedRange) {
    EXPECT_EQ(RoundToInt32(2147483647.4), 2147483647);
    EXPECT_EQ(RoundToInt32(-2147483648.5), -2147483648);  // the half goes to the even -2147483648
    EXPECT_EQ(ErrorNumberOf([] { RoundToInt32(2147483647.5); }), kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([] { RoundToInt32(-2147483649.0); }), kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([] { RoundToInt32(std::numeric_limits<double>::quiet_NaN()); }), kErrOverflow);
}

TEST(IntDivide, RoundsBothOperandsThenTruncates) {
    EXPECT_EQ(IntDivide(7, 2), 3);
    EXPECT_EQ(IntDivide(-7, 2), -3);
    EXPECT_EQ(IntDivide(7.5, 2.5), 4);  // 8 \ 2
    EXPECT_EQ(IntDivide(6.5, 1.5), 3);  // 6 \ 2
    EXPECT_EQ(ErrorNumberOf([] { IntDivide(1, 0.4); }), 11);
    EXPECT_EQ(ErrorNumberOf([] { IntDivide(-2147483648.0, -1); }), kErrOverflow);
}

TEST(Twips, PixelsFromTwipsAtCommonResolutions) {
    EXPECT_EQ(TwipsPerPixel(96), 15);
    EXPECT_EQ(TwipsPerPixel(144), 10);
    EXPECT_EQ(TwipsPerPixel(192), 7.5);
    EXPECT_EQ(TwipsToPixels(4455, TwipsPerPixel(96)), 297);
    EXPECT_EQ(TwipsToPixels(915, TwipsPerPixel(96)), 61);
    EXPECT_EQ(TwipsToPixels(1500, TwipsPerPixel(192)), 187);  // 7.5 rounds to 8
    EXPECT_EQ(TwipsToPixels(7372.5, 15), 491);                // 7372 \ 15
}

TEST(TextToNumber, DecimalTexts) {
    EXPECT_EQ(TextToNumber("42"), 42);
    EXPECT_EQ(TextToNumber("  42\t"), 42);
    EXPECT_EQ(TextToNumber("-7"), -7);
    EXPECT_EQ(TextToNumber("+7"), 7);
    EXPECT_EQ(TextToNumber("12.5"), 12.5);
    EXPECT_EQ(TextToNumber(".5"), 0.5);
    EXPECT_EQ(TextToNumber("3."), 3);
    EXPECT_EQ(TextToNumber("1e3"), 1000);
    EXPECT_EQ(TextToNumber("2.5E-1"), 0.25);
    EXPECT_EQ(TextToNumber("1d2"), 100);
    EXPECT_EQ(TextToNumber("1e-400"), 0);
}

TEST(TextToNumber, HexadecimalAndOctalAre32BitPatterns) {
    EXPECT_EQ(TextToNumber("&H10"), 16);
    EXPECT_EQ(TextToNumber("&hff"), 255);
    EXPECT_EQ(TextToNumber(" &HFFFFFFFF "), -1);
    EXPECT_EQ(TextToNumber("&H80000000"), -2147483648.0);
    EXPECT_EQ(TextToNumber("&H7FFFFFFF"), 2147483647);
    EXPECT_EQ(TextToNumber("&H000000010"), 16);
    EXPECT_EQ(TextToNumber("&O17"), 15);
    EXPECT_EQ(TextToNumber("&17"), 15);
    EXPECT_EQ(ErrorNumberOf([] { TextToNumber("&H100000000"); }), kErrOverflow);
}

TEST(TextToNumber, TextsThatAreNoNumberRaiseTypeMismatch) {
    for (const char* text : {"", "   ", "abc", "12abc", "1 2", "&H", "&HG", "&O8", "-", ".", "1e", "1e+",
                             "inf", "nan", "0x10", "1,5", "--1", "&H-1"}) {
        try {
            TextToNumber(text);
            ADD_FAILURE() << "no error for \"" << text << "\"";
        } catch (const AppError& e) {
            EXPECT_EQ(e.Number(), kErrTypeMismatch) << text;
            EXPECT_EQ(e.Source(), "");
            EXPECT_EQ(e.Description(), "Type mismatch");
        }
    }
}

TEST(TextToNumber, HugeMagnitudeOverflows) {
    try {
        TextToNumber("1e400");
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), kErrOverflow);
        EXPECT_EQ(e.Description(), "Overflow");
    }
}

TEST(TextToInt32, RoundsHalvesToEvenAndChecksTheRange) {
    EXPECT_EQ(TextToInt32("12.5"), 12);
    EXPECT_EQ(TextToInt32("13.5"), 14);
    EXPECT_EQ(TextToInt32(" -0.5 "), 0);
    EXPECT_EQ(TextToInt32("&HFFFFFFFF"), -1);
    EXPECT_EQ(TextToInt32("2147483647"), 2147483647);
    EXPECT_EQ(ErrorNumberOf([] { TextToInt32("2147483648"); }), kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([] { TextToInt32("-3e9"); }), kErrOverflow);
    EXPECT_EQ(ErrorNumberOf([] { TextToInt32("x"); }), kErrTypeMismatch);
}

TEST(HexUpper, UpperCaseWithoutLeadingZeros) {
    EXPECT_EQ(HexUpper(0), "0");
    EXPECT_EQ(HexUpper(0xFF), "FF");
    EXPECT_EQ(HexUpper(0x20053), "20053");
    EXPECT_EQ(HexUpper(0xABCDEF), "ABCDEF");
    EXPECT_EQ(HexUpper(-1), "FFFFFFFF");
    EXPECT_EQ(HexUpper(static_cast<std::int32_t>(0x8000000F)), "8000000F");
}

TEST(LogFormats, VersionTimeAndMegabytes) {
    EXPECT_EQ(FormatVersion(4, 5, 12), "4.05.0012");
    EXPECT_EQ(FormatVersion(10, 11, 12345), "10.11.12345");
    EXPECT_EQ(FormatLogTime(2026, 3, 7, 21, 5), "03/07/2026 09:05 PM");
    EXPECT_EQ(FormatLogTime(2026, 12, 31, 0, 0), "12/31/2026 12:00 AM");
    EXPECT_EQ(FormatLogTime(2026, 1, 1, 12, 59), "01/01/2026 12:59 PM");
    EXPECT_EQ(FormatLogTime(2026, 1, 1, 11, 59), "01/01/2026 11:59 AM");
    EXPECT_EQ(FormatMegabytes(0), "0 MB.");
    EXPECT_EQ(FormatMegabytes(262), "262 MB.");
    EXPECT_EQ(FormatMegabytes(999), "999 MB.");
    EXPECT_EQ(FormatMegabytes(2500), "2,500 MB.");
    EXPECT_EQ(FormatMegabytes(123456), "123,456 MB.");
    EXPECT_EQ(FormatMegabytes(1234567890), "1,234,567,890 MB.");
    EXPECT_EQ(FormatMegabytes(-2500), "-2,500 MB.");
}

}  // namespace
}  // namespace spotlex
