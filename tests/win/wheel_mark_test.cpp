// The mouse wheel: the hook passes turns on only when they are wanted, and a run of turns makes
// one mark beside the pointer, in the colour it began with, that goes a moment after the last turn.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/sys_input_win.h"
#include "core/unique_handle_win.h"
#include "mouse/wheel_mark_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpFor;
using test::PumpUntil;

void Turn(int delta) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(delta);
    ASSERT_EQ(SendInput(1, &in, sizeof in), 1u);
}

TEST(WheelHook, TurnsArriveAtThePointerOnlyWhenWanted) {
    SysInput input;
    std::vector<std::string> seen;
    input.Wheel = [&](int x, int y, std::int16_t delta) {
        seen.push_back(std::to_string(delta) + "@" + std::to_string(x) + "," + std::to_string(y));
    };
    input.MouseDown = [&](std::int16_t, std::int16_t, int, int) { seen.push_back("click"); };
    input.SetHooks(kHookMouse);
    input.SetEnabled(true);
    test::MouseTo(400, 300);
    Turn(120);
    PumpFor(300);
    EXPECT_TRUE(seen.empty()) << "not asked for";
    input.SetWheel(true);
    Turn(120);
    Turn(-240);
    ASSERT_TRUE(PumpUntil([&] { return seen.size() >= 2; }, 3000));
    PumpFor(100);
    EXPECT_EQ(seen, (std::vector<std::string>{"120@400,300", "-240@400,300"}));
    // Without the mouse bit nothing comes, wheel or not.
    input.SetHooks(0);
    seen.clear();
    Turn(120);
    PumpFor(300);
    EXPECT_TRUE(seen.empty());
}

TEST(WheelMark, ARunOfTurnsExtendsOneMarkThatGoesAfterTheLastTurn) {
    WheelMarkWindow mark;
    mark.Turn(1000, 500, 400, -120, RGB(255, 0, 255), 64);
    ASSERT_TRUE(mark.Shown());
    EXPECT_NE(GetForegroundWindow(), mark.Hwnd()) << "the mark never activates";
    EXPECT_TRUE(GetWindowLongA(mark.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT first{};
    GetWindowRect(mark.Hwnd(), &first);
    const int oneChevron = first.bottom - first.top;
    // Twenty fast turns, the pointer drifting, a later colour: still the one mark, grown to three.
    for (int i = 1; i <= 20; ++i) mark.Turn(1000 + 15 * i, 500 + i, 400 + 2 * i, -120, RGB(0, 255, 0), 64);
    EXPECT_EQ(mark.Mark().chevrons, kWheelMarkMaxChevrons);
    EXPECT_EQ(mark.Color(), RGB(255, 0, 255));
    RECT grown{};
    GetWindowRect(mark.Hwnd(), &grown);
    EXPECT_EQ(grown.left, first.left) << "the mark keeps its place";
    EXPECT_GT(grown.bottom - grown.top, 2 * oneChevron);
    UniqueRgn shape(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(mark.Hwnd(), shape.get()), COMPLEXREGION) << "cut to its chevrons";
    // It goes a moment after the last turn.
    ASSERT_TRUE(PumpUntil([&] { return !mark.Shown(); }, static_cast<int>(kWheelMarkLingerMs) + 2000));
    // The next turn begins a new mark.
    mark.Turn(9000, 10, 10, 120, RGB(0, 255, 0), 64);
    EXPECT_TRUE(mark.Mark().up);
    EXPECT_EQ(mark.Color(), RGB(0, 255, 0));
    EXPECT_EQ(mark.Mark().chevrons, 1);
}

}  // namespace
}  // namespace spotlex
