#include "app/sys_input_logic.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <thread>

namespace spotlex {
namespace {

// What the fake system answers when the tracker reads the keyboard.
std::array<bool, 256> gSystemDown{};
int gReads = 0;

bool FakeReader(std::uint32_t code) {
    ++gReads;
    return gSystemDown[code & 0xFF];
}

class ModifierTrackerTest : public ::testing::Test {
protected:
    void SetUp() override {
        gSystemDown.fill(false);
        gReads = 0;
    }
    ModifierTracker tracker{500, FakeReader};
};

TEST_F(ModifierTrackerTest, MaskFollowsTheModifierKeysSeenAndIncludesAModifiersOwnBit) {
    auto ctrl = tracker.OnKey(vk::kLControl, true, 1000);
    EXPECT_TRUE(ctrl.raise);
    EXPECT_EQ(ctrl.code, 17);
    EXPECT_EQ(ctrl.mask, kModCtrl);

    auto shift = tracker.OnKey(vk::kRShift, true, 1010);
    EXPECT_EQ(shift.code, 16);
    EXPECT_EQ(shift.mask, kModCtrl | kModShift);

    auto s = tracker.OnKey('S', true, 1020);
    EXPECT_TRUE(s.raise);
    EXPECT_EQ(s.code, 'S');
    EXPECT_EQ(s.mask, 3);
    EXPECT_FALSE(tracker.OnKey('S', false, 1030).raise);

    auto alt = tracker.OnKey(vk::kRMenu, true, 1040);
    EXPECT_EQ(alt.code, 18);
    EXPECT_EQ(alt.mask, 7);
    auto win = tracker.OnKey(vk::kRWin, true, 1050);
    EXPECT_EQ(win.code, vk::kRWin);
    EXPECT_EQ(win.mask, 15);

    tracker.OnKey(vk::kLControl, false, 1060);
    tracker.OnKey(vk::kRShift, false, 1070);
    tracker.OnKey(vk::kRWin, false, 1080);
    EXPECT_EQ(tracker.OnKey('F', true, 1090).mask, kModAlt);
    // A plain code, as injected input may carry, works like the left key.
    tracker.OnKey(vk::kRMenu, false, 1100);
    EXPECT_EQ(tracker.OnKey(vk::kControl, true, 1110).mask, kModCtrl);
    tracker.OnKey(vk::kControl, false, 1120);
    EXPECT_EQ(tracker.MaskAt(1130), 0);
    // Only the first event, with nothing known yet, asked the system.
    EXPECT_EQ(gReads, 5);
}

TEST_F(ModifierTrackerTest, HeldModifierRepeatsAreNotPressesButOtherKeysRepeat) {
    EXPECT_TRUE(tracker.OnKey(vk::kLShift, true, 100).raise);
    EXPECT_FALSE(tracker.OnKey(vk::kLShift, true, 400).raise);
    EXPECT_FALSE(tracker.OnKey(vk::kLShift, true, 430).raise);
    EXPECT_TRUE(tracker.OnKey('A', true, 460).raise);
    EXPECT_TRUE(tracker.OnKey('A', true, 490).raise);
    // The other Shift key is a press of its own, and releasing one Shift leaves the other held.
    EXPECT_TRUE(tracker.OnKey(vk::kRShift, true, 520).raise);
    tracker.OnKey(vk::kLShift, false, 550);
    EXPECT_EQ(tracker.OnKey('B', true, 580).mask, kModShift);
    tracker.OnKey(vk::kRShift, false, 610);
    EXPECT_EQ(tracker.OnKey('B', true, 640).mask, 0);
}

TEST_F(ModifierTrackerTest, AfterAGapTheSystemIsReadSoNoModifierStaysStuck) {
    tracker.OnKey(vk::kLControl, true, 1000);
    EXPECT_EQ(tracker.OnKey('S', true, 1500).mask, kModCtrl);  // 500 ms is no gap yet
    // Ctrl went up where the hook could not see it; the system says so after the gap.
    EXPECT_EQ(tracker.OnKey('S', true, 2001).mask, 0);

    // A modifier the hook never saw go down is found the same way, side unknown...
    gSystemDown[vk::kShift] = true;
    gSystemDown[vk::kLWin] = true;
    EXPECT_EQ(tracker.OnKey('T', true, 3000).mask, kModShift | kModWin);
    // ...and the release of either Shift key ends it.
    EXPECT_EQ(tracker.OnKey(vk::kRShift, false, 3010).mask, kModWin);
}

TEST_F(ModifierTrackerTest, TheSystemsAnswerDecidesWhetherAModifierDownAfterAGapIsARepeat) {
    tracker.OnKey(vk::kLShift, true, 1000);
    // Released and pressed again unseen: a real press.
    EXPECT_TRUE(tracker.OnKey(vk::kLShift, true, 3000).raise);
    // Held all along (the system still reports it): a repeat.
    gSystemDown[vk::kShift] = true;
    EXPECT_FALSE(tracker.OnKey(vk::kLShift, true, 5000).raise);
}

TEST_F(ModifierTrackerTest, MarkStaleAndMousePressesReadOnlyWhenTheRecordMayBeOld) {
    tracker.OnKey(vk::kLMenu, true, 1000);
    const int afterFirst = gReads;
    EXPECT_EQ(tracker.MaskAt(1200), kModAlt);
    EXPECT_EQ(gReads, afterFirst);

    tracker.MarkStale();
    EXPECT_EQ(tracker.MaskAt(1210), 0);  // the system says Alt is up
    EXPECT_GT(gReads, afterFirst);

    const int afterMark = gReads;
    gSystemDown[vk::kControl] = true;
    EXPECT_EQ(tracker.MaskAt(1400), 0);  // fresh record, no read
    EXPECT_EQ(gReads, afterMark);
    EXPECT_EQ(tracker.MaskAt(1800), kModCtrl);  // 590 ms after the last read
}

TEST_F(ModifierTrackerTest, TickWrapIsNoGap) {
    tracker.OnKey(vk::kLControl, true, 0xFFFFFF00u);
    const int reads = gReads;
    EXPECT_EQ(tracker.OnKey('Z', true, 0x00000050u).mask, kModCtrl);
    EXPECT_EQ(gReads, reads);
}

constexpr DoubleClickRule kRule{500, 4, 4};

TEST(DoubleClickDetector, TwoLeftPressesMakeAPairAndAThirdStartsANewOne) {
    DoubleClickDetector d;
    EXPECT_FALSE(d.OnPress(1, 1000, 100, 100, kRule));
    EXPECT_TRUE(d.OnPress(1, 1100, 100, 100, kRule));
    EXPECT_FALSE(d.OnPress(1, 1200, 100, 100, kRule));
    EXPECT_TRUE(d.OnPress(1, 1300, 101, 99, kRule));
}

TEST(DoubleClickDetector, TimeAndRectangleLimits) {
    DoubleClickDetector d;
    d.OnPress(1, 1000, 100, 100, kRule);
    EXPECT_FALSE(d.OnPress(1, 1500, 100, 100, kRule));  // exactly the double-click time is too late
    EXPECT_TRUE(d.OnPress(1, 1999, 100, 100, kRule));   // pairs with the press at 1500

    d.OnPress(1, 3000, 100, 100, kRule);
    EXPECT_TRUE(d.OnPress(1, 3010, 102, 98, kRule));  // half the rectangle each way
    d.OnPress(1, 4000, 100, 100, kRule);
    EXPECT_FALSE(d.OnPress(1, 4010, 103, 100, kRule));
    EXPECT_FALSE(d.OnPress(1, 4020, 103, 97, kRule));  // the second of those, 3 up

    d.OnPress(1, 0xFFFFFFF0u, 5, 5, kRule);
    EXPECT_TRUE(d.OnPress(1, 0x10, 5, 5, kRule));  // across the tick wrap
}

TEST(DoubleClickDetector, AnotherButtonOrAResetBreaksThePair) {
    DoubleClickDetector d;
    d.OnPress(1, 1000, 10, 10, kRule);
    EXPECT_FALSE(d.OnPress(2, 1050, 10, 10, kRule));
    EXPECT_FALSE(d.OnPress(1, 1100, 10, 10, kRule));
    EXPECT_FALSE(d.OnPress(4, 1150, 10, 10, kRule));
    EXPECT_FALSE(d.OnPress(1, 1200, 10, 10, kRule));
    d.Reset();
    EXPECT_FALSE(d.OnPress(1, 1250, 10, 10, kRule));
    EXPECT_TRUE(d.OnPress(1, 1300, 10, 10, kRule));
}

TEST(HooksToReinstall, InputMissedByEveryInstalledHookMeansAHookIsGone) {
    const std::uint32_t lost = 2000;
    // Nothing happened since the hooks last saw input.
    EXPECT_EQ(HooksToReinstall({5000, 5000, 5000, kHookAll, false}, lost), 0);
    // Input within the grace time is not yet suspicious; past it, both are renewed.
    EXPECT_EQ(HooksToReinstall({7000, 5000, 5000, kHookAll, true}, lost), 0);
    EXPECT_EQ(HooksToReinstall({7001, 5000, 5000, kHookAll, true}, lost), kHookAll);
    // One hook seeing recent input explains it.
    EXPECT_EQ(HooksToReinstall({9000, 8990, 1000, kHookAll, false}, lost), 0);
    EXPECT_EQ(HooksToReinstall({9000, 1000, 8990, kHookAll, false}, lost), 0);
    // Nothing installed, nothing to renew; bits other than the two hooks are ignored.
    EXPECT_EQ(HooksToReinstall({9000, 0, 0, 0, false}, lost), 0);
    EXPECT_EQ(HooksToReinstall({9000, 0, 0, 2, false}, lost), 0);
}

TEST(HooksToReinstall, ThePointerTellsKeyboardInputFromMouseInputForASingleHook) {
    const std::uint32_t lost = 2000;
    EXPECT_EQ(HooksToReinstall({9000, 1000, 0, kHookKeyboard, false}, lost), kHookKeyboard);
    EXPECT_EQ(HooksToReinstall({9000, 1000, 0, kHookKeyboard, true}, lost), 0);
    EXPECT_EQ(HooksToReinstall({9000, 0, 1000, kHookMouse, true}, lost), kHookMouse);
    EXPECT_EQ(HooksToReinstall({9000, 0, 1000, kHookMouse, false}, lost), 0);
    // The mouse hook's times do not count while only the keyboard hook is in place.
    EXPECT_EQ(HooksToReinstall({9000, 1000, 8999, kHookKeyboard, false}, lost), kHookKeyboard);
    // Across the tick wrap.
    EXPECT_EQ(HooksToReinstall({0x00001000u, 0xFFFFFF00u, 0, kHookKeyboard, false}, lost), kHookKeyboard);
    EXPECT_EQ(HooksToReinstall({0x00000100u, 0xFFFFFF00u, 0, kHookKeyboard, false}, lost), 0);
}

TEST(WatchdogPace, SlowsDownOnlyAfterQuietLooksInARowAndSpeedsUpAtTheFirstInput) {
    WatchdogPace pace(1000, 15000, 3);
    EXPECT_EQ(pace.Interval(), 1000u);
    EXPECT_FALSE(pace.OnLook(500));  // the first look has nothing to compare with
    EXPECT_FALSE(pace.OnLook(500));
    EXPECT_FALSE(pace.OnLook(500));
    EXPECT_FALSE(pace.OnLook(1700));  // input in between starts the count again
    EXPECT_FALSE(pace.OnLook(1700));
    EXPECT_FALSE(pace.OnLook(1700));
    EXPECT_EQ(pace.Interval(), 1000u);
    EXPECT_TRUE(pace.OnLook(1700));
    EXPECT_EQ(pace.Interval(), 15000u);
    EXPECT_FALSE(pace.OnLook(1700)) << "already idle: no change to report";

    // Input seen by a hook, or by the system alone, brings the short pace back once.
    EXPECT_TRUE(pace.OnHookInput());
    EXPECT_EQ(pace.Interval(), 1000u);
    EXPECT_FALSE(pace.OnHookInput());
    for (int i = 0; i < 3; ++i) pace.OnLook(1700);
    EXPECT_EQ(pace.Interval(), 15000u);
    EXPECT_TRUE(pace.OnLook(90000));
    EXPECT_EQ(pace.Interval(), 1000u);
}

TEST(WatchdogPace, AnIdleIntervalShorterThanTheBusyOneIsTheBusyOne) {
    WatchdogPace pace(1000, 10, 1);
    pace.OnLook(5);
    pace.OnLook(5);
    EXPECT_EQ(pace.Interval(), 1000u);
}

TEST(SpscRing, KeepsOrderRefusesWhenFullAndWrapsAround) {
    SpscRing<int, 4> ring;
    int out = 0;
    EXPECT_FALSE(ring.Pop(out));
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(ring.Push(round * 10 + i));
        EXPECT_FALSE(ring.Push(99));
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(ring.Pop(out));
            EXPECT_EQ(out, round * 10 + i);
        }
        EXPECT_FALSE(ring.Pop(out));
    }
}

TEST(SpscRing, OneProducerThreadOneConsumerThreadLoseNothing) {
    static SpscRing<std::uint32_t, 64> ring;
    constexpr std::uint32_t kCount = 100000;
    std::thread producer([] {
        for (std::uint32_t i = 1; i <= kCount; ++i) {
            while (!ring.Push(i)) std::this_thread::yield();
        }
    });
    std::uint32_t expected = 1;
    std::uint32_t got = 0;
    while (expected <= kCount) {
        if (ring.Pop(got)) {
            ASSERT_EQ(got, expected);
            ++expected;
        } else {
            std::this_thread::yield();
        }
    }
    producer.join();
    EXPECT_FALSE(ring.Pop(got));
}

TEST(MicrosecondHistogram, PercentilesCountAndMax) {
    static MicrosecondHistogram h;
    h.Clear();
    EXPECT_EQ(h.Percentile(0.5), 0u);
    for (std::uint32_t us = 1; us <= 100; ++us) h.Record(us);
    EXPECT_EQ(h.Count(), 100u);
    EXPECT_EQ(h.Percentile(0.5), 50u);
    EXPECT_EQ(h.Percentile(0.99), 99u);
    EXPECT_EQ(h.Percentile(1.0), 100u);
    EXPECT_EQ(h.Max(), 100u);

    // Durations past the last bucket are counted there and reported by their true maximum.
    h.Record(25000);
    EXPECT_EQ(h.Max(), 25000u);
    EXPECT_EQ(h.Percentile(1.0), 25000u);
    EXPECT_EQ(h.Percentile(0.5), 51u);

    h.Clear();
    EXPECT_EQ(h.Count(), 0u);
    EXPECT_EQ(h.Max(), 0u);
}

}  // namespace
}  // namespace spotlex
