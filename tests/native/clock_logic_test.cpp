#include "clock/clock_logic.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace spotlex;

namespace {

// A count-down started at a moment that is not on a whole second, as a real start is.
constexpr std::int64_t kStart = 5'000'437;

ClockNow At(std::int64_t ms) {
    ClockNow now;
    now.steadyMs = ms;
    return now;
}

// The texts a count-down shows at each whole second after its start.
std::vector<std::string> Texts(ClockModel& model, int fromSecond, int toSecond) {
    std::vector<std::string> texts;
    for (int s = fromSecond; s <= toSecond; ++s) {
        model.Tick(At(kStart + s * 1000LL + kClockTickMarginMs));
        texts.push_back(model.Text());
    }
    return texts;
}

}  // namespace

TEST(ClockText, TimeOfDayIsATwelveHourClockWithoutLeadingZero) {
    EXPECT_EQ(TimeOfDayText(0, 7, 0, false), "12:07");
    EXPECT_EQ(TimeOfDayText(13, 45, 0, false), "1:45");
    EXPECT_EQ(TimeOfDayText(12, 30, 7, true), "12:30:07");
    EXPECT_EQ(TimeOfDayText(9, 5, 59, true), "9:05:59");
    EXPECT_EQ(TimeOfDayText(23, 59, 0, false), "11:59");
}

TEST(ClockText, CountdownShowsHoursMinutesAndTheLastMinuteWithSeconds) {
    EXPECT_EQ(CountdownText(900, false), "15");
    EXPECT_EQ(CountdownText(900, true), "15:00");
    EXPECT_EQ(CountdownText(7500, false), "2:05");
    EXPECT_EQ(CountdownText(7500, true), "2:05:00");
    EXPECT_EQ(CountdownText(3900, false), "1:05");
    EXPECT_EQ(CountdownText(3600, false), "1:00");
    EXPECT_EQ(CountdownText(3599, false), "59");  // 60 minutes, one second later
    EXPECT_EQ(CountdownText(61, false), "1");
    EXPECT_EQ(CountdownText(60, false), "1");
    EXPECT_EQ(CountdownText(59, false), "0:59");
    EXPECT_EQ(CountdownText(9, false), "0:09");
    EXPECT_EQ(CountdownText(28800, true), "8:00:00");
}

TEST(ClockText, WidestTextIsTheFirstCountdownTextOrTheWidestTimeOfDay) {
    EXPECT_EQ(WidestClockText(false, 15, true), "88:88");
    EXPECT_EQ(WidestClockText(false, 15, false), "88");
    EXPECT_EQ(WidestClockText(false, 125, true), "8:88:88");
    EXPECT_EQ(WidestClockText(false, 1, false), "8");
    EXPECT_EQ(WidestClockText(true, 15, false), "88:88");
    EXPECT_EQ(WidestClockText(true, 15, true), "88:88:88");
}

TEST(ClockText, FittingPointsShrinksOnlyWhatDoesNotFit) {
    EXPECT_EQ(FittingPoints(128, 1000, 200, 1280, 1024), 128);
    EXPECT_EQ(FittingPoints(188, 2008, 250, 1280, 1024), 119);
    EXPECT_EQ(FittingPoints(188, 1000, 2000, 1280, 1024), 96);
    EXPECT_EQ(FittingPoints(14, 100000, 20, 10, 1024), 1);
}

TEST(ClockText, SpotlexStringMovesEachCharacterToTheClockGlyphs) {
    EXPECT_EQ(SpotlexString("09:"), std::string("\xD8\xE1\xE2"));
    EXPECT_EQ(SpotlexString(""), "");
}

TEST(ClockCountdown, FifteenMinutesWithoutSecondsCountsDownThenBlinksZeroWithOneAlarm) {
    ClockModel model;
    model.Start(kStart, 15, false, false);
    // The first tick comes at once, in the start's own second.
    model.Tick(At(kStart));
    EXPECT_EQ(model.Text(), "15");
    EXPECT_EQ(Texts(model, 1, 2), (std::vector<std::string>{"14", "14"}));
    EXPECT_EQ(Texts(model, 839, 841), (std::vector<std::string>{"1", "1", "0:59"}));
    EXPECT_EQ(Texts(model, 898, 899), (std::vector<std::string>{"0:02", "0:01"}));
    EXPECT_EQ(model.IntervalMs(), kClockTickMs);

    int alarms = 0;
    std::vector<std::string> blink;
    for (int i = 0; i < 6; ++i) {
        ClockFrame f = model.Tick(At(kStart + 900'000 + i * 500LL + kClockTickMarginMs));
        EXPECT_TRUE(f.render);
        alarms += f.alarm;
        blink.push_back(model.Text());
    }
    EXPECT_EQ(blink, (std::vector<std::string>{"0", "", "0", "", "0", ""}));
    EXPECT_EQ(alarms, 1);
    EXPECT_EQ(model.IntervalMs(), kClockBlinkMs);
    EXPECT_EQ(model.NextDelayMs(At(kStart + 905'000)), kClockBlinkMs);
}

TEST(ClockCountdown, WithSecondsEverySecondIsShownOnceAndTheEndBlinksZeroZero) {
    ClockModel model;
    model.Start(kStart, 15, false, true);
    std::set<std::string> seen;
    std::vector<std::string> all = Texts(model, 0, 899);
    for (const auto& t : all) seen.insert(t);
    EXPECT_EQ(all.front(), "15:00");
    EXPECT_EQ(all[1], "14:59");
    EXPECT_EQ(all.back(), "0:01");
    EXPECT_EQ(seen.size(), 900u) << "a second was repeated";
    model.Tick(At(kStart + 900'000 + kClockTickMarginMs));
    EXPECT_EQ(model.Text(), "0:00");
}

TEST(ClockCountdown, LateAndEarlyTicksNeitherSkipNorRepeatASecond) {
    ClockModel model;
    model.Start(kStart, 2, false, true);
    model.Tick(At(kStart));
    // Each tick fired where the timer really fires it: after the delay the model asked for, with
    // up to 0.85 s of lateness or 90 ms of earliness.
    std::int64_t t = kStart;
    std::vector<std::string> texts{model.Text()};
    const int jitter[] = {850, -90, 400, 0, 799, -50, 15};
    for (int i = 0; texts.size() < 121; ++i) {
        t += model.NextDelayMs(At(t)) + jitter[i % 7];
        model.Tick(At(t));
        if (model.Text() != texts.back()) texts.push_back(model.Text());
        ASSERT_LT(i, 400);
    }
    for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
        std::int64_t left = 120 - static_cast<std::int64_t>(i);
        ASSERT_EQ(texts[i], CountdownText(left, true)) << "second " << i;
    }
}

TEST(ClockCountdown, PausingAMinuteLeavesTheRemainingTimeUnchanged) {
    ClockModel model;
    model.Start(kStart, 15, false, true);
    model.Tick(At(kStart + 10'000 + kClockTickMarginMs));
    EXPECT_EQ(model.Text(), "14:50");
    model.SetPaused(true, kStart + 10'300);
    // Paused ticks draw nothing and change nothing.
    for (int s = 11; s < 70; ++s) EXPECT_FALSE(model.Tick(At(kStart + s * 1000LL)).render);
    EXPECT_EQ(model.SecondsLeft(kStart + 69'000), 890);
    model.SetPaused(false, kStart + 70'300);
    model.Tick(At(kStart + 70'300));
    EXPECT_EQ(model.Text(), "14:50");
    model.Tick(At(kStart + 71'100));
    EXPECT_EQ(model.Text(), "14:49");
    // Pausing twice is pausing once.
    model.SetPaused(true, kStart + 80'000);
    model.SetPaused(true, kStart + 90'000);
    model.SetPaused(false, kStart + 100'000);
    EXPECT_EQ(model.SecondsLeft(kStart + 100'000), 890 - 10);
}

TEST(ClockCountdown, RestartWhilePausedStaysPausedAtFullTimeAndRingsAgain) {
    ClockModel model;
    model.Start(kStart, 1, false, false);
    model.Tick(At(kStart + 61'000));
    EXPECT_TRUE(model.AlarmSounded());
    model.SetPaused(true, kStart + 62'000);
    model.Start(kStart + 63'000, 1, false, false);
    EXPECT_TRUE(model.Paused());
    EXPECT_EQ(model.SecondsLeft(kStart + 500'000), 60);
    model.SetPaused(false, kStart + 600'000);
    EXPECT_EQ(model.SecondsLeft(kStart + 600'000), 60);
    EXPECT_TRUE(model.Tick(At(kStart + 661'000)).alarm);
}

TEST(ClockWarning, TheColourTurnsAtTheFirstSecondOfTheWarningMinutes) {
    ClockModel model;
    model.SetWarningMinutes(2);
    model.Start(kStart, 5, false, true);
    // 3:00 left is 180 seconds after the start; the warning begins with "2:00", 60 seconds later.
    EXPECT_FALSE(model.Tick(At(kStart + 179'000 + kClockTickMarginMs)).warning);
    EXPECT_EQ(model.Text(), "2:01");
    EXPECT_TRUE(model.Tick(At(kStart + 180'000 + kClockTickMarginMs)).warning);
    EXPECT_EQ(model.Text(), "2:00");
    // It stays through the run-out, whose blinking and alarm are unchanged.
    const ClockFrame end = model.Tick(At(kStart + 300'000 + kClockTickMarginMs));
    EXPECT_TRUE(end.warning);
    EXPECT_TRUE(end.alarm);
    EXPECT_EQ(model.IntervalMs(), kClockBlinkMs);

    // A restart begins in the ordinary colour; with no warning minutes there is never a warning.
    model.Start(kStart, 5, false, true);
    EXPECT_FALSE(model.Tick(At(kStart)).warning);
    model.SetWarningMinutes(0);
    EXPECT_FALSE(model.Tick(At(kStart + 299'000 + kClockTickMarginMs)).warning);

    // The time of day has no warning, whatever is set.
    ClockModel clock;
    clock.SetWarningMinutes(480);
    clock.Start(kStart, 1, true, false);
    EXPECT_FALSE(clock.Tick(At(kStart + 120'000)).warning);
}

TEST(ClockAlarm, ASilencedRunOutStandsAtZeroUntilRestarted) {
    ClockModel model;
    model.Start(kStart, 1, false, false);
    model.Tick(At(kStart + 30'000));
    EXPECT_FALSE(model.Silence()) << "a running count-down has nothing to silence";
    model.Tick(At(kStart + 60'000 + kClockTickMarginMs));
    EXPECT_EQ(model.Text(), "0");
    ASSERT_TRUE(model.Silence());
    EXPECT_FALSE(model.Silence());
    std::vector<std::string> steady;
    for (int i = 1; i <= 4; ++i) {
        EXPECT_FALSE(model.Tick(At(kStart + 60'000 + i * 500LL + kClockTickMarginMs)).alarm);
        steady.push_back(model.Text());
    }
    EXPECT_EQ(steady, (std::vector<std::string>{"0", "0", "0", "0"}));
    EXPECT_EQ(model.IntervalMs(), kClockTickMs);
    // Restart counts down again and blinks at the next run-out.
    model.Start(kStart + 70'000, 1, false, false);
    model.Tick(At(kStart + 70'000));
    EXPECT_EQ(model.Text(), "1");
    model.Tick(At(kStart + 130'000 + kClockTickMarginMs));
    model.Tick(At(kStart + 130'500 + kClockTickMarginMs));
    EXPECT_EQ(model.Text(), "");
}

TEST(ClockTimeOfDay, TicksFollowTheWallClockAndStandStillWhilePaused) {
    ClockModel model;
    model.Start(kStart, 15, true, false);
    ClockNow now = At(kStart);
    now.hour = 0;
    now.minute = 7;
    now.millisecond = 640;
    EXPECT_TRUE(model.Tick(now).render);
    EXPECT_EQ(model.Text(), "12:07");
    EXPECT_EQ(model.NextDelayMs(now), 460);
    model.SetPaused(true, kStart);
    now.hour = 13;
    now.minute = 45;
    model.Tick(now);
    EXPECT_EQ(model.Text(), "12:07");
    model.SetPaused(false, kStart);
    model.Tick(now);
    EXPECT_EQ(model.Text(), "1:45");
}

TEST(ClockRequests, OnlyExactHideAndShowAct) {
    auto parse = [](const std::string& bytes) { return ParseClockRequest(bytes.data(), bytes.size()); };
    EXPECT_EQ(parse(ClockRequestBytes("hide")), ClockRequest::Hide);
    EXPECT_EQ(parse(ClockRequestBytes("show")), ClockRequest::Show);
    EXPECT_FALSE(parse(ClockRequestBytes("Hide")));
    EXPECT_FALSE(parse(ClockRequestBytes("status")));
    EXPECT_FALSE(parse(ClockRequestBytes("hid")));
    EXPECT_FALSE(parse(ClockRequestBytes("hide") + std::string(2, '\0')));
    EXPECT_FALSE(parse("hide"));
    EXPECT_FALSE(parse(ClockRequestBytes("hide").substr(0, 7)));
    std::string wide = ClockRequestBytes("show");
    wide[1] = 0x01;  // U+0173, not "s"
    EXPECT_FALSE(parse(wide));
    EXPECT_FALSE(ParseClockRequest(nullptr, 8));

    EXPECT_EQ(ParseClockCommand("status"), ClockRequest::Status);
    EXPECT_EQ(ParseClockCommand("hide"), ClockRequest::Hide);
    EXPECT_FALSE(ParseClockCommand("HIDE"));
    EXPECT_FALSE(ParseClockCommand(""));
}
