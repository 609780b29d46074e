// A display ended inside its own drag (a log-off, the installer closing the program) and a remote
// "hide" that arrives during a drag.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "clock/clock_logic.h"
#include "clock/clock_window_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/sound_win.h"
#include "keystrokes/key_naming.h"
#include "keystrokes/keyboard_window_win.h"
#include "support/log_capture.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::InsideShape;
using test::MouseTo;
using test::PumpFor;
using test::PumpUntil;

// Presses at `from`, moves once this thread is in the move loop, and lets go.
std::thread DragFrom(POINT from) {
    const DWORD uiThread = GetCurrentThreadId();
    return std::thread([=] {
        MouseTo(from.x, from.y);
        Sleep(50);
        MouseTo(from.x, from.y, MOUSEEVENTF_LEFTDOWN);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        for (int i = 0; i < 250; ++i) {
            if (GetGUIThreadInfo(uiThread, &info) && (info.flags & GUI_INMOVESIZE)) break;
            Sleep(20);
        }
        for (int i = 1; i <= 10; ++i) {
            MouseTo(from.x + 8 * i, from.y + 5 * i);
            Sleep(30);
        }
        Sleep(300);
        MouseTo(from.x + 80, from.y + 50, MOUSEEVENTF_LEFTUP);
    });
}

// Runs once from a timer that fires inside the move loop.
std::function<void()> gInsideLoop;
bool gRan = false;

void CALLBACK InsideMoveLoop(HWND, UINT, UINT_PTR id, DWORD) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) || !(info.flags & GUI_INMOVESIZE)) return;
    KillTimer(nullptr, id);
    gRan = true;
    if (gInsideLoop) gInsideLoop();
}

class DragTeardownTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
        goLocalMachine = std::make_unique<RegistrySetting>();
        goLocalMachine->OpenKey(kMachineKey);
        gbPlaySounds = false;
        ASSERT_TRUE(LoadDisplayFont());
    }
    static void TearDownTestSuite() {
        goCurrentUser.reset();
        goLocalMachine.reset();
    }
    void SetUp() override { gRan = false; }
    void TearDown() override { gInsideLoop = nullptr; }

    // Drags the window at `grab` while `inside` runs in the move loop; the gate's calls.
    static void DragWith(POINT grab, std::function<void()> inside, const std::vector<bool>& gate) {
        gInsideLoop = std::move(inside);
        SetTimer(nullptr, 0, 20, InsideMoveLoop);
        std::thread drag = DragFrom(grab);
        PumpUntil([&] { return gate.size() == 2; }, 8000);
        drag.join();
        PumpFor(100);
    }
};

TEST_F(DragTeardownTest, ClockEndedInsideItsDragIsNotTouchedAfterwards) {
    test::ScopedLogFolder log;
    auto clock = std::make_unique<CClockWindow>();
    std::vector<bool> gate;
    clock->Window().InputGate = [&](bool on) { gate.push_back(on); };
    clock->SetSize(96);
    ASSERT_TRUE(clock->Display());
    const POINT grab = InsideShape(clock->hWnd());
    ASSERT_GE(grab.x, 0);
    DragWith(
        grab, [&] { clock.reset(); }, gate);
    ASSERT_TRUE(gRan) << "the timer did not fire inside the move loop";
    EXPECT_EQ(clock, nullptr);
    EXPECT_EQ(gate, (std::vector<bool>{false, true})) << "the hook comes back all the same";
    EXPECT_EQ(log.EntryCount(), 0) << log.LogText();
}

TEST_F(DragTeardownTest, KeystrokeWindowEndedInsideItsDragIsNotTouchedAfterwards) {
    test::ScopedLogFolder log;
    auto keys = std::make_unique<CKeyboardWindow>();
    std::vector<bool> gate;
    keys->SetInputGate([&](bool on) { gate.push_back(on); });
    // Where the presenter last put it: a drag that ends stores its place, one that was ended
    // with the window must not.
    goCurrentUser->SetValue("Keyboard_Left", rgsDWord, 210);
    goCurrentUser->SetValue("Keyboard_Top", rgsDWord, 160);
    keys->SetDelay(5000);
    keys->SetSize(96);
    keys->Display(NameKey(VK_DELETE, kModCtrl | kModAlt, false));
    const POINT grab = InsideShape(keys->Window().Hwnd());
    ASSERT_GE(grab.x, 0);
    DragWith(
        grab, [&] { keys.reset(); }, gate);
    ASSERT_TRUE(gRan) << "the timer did not fire inside the move loop";
    EXPECT_EQ(gate, (std::vector<bool>{false, true}));
    EXPECT_EQ(RegValueNumber(goCurrentUser->Value("Keyboard_Left", rgsDWord)), 210);
    EXPECT_EQ(RegValueNumber(goCurrentUser->Value("Keyboard_Top", rgsDWord)), 160);
    EXPECT_EQ(log.EntryCount(), 0) << log.LogText();
}

TEST_F(DragTeardownTest, RemoteHideDuringADragLeavesTheClockHidden) {
    CClockWindow clock;
    std::vector<bool> gate;
    clock.Window().InputGate = [&](bool on) { gate.push_back(on); };
    clock.SetSize(96);
    ASSERT_TRUE(clock.Display());
    HWND h = clock.hWnd();
    const POINT grab = InsideShape(h);
    ASSERT_GE(grab.x, 0);
    DragWith(
        grab,
        [&] {
            const std::string bytes = ClockRequestBytes("hide");
            COPYDATASTRUCT block{0, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
            EXPECT_EQ(SendMessageA(h, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block)), kClockActed);
        },
        gate);
    ASSERT_TRUE(gRan);
    EXPECT_FALSE(IsWindowVisible(h)) << "the drag's end showed the hidden clock again";
    EXPECT_TRUE(clock.Paused());
}

}  // namespace
}  // namespace spotlex
