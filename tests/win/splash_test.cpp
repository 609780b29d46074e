// The splash screen: its size and place, floating on top without the focus, and its timer.
#include "app/splash_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "core/classkit_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

VersionStrings SomeVersion() {
    VersionStrings v;
    v.version = "4.5.0.1";
    v.comments = "Shows the audience the presenter's keystrokes and mouse clicks.";
    return v;
}

TEST(SplashScreen, IsCentredOnTheWorkAreaAndFloatsWithoutTakingTheFocus) {
    HWND active = CreateWindowExA(0, "STATIC", "presenter's window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                  300, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(active);
    test::PumpUntil([&] { return GetForegroundWindow() == active; }, 2000);

    SplashScreen splash(SomeVersion());
    ASSERT_TRUE(splash.Hwnd());
    EXPECT_FALSE(splash.Visible());
    splash.Show(60000, [] {});
    test::PumpFor(100);
    EXPECT_TRUE(splash.Visible());
    EXPECT_TRUE(GetWindowLongPtrA(splash.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrA(splash.Hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_EQ(GetForegroundWindow(), active);

    RECT r{};
    RECT wa{};
    GetWindowRect(splash.Hwnd(), &r);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &wa, 0);
    EXPECT_EQ(r.right - r.left, 350);
    EXPECT_EQ(r.bottom - r.top, 225);
    EXPECT_LE(std::abs((r.left - wa.left) - (wa.right - r.right)), 1);
    EXPECT_LE(std::abs((r.top - wa.top) - (wa.bottom - r.bottom)), 1);

    // Clicking the splash does not activate it either.
    EXPECT_EQ(SendMessageA(splash.Hwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(splash.Hwnd()), 0),
              MA_NOACTIVATE);
    splash.Hide();
    EXPECT_FALSE(splash.Visible());
    DestroyWindow(active);
}

TEST(SplashScreen, TimerRunsTheCallbackOnceAfterTheSetTime) {
    SplashScreen splash(SomeVersion());
    int calls = 0;
    const DWORD start = GetTickCount();
    DWORD firedAt = 0;
    splash.Show(400, [&] {
        ++calls;
        firedAt = GetTickCount();
    });
    test::PumpFor(250);
    EXPECT_EQ(calls, 0) << "fired early";
    ASSERT_TRUE(test::PumpUntil([&] { return calls > 0; }, 3000));
    EXPECT_GE(firedAt - start, 390u);
    test::PumpFor(900);
    EXPECT_EQ(calls, 1) << "the timer is one-shot";
}

TEST(SplashScreen, TheCallbackMayUnloadTheSplash) {
    auto splash = std::make_unique<SplashScreen>(SomeVersion());
    HWND hwnd = splash->Hwnd();
    bool done = false;
    splash->Show(50, [&] {
        splash->Hide();
        splash.reset();
        done = true;
    });
    ASSERT_TRUE(test::PumpUntil([&] { return done; }, 3000));
    test::PumpFor(100);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(SplashScreen, TimeComesFromTheMachineWideKey) {
    goLocalMachine.reset();
    EXPECT_EQ(SplashIntervalFromSettings(), 6000) << "no settings object yet";

    goLocalMachine = std::make_unique<RegistrySetting>();
    goLocalMachine->OpenKey(kMachineKey);
    ASSERT_TRUE(goLocalMachine->IsOpen());
    goLocalMachine->DeleteValue("Splash_Screen_Time");
    EXPECT_EQ(SplashIntervalFromSettings(), 6000) << "absent";

    goLocalMachine->SetValue("Splash_Screen_Time", rgsDWord, std::int32_t{2});
    EXPECT_EQ(SplashIntervalFromSettings(), 2000);
    goLocalMachine->SetValue("Splash_Screen_Time", rgsDWord, std::int32_t{0});
    EXPECT_EQ(SplashIntervalFromSettings(), 6000);
    goLocalMachine->SetValue("Splash_Screen_Time", rgsDWord, std::int32_t{-1});
    EXPECT_EQ(SplashIntervalFromSettings(), 6000);
    goLocalMachine->SetValue("Splash_Screen_Time", rgsString, std::string(" 3 "));
    EXPECT_EQ(SplashIntervalFromSettings(), 3000) << "a number stored as text";
    goLocalMachine->DeleteValue("Splash_Screen_Time");
    goLocalMachine.reset();
}

}  // namespace
}  // namespace spotlex
