// The break clock's window and controller under a hand-driven clock: texts, the alarm, pause and
// restart, the place it keeps, its publication and the requests it answers.
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
#include "support/test_support.h"

namespace spotlex {
namespace {
using test::InsideShape;
using test::DragFrom;
using test::PumpFor;
using test::PumpUntil;

RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

std::int32_t Published(const char* key) {
    RegistrySetting r;
    r.OpenKey(key);
    RegValue v = r.Value(settings::kSpotlexClock.name, rgsDWord);
    return IsEmpty(v) ? 0 : RegValueNumber(v);
}

std::int32_t HandleNumber(HWND h) {
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(h));
}

class ClockWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::OpenProgramSettings();
        gbPlaySounds = false;
        ASSERT_TRUE(LoadDisplayFont());
    }
    static void TearDownTestSuite() { test::CloseProgramSettings(); }
    void SetUp() override {
        for (auto* s :
             {&settings::kClockLeft.name, &settings::kClockTop.name, &settings::kClockMonitor.device.name}) {
            try {
                goCurrentUser->DeleteValue(*s);
            } catch (...) {
            }
        }
    }
    // Starts a clock whose time moves only when the test says so.
    void Drive(frmClock& w) {
        w.TimeSource = [this] {
            ClockNow now;
            now.steadyMs = ms_;
            now.hour = hour_;
            now.minute = minute_;
            return now;
        };
    }
    void Advance(frmClock& w, std::int64_t ms) {
        ms_ += ms;
        w.Timer_Tick();
    }
    std::int64_t ms_ = 7'000'250;
    int hour_ = 13;
    int minute_ = 45;
};

TEST_F(ClockWindowTest, CountdownShowsItsTextsRingsOnceAndBlinks) {
    CClockWindow clock;
    frmClock& w = clock.Window();
    Drive(w);
    clock.SetColor(0x800000);
    clock.SetSize(128);
    clock.SetStartTime(1);
    clock.SetShowSeconds(false);
    ASSERT_TRUE(clock.Display());
    HWND h = clock.hWnd();
    EXPECT_EQ(w.Text(), "1");
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_NE(GetForegroundWindow(), h) << "the clock never activates";
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(w.BackColor(), 0x800000u);
    EXPECT_EQ(w.FontPoints(), 128);
    EXPECT_EQ(w.TimerInterval(), 1000);
    UniqueRgn shape(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(h, shape.get()), ERROR) << "the window is cut to its digits";

    Advance(w, 1000);
    EXPECT_EQ(w.Text(), "0:59");
    Advance(w, 58'000);
    EXPECT_EQ(w.Text(), "0:01");
    EXPECT_EQ(w.AlarmsPlayed(), 0);
    Advance(w, 1000);
    EXPECT_EQ(w.Text(), "0");
    EXPECT_EQ(w.TimerInterval(), 500);
    Advance(w, 500);
    EXPECT_EQ(w.Text(), "");
    EXPECT_EQ(WindowRect(h).right - WindowRect(h).left, 0) << "the blank half shows nothing";
    Advance(w, 500);
    EXPECT_EQ(w.Text(), "0");
    EXPECT_GT(WindowRect(h).right - WindowRect(h).left, 0);
    EXPECT_EQ(w.AlarmsPlayed(), 1) << "one alarm per run-out";

    // A restarted break runs out again and rings again.
    ASSERT_TRUE(clock.Display());
    EXPECT_EQ(w.Text(), "1");
    Advance(w, 61'000);
    EXPECT_EQ(w.AlarmsPlayed(), 2);
}

TEST_F(ClockWindowTest, TimeOfDayAndTheRealTimerTick) {
    CClockWindow clock;
    frmClock& w = clock.Window();
    Drive(w);
    clock.SetShowAsClock(true);
    ASSERT_TRUE(clock.Display());
    EXPECT_EQ(w.Text(), "1:45");
    hour_ = 0;
    minute_ = 7;
    EXPECT_TRUE(PumpUntil([&] { return w.Text() == "12:07"; }, 2500)) << "the window's own timer ticks";
}

TEST_F(ClockWindowTest, HideKeepsARunningClockHiddenUntilShow) {
    CClockWindow clock;
    frmClock& w = clock.Window();
    Drive(w);
    clock.SetStartTime(15);
    ASSERT_TRUE(clock.Display());
    clock.Hide();
    EXPECT_FALSE(clock.Visible());
    Advance(w, 120'000);
    EXPECT_FALSE(clock.Visible()) << "the tick does not bring it back";
    EXPECT_EQ(w.Text(), "13") << "the count-down goes on";
    clock.Show();
    EXPECT_TRUE(clock.Visible());
    // Show on a paused clock shows the time it stands at.
    clock.Hide();
    clock.SetPaused(true);
    clock.Show();
    EXPECT_TRUE(clock.Visible());
}

TEST_F(ClockWindowTest, PublishedWhileOpenWithdrawnAfterAndFoundByOthers) {
    HWND h = nullptr;
    {
        CClockWindow clock;
        h = clock.hWnd();
        EXPECT_EQ(Published(kMachineKey), HandleNumber(h));
        EXPECT_EQ(Published(kMachineMirrorKey), HandleNumber(h));
        EXPECT_EQ(FindPublishedClock(), h);
        clock.Destroy();
        EXPECT_EQ(Published(kMachineKey), 0);
        EXPECT_EQ(Published(kMachineMirrorKey), 0);
    }
    EXPECT_EQ(FindPublishedClock(), nullptr);
    // A stale handle in the machine key is passed over for the live one in the mirror.
    CClockWindow clock;
    goLocalMachine->SetValue(settings::kSpotlexClock.name, rgsDWord, HandleNumber(GetDesktopWindow()));
    EXPECT_EQ(FindPublishedClock(), clock.hWnd());
}

TEST_F(ClockWindowTest, PlaceIsClampedOntoTheScreenAndStoredAtClose) {
    goCurrentUser->SetValue(settings::kClockLeft.name, rgsDWord, 100000);
    goCurrentUser->SetValue(settings::kClockTop.name, rgsDWord, -100000);
    RECT shown{};
    {
        CClockWindow clock;
        Drive(clock.Window());
        clock.SetSize(188);
        clock.SetStartTime(15);
        clock.SetShowSeconds(true);
        ASSERT_TRUE(clock.Display());
        shown = WindowRect(clock.hWnd());
        EXPECT_EQ(shown.top, 0);
        EXPECT_GT(shown.left, 0);
        EXPECT_EQ(shown.right, GetSystemMetrics(SM_CXSCREEN)) << "15:00 at 188 points ends at the right edge";
        // A restart keeps the clock where it is, on the screen; 12:00:00 at 188 points is wider
        // than the screen, so it is drawn smaller rather than cut off.
        clock.SetShowAsClock(true);
        ASSERT_TRUE(clock.Display());
        EXPECT_LT(clock.Window().FontPoints(), 188);
        EXPECT_GT(clock.Window().FontPoints(), 100);
        clock.SetWindowWidth(kClockWidthText);
        EXPECT_GE(WindowRect(clock.hWnd()).left, 0);
        EXPECT_LE(WindowRect(clock.hWnd()).right, GetSystemMetrics(SM_CXSCREEN));
        // Left where a monitor was, and that monitor is gone: the clock comes back onto the screen.
        SetWindowPos(clock.hWnd(), nullptr, 3000, 2000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(clock.hWnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
        EXPECT_LE(WindowRect(clock.hWnd()).bottom, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_LT(WindowRect(clock.hWnd()).left, GetSystemMetrics(SM_CXSCREEN));
        SetWindowPos(clock.hWnd(), nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RegValue left = goCurrentUser->Value(settings::kClockLeft.name, rgsDWord);
    RegValue top = goCurrentUser->Value(settings::kClockTop.name, rgsDWord);
    EXPECT_EQ(RegValueNumber(left), 40);
    EXPECT_EQ(RegValueNumber(top), 60);
    CClockWindow again;
    Drive(again.Window());
    ASSERT_TRUE(again.Display());
    EXPECT_EQ(WindowRect(again.hWnd()).left, 40);
    EXPECT_EQ(WindowRect(again.hWnd()).top, 60);
}

TEST_F(ClockWindowTest, OnAMonitorThatIsGoneItStandsInOnThePrimaryAndKeepsItsPlace) {
    // Left at the top-left corner of a projector that is not plugged in.
    const auto& m = settings::kClockMonitor;
    goCurrentUser->SetValue(settings::kClockLeft.name, rgsDWord, 1280);
    goCurrentUser->SetValue(settings::kClockTop.name, rgsDWord, 0);
    goCurrentUser->SetValue(m.device.name, rgsString, std::string("\\\\.\\DISPLAY9"));
    for (auto [setting, value] : {std::pair{&m.left, 1280}, {&m.top, 0}, {&m.right, 3200}, {&m.bottom, 1080}})
        goCurrentUser->SetValue(setting->name, rgsDWord, value);
    {
        CClockWindow clock;
        Drive(clock.Window());
        ASSERT_TRUE(clock.Display());
        EXPECT_EQ(WindowRect(clock.hWnd()).left, 0) << "the same corner of the primary monitor";
        EXPECT_EQ(WindowRect(clock.hWnd()).top, 0);
        // Monitors change again while it shows: it stays in for the missing one.
        SendMessageA(clock.hWnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024));
        EXPECT_EQ(WindowRect(clock.hWnd()).left, 0);
    }
    // Closed: the place on the projector is kept for when it comes back.
    EXPECT_EQ(RegValueNumber(goCurrentUser->Value(settings::kClockLeft.name, rgsDWord)), 1280);
    EXPECT_EQ(std::get<std::string>(goCurrentUser->Value(m.device.name, rgsString)), "\\\\.\\DISPLAY9");
}

TEST_F(ClockWindowTest, TheWarningColourComesAtItsSecondAndAClickSilencesTheBlinkingZero) {
    CClockWindow clock;
    frmClock& w = clock.Window();
    Drive(w);
    std::vector<bool> gate;
    w.InputGate = [&](bool on) { gate.push_back(on); };
    clock.SetColor(0x800000);
    clock.SetStartTime(2);
    clock.SetShowSeconds(true);
    clock.SetWindowWarning(1, 0x00BFFF);
    ASSERT_TRUE(clock.Display());
    EXPECT_EQ(w.ShownColor(), 0x800000u);
    Advance(w, 59'000);
    EXPECT_EQ(w.Text(), "1:01");
    EXPECT_EQ(w.ShownColor(), 0x800000u);
    Advance(w, 1000);
    EXPECT_EQ(w.Text(), "1:00");
    EXPECT_EQ(w.ShownColor(), 0x00BFFFu);
    EXPECT_EQ(w.BackColor(), 0x800000u) << "the chosen colour stays for the next start";

    Advance(w, 60'000);
    ASSERT_EQ(w.Text(), "0:00");
    EXPECT_EQ(w.AlarmsPlayed(), 1);
    const POINT grab = InsideShape(clock.hWnd());
    ASSERT_GE(grab.x, 0);
    std::thread click = DragFrom(grab, 0, 0);
    PumpUntil([&] { return gate.size() == 2; }, 5000);
    click.join();
    PumpFor(50);
    for (int i = 0; i < 4; ++i) {
        Advance(w, 500);
        EXPECT_EQ(w.Text(), "0:00") << "steady after the click";
    }
    EXPECT_EQ(w.TimerInterval(), 1000);
    EXPECT_EQ(w.AlarmsPlayed(), 1);
    // Restart counts down in the ordinary colour.
    ASSERT_TRUE(clock.Display());
    EXPECT_EQ(w.Text(), "2:00");
    EXPECT_EQ(w.ShownColor(), 0x800000u);
}

TEST_F(ClockWindowTest, DragMovesTheClockAndResumesHookAndTimer) {
    CClockWindow clock;
    frmClock& w = clock.Window();
    std::vector<bool> gate;
    w.InputGate = [&](bool on) { gate.push_back(on); };
    goCurrentUser->SetValue(settings::kClockLeft.name, rgsDWord, 100);
    goCurrentUser->SetValue(settings::kClockTop.name, rgsDWord, 120);
    clock.SetSize(96);
    ASSERT_TRUE(clock.Display());
    const POINT grab = InsideShape(clock.hWnd());
    ASSERT_GE(grab.x, 0);
    std::thread drag = DragFrom(grab, 150, 80);
    PumpUntil([&] { return gate.size() == 2; }, 5000);
    drag.join();
    PumpFor(50);
    ASSERT_EQ(gate, (std::vector<bool>{false, true}));
    EXPECT_EQ(WindowRect(clock.hWnd()).left, 250);
    EXPECT_EQ(WindowRect(clock.hWnd()).top, 200);
    EXPECT_EQ(w.TimerInterval(), 1000) << "the clock ticks again";
    EXPECT_TRUE(GetWindowLongA(clock.hWnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

// Drags the clock while `inside` runs in the move loop; the hook gate's calls.
std::vector<bool> DragWhile(CClockWindow& clock, std::function<void()> inside) {
    auto gate = std::make_shared<std::vector<bool>>();
    clock.Window().InputGate = [gate](bool on) { gate->push_back(on); };
    const POINT grab = InsideShape(clock.hWnd());
    if (grab.x < 0) return {};
    test::AtMoveLoop(std::move(inside));
    std::thread drag = DragFrom(grab, 80, 50);
    PumpUntil([&] { return gate->size() == 2; }, 8000);
    drag.join();
    return *gate;
}

TEST_F(ClockWindowTest, EndedOrHiddenInsideItsOwnDrag) {
    // Ended by a log-off inside the move loop: the loop ends, and the hook comes back.
    auto ended = std::make_unique<CClockWindow>();
    ASSERT_TRUE(ended->Display());
    EXPECT_EQ(DragWhile(*ended, [&] { ended.reset(); }), (std::vector<bool>{false, true}));
    EXPECT_TRUE(test::MoveLoopActionRan());

    // Hidden by a remote request during the drag: it stays hidden.
    CClockWindow clock;
    ASSERT_TRUE(clock.Display());
    HWND h = clock.hWnd();
    const std::string bytes = ClockRequestBytes("hide");
    COPYDATASTRUCT block{0, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
    EXPECT_EQ(DragWhile(clock, [&] { SendMessageA(h, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block)); }),
              (std::vector<bool>{false, true}));
    EXPECT_FALSE(IsWindowVisible(h)) << "the drag's end showed the hidden clock again";
    EXPECT_TRUE(clock.Paused());
}

}  // namespace
}  // namespace spotlex
