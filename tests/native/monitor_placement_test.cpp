#include "core/monitor_placement.h"

#include <gtest/gtest.h>

namespace spotlex {
namespace {

// A laptop at 150 % with a projector at 100 % to its right.
const Monitor kLaptop{"\\\\.\\DISPLAY1", {0, 0, 1280, 800}, 144, true};
const Monitor kProjector{"\\\\.\\DISPLAY2", {1280, 0, 3200, 1080}, 96, false};
const std::vector<Monitor> kBoth{kLaptop, kProjector};
const std::vector<Monitor> kLaptopOnly{kLaptop};

TEST(FontPixels, SameEmPerInchOnEveryMonitor) {
    EXPECT_EQ(FontPixels(64, 96), 85);  // 85.33
    EXPECT_EQ(FontPixels(64, 144), 128);
    EXPECT_EQ(FontPixels(64, 192), 171);  // 170.67
    EXPECT_EQ(FontPixels(9, 96), 12);
    EXPECT_EQ(FontPixels(3, 132), 6);  // 5.5 goes up
    EXPECT_EQ(FontPixels(188, 192), 501);
}

TEST(NearestMonitor, InsideOrClosestArea) {
    EXPECT_EQ(NearestMonitor(kBoth, {1279, 799}), 0);
    EXPECT_EQ(NearestMonitor(kBoth, {1280, 0}), 1);
    // Below the laptop, which ends at 800, but nearer the projector, which reaches 1080.
    EXPECT_EQ(NearestMonitor(kBoth, {1250, 1000}), 1);
    EXPECT_EQ(NearestMonitor(kBoth, {-500, 900}), 0);
    EXPECT_EQ(NearestMonitor({}, {0, 0}), -1);
    EXPECT_EQ(PrimaryMonitor({kProjector, kLaptop}), 1);
}

TEST(PlaceOnMonitors, ProjectorUnpluggedAndPluggedBackIn) {
    // A 300 x 100 window at the projector's right edge, 900 of 980 pixels down.
    const RememberedPlace onProjector{{2900, 900}, {kProjector.device, kProjector.area}};
    Placement at = PlaceOnMonitors(onProjector, 300, 100, kBoth);
    EXPECT_EQ(at.place, (PixelPoint{2900, 900}));
    EXPECT_EQ(at.monitor, 1);
    EXPECT_TRUE(at.atHome);

    at = PlaceOnMonitors(onProjector, 300, 100, kLaptopOnly);
    EXPECT_EQ(at.place, (PixelPoint{980, 643}));  // 900 * 700 / 980 = 642.9
    EXPECT_EQ(at.monitor, 0);
    EXPECT_FALSE(at.atHome);

    // Centred stays centred.
    const RememberedPlace centred{{1280 + 810, 490}, {kProjector.device, kProjector.area}};
    EXPECT_EQ(PlaceOnMonitors(centred, 300, 100, kLaptopOnly).place, (PixelPoint{490, 350}));

    // Back on the left of the laptop: the place moves with its monitor.
    const Monitor leftProjector{kProjector.device, {-1920, 0, 0, 1080}, 96, false};
    at = PlaceOnMonitors(onProjector, 300, 100, {kLaptop, leftProjector});
    EXPECT_EQ(at.place, (PixelPoint{-300, 900}));
    EXPECT_TRUE(at.atHome);
    EXPECT_EQ(PlaceOnMonitors(centred, 300, 100, {kLaptop, leftProjector}).place, (PixelPoint{-1110, 490}));
}

TEST(PlaceOnMonitors, PlaceOnNoMonitorComesOntoTheNearest) {
    // Stored before monitors were remembered, on a screen that is no longer there.
    const RememberedPlace old{{5000, -300}, {}};
    Placement at = PlaceOnMonitors(old, 300, 100, kBoth);
    EXPECT_EQ(at.place, (PixelPoint{2900, 0}));
    EXPECT_EQ(at.monitor, 1);
    EXPECT_TRUE(at.atHome);
    // A window larger than its monitor keeps its start in view.
    EXPECT_EQ(PlaceOnMonitors(old, 1500, 900, kLaptopOnly).place, (PixelPoint{0, 0}));
    // A remembered monitor without an area is no memory.
    const RememberedPlace nameOnly{{-50, 10}, {kProjector.device, {}}};
    EXPECT_EQ(PlaceOnMonitors(nameOnly, 300, 100, kBoth).place, (PixelPoint{0, 10}));
}

TEST(PlaceFollowing, KeysGoToThePointersMonitor) {
    const RememberedPlace onLaptop{{490, 700}, {kLaptop.device, kLaptop.area}};
    Placement at = PlaceFollowing(onLaptop, 300, 100, {100, 100}, kBoth);
    EXPECT_EQ(at.place, (PixelPoint{490, 700}));
    EXPECT_TRUE(at.atHome);

    at = PlaceFollowing(onLaptop, 300, 100, {2000, 500}, kBoth);
    EXPECT_EQ(at.place, (PixelPoint{1280 + 810, 980}));
    EXPECT_EQ(at.monitor, 1);
    EXPECT_FALSE(at.atHome);
}

}  // namespace
}  // namespace spotlex
