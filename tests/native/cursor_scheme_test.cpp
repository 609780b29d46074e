#include "cursors/cursor_scheme.h"

#include <gtest/gtest.h>

#include "app/welcome_text.h"
#include "core/app_error.h"

namespace spotlex {
namespace {

TEST(CursorScheme, RolesAndListsFollowTheControlPanelsOrder) {
    EXPECT_EQ(CursorValueName(0), "Arrow");
    EXPECT_EQ(CursorValueName(6), "NWPen");
    EXPECT_EQ(CursorValueName(13), "UpArrow");
    EXPECT_EQ(CursorValueName(14), "");
    EXPECT_EQ(CursorValueName(-1), "");

    std::size_t longest = 99;
    EXPECT_EQ(SplitList("a,,bcd,", ",", longest), (std::vector<std::string>{"a", "", "bcd", ""}));
    EXPECT_EQ(longest, 3u);
    EXPECT_EQ(SplitList("no delimiter", ",", longest), (std::vector<std::string>{"no delimiter"}));
    EXPECT_EQ(longest, 12u);
    EXPECT_EQ(SplitList("x::y", "::", longest), (std::vector<std::string>{"x", "y"}));
}

TEST(CursorScheme, AListNeedsFourteenFilesAndKeepsOnlyTheFirstFourteen) {
    std::string list;
    for (int i = 0; i < 16; ++i) list += (i ? "," : "") + std::string("f") + std::to_string(i);
    const auto files = SchemeFiles(list);
    EXPECT_EQ(files[0], "f0");
    EXPECT_EQ(files[13], "f13");

    EXPECT_EQ(SchemeFiles(",,,,,,,,,,,,,")[13], "") << "fourteen empty parts are the built-in cursors";
    try {
        SchemeFiles("a,b,c,d,e,f,g,h,i,j,k,l,m");
        FAIL() << "thirteen files must not make a scheme";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), 9);
    }
}

TEST(CursorScheme, SwitchingRemembersTheSchemeInForceAndPutsItBack) {
    auto on = PlanLargeCursors(true, "Windows Black", "");
    EXPECT_TRUE(on.remember);
    EXPECT_EQ(on.apply, "Spotlex");
    // Already large: the remembered scheme is kept and nothing is applied.
    on = PlanLargeCursors(true, "Spotlex", "Windows Black");
    EXPECT_FALSE(on.remember);
    EXPECT_EQ(on.apply, "");

    EXPECT_EQ(PlanLargeCursors(false, "Spotlex", "Windows Black").apply, "Windows Black");
    EXPECT_EQ(PlanLargeCursors(false, "Spotlex", "").apply, "Windows Default");
    EXPECT_EQ(PlanLargeCursors(false, "Spotlex", "Spotlex").apply, "Windows Default");
    EXPECT_EQ(PlanLargeCursors(false, "spotlex", "Windows Black").apply, "") << "names compare exactly";
    const auto off = PlanLargeCursors(false, "Magnified", "Windows Black");
    EXPECT_FALSE(off.remember);
    EXPECT_EQ(off.apply, "") << "a scheme the user picked meanwhile stays";
}

TEST(Welcome, TitleAndParagraphs) {
    EXPECT_EQ(WelcomeTitle(), "Welcome to Spotlex");
    const std::string text = WelcomeText();
    EXPECT_EQ(text.rfind("Spotlex provides an intuitive way", 0), 0u);
    std::size_t blanks = 0;
    for (std::size_t at = text.find("\r\n\r\n"); at != std::string::npos; at = text.find("\r\n\r\n", at + 4))
        ++blanks;
    EXPECT_EQ(blanks, 4u);
    EXPECT_NE(text.find("impossible to relay everything that you do to you audience.  Spotlex allows"),
              std::string::npos);
    EXPECT_NE(text.find("as you perform them.  \r\n\r\nTo get started"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 18), "s of the software.");
}

}  // namespace
}  // namespace spotlex
