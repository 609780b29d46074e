// Settings values converted between text and number as the registry code writes them.
#include <gtest/gtest.h>

#include "core/app_error.h"
#include "core/reg_value.h"

namespace spotlex {
namespace {

TEST(RegValueConversion, TextAndNumber) {
    EXPECT_EQ(RegValueText(RegValue{}), "");
    EXPECT_EQ(RegValueText(RegValue{std::int32_t{-42}}), "-42");
    EXPECT_EQ(RegValueText(RegValue{std::string("abc")}), "abc");

    EXPECT_EQ(RegValueNumber(RegValue{}), 0);
    EXPECT_EQ(RegValueNumber(RegValue{std::int32_t{-1}}), -1);
    EXPECT_EQ(RegValueNumber(RegValue{std::string(" &H10 ")}), 16);
    EXPECT_EQ(RegValueNumber(RegValue{std::string("12.5")}), 12);
    EXPECT_EQ(RegValueNumber(RegValue{std::string("-7")}), -7);
    try {
        RegValueNumber(RegValue{std::string("abc")});
        FAIL() << "a text that is no number converts to nothing";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), kErrTypeMismatch);
    }
}

}  // namespace
}  // namespace spotlex
