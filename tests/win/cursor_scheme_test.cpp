// The large cursor scheme: the cursor files beside the program, and switching the Windows cursor
// scheme on and off against Wine's real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/unique_handle_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

// Each file loads at every size it holds, with its hot spot where the drawing points.
TEST(CursorFiles, EveryRoleLoadsLargeWithItsHotSpot) {
    struct Expect {
        const char* role;
        double x, y;  // hot spot as a fraction of the size
    };
    const Expect roles[] = {
        {"Arrow", 0.06, 0.03},   {"Help", 0.06, 0.03},   {"AppStarting", 0.06, 0.03}, {"Wait", 0.5, 0.5},
        {"Crosshair", 0.5, 0.5}, {"IBeam", 0.5, 0.5},    {"NWPen", 0.11, 0.89},       {"No", 0.5, 0.5},
        {"SizeNS", 0.5, 0.5},    {"SizeWE", 0.5, 0.5},   {"SizeNWSE", 0.5, 0.5},      {"SizeNESW", 0.5, 0.5},
        {"SizeAll", 0.5, 0.5},   {"UpArrow", 0.5, 0.02},
    };
    for (const Expect& e : roles) {
        const std::string file = test::ExeFolder() + "cursors\\Spotlex_" + e.role + ".cur";
        for (int size : {48, 64, 96, 128}) {
            UniqueCursor c(static_cast<HCURSOR>(
                LoadImageA(nullptr, file.c_str(), IMAGE_CURSOR, size, size, LR_LOADFROMFILE)));
            ASSERT_TRUE(c) << file << " at " << size;
            ICONINFO info{};
            ASSERT_TRUE(GetIconInfo(c.get(), &info));
            BITMAP bm{};
            GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
            if (info.hbmColor) DeleteObject(info.hbmColor);
            if (info.hbmMask) DeleteObject(info.hbmMask);
            EXPECT_EQ(bm.bmWidth, size) << e.role << ": no image of this size in the file";
            EXPECT_NEAR(info.xHotspot, e.x * size, 0.05 * size) << e.role << " at " << size;
            EXPECT_NEAR(info.yHotspot, e.y * size, 0.05 * size) << e.role << " at " << size;
        }
    }
}

}  // namespace
}  // namespace spotlex
