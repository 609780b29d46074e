// The click burst on a real screen: handlers, window, shape, timer and the clicks beneath it.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/unique_handle_win.h"
#include "mouse/burst_logic.h"
#include "mouse/mouse_click_handler_win.h"
#include "mouse/mouse_window_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpFor;
using test::PumpUntil;

bool Visible(HWND h) {
    return IsWindowVisible(h) != FALSE;
}

RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

// The window's current shape, in window coordinates.
UniqueRgn ShapeOf(HWND h) {
    UniqueRgn r(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(h, r.get()) == ERROR) return {};
    return r;
}

// The outline of one glyph of `font`, drawn on its own.
UniqueRgn GlyphOutline(HFONT font, unsigned char code) {
    WindowDc screen(nullptr);
    UniqueMemDc dc(CreateCompatibleDC(screen.get()));
    ScopedSelect sel(dc.get(), font);
    SetBkMode(dc.get(), TRANSPARENT);
    const char ch = static_cast<char>(code);
    BeginPath(dc.get());
    TextOutA(dc.get(), 0, 0, &ch, 1);
    EndPath(dc.get());
    return UniqueRgn(PathToRegion(dc.get()));
}

// True when every point of `part` is in `whole`.
bool Covers(HRGN whole, HRGN part) {
    UniqueRgn rest(CreateRectRgn(0, 0, 0, 0));
    return CombineRgn(rest.get(), part, whole, RGN_DIFF) == NULLREGION;
}

// The point of the burst's shape nearest to `screen`, in screen pixels.
POINT InsidePointNear(HWND burst, POINT screen) {
    RECT wr = WindowRect(burst);
    UniqueRgn shape = ShapeOf(burst);
    POINT best{-100000, -100000};
    double bestD = 1e9;
    for (int y = wr.top; y < wr.bottom; ++y)
        for (int x = wr.left; x < wr.right; ++x)
            if (PtInRegion(shape.get(), x - wr.left, y - wr.top)) {
                const double d = std::hypot(x - screen.x, y - screen.y);
                if (d < bestD) {
                    bestD = d;
                    best = {x, y};
                }
            }
    return best;
}

COLORREF ScreenPixel(POINT p) {
    WindowDc screen(nullptr);
    return GetPixel(screen.get(), p.x, p.y);
}

class MouseBurst : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadDisplayFont(test::ExeFolder()));
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
    }
    static void TearDownTestSuite() { goCurrentUser.reset(); }

    void SetUp() override {
        ASSERT_TRUE(goCurrentUser && goCurrentUser->IsOpen());
        for (const char* name : {"Color_Left_Mouse", "Color_Right_Mouse", "Pattern"}) {
            try {
                goCurrentUser->DeleteValue(name);
            } catch (...) {
            }
        }
        ASSERT_TRUE(mouse_.BurstWindow().Hwnd());
    }

    HWND Burst() { return mouse_.BurstWindow().Hwnd(); }

    void StoreNumber(const char* name, std::int32_t v) { goCurrentUser->SetValue(name, rgsDWord, v); }

    // The input hook's mouse-down, at a pixel point.
    void ClickAt(int x, int y, std::int16_t button = 1) {
        handler_.MouseDown(&mouse_, dblClick_, button, 0, x, y);
    }
    void DoubleClickAt(int x, int y) {
        SetCursorPos(x, y);
        handler_.DblClick(&mouse_, dblClick_);
    }

    // Where the burst's glyph should sit for a click at (x, y), from the window's own width.
    BurstPlace ExpectedPlace(int x, int y) {
        RECT r = WindowRect(Burst());
        return PlaceBurst(x, y, r.right - r.left);
    }

    CMouseWindow mouse_;
    bool dblClick_ = false;
    int sounds_ = 0;
    RECT tray_{1000, 980, 1180, 1020};
    std::vector<POINT> trayAsked_;
    MouseClickHandler handler_{[this](int x, int y) {
                                   trayAsked_.push_back({x, y});
                                   POINT p{x, y};
                                   return PtInRect(&tray_, p) != FALSE;
                               },
                               [this] { ++sounds_; }};
};

TEST_F(MouseBurst, LeftAndOtherButtonColoursAreReadAtEachClick) {
    StoreNumber("Color_Left_Mouse", RGB(0, 200, 0));
    StoreNumber("Color_Right_Mouse", RGB(0, 0, 220));

    ClickAt(400, 300);
    ASSERT_TRUE(Visible(Burst()));
    EXPECT_EQ(mouse_.Color(), static_cast<std::int32_t>(RGB(0, 200, 0)));
    PumpFor(30);
    POINT inside = InsidePointNear(Burst(), {400, 300});
    EXPECT_EQ(ScreenPixel(inside), RGB(0, 200, 0)) << "the burst is painted in the left colour";
    EXPECT_EQ(sounds_, 1);

    // A changed setting shows at the very next click; nothing else told the controller.
    StoreNumber("Color_Left_Mouse", RGB(210, 0, 210));
    ClickAt(420, 310);
    EXPECT_EQ(mouse_.Color(), static_cast<std::int32_t>(RGB(210, 0, 210)));
    PumpFor(30);
    EXPECT_EQ(ScreenPixel(InsidePointNear(Burst(), {420, 310})), RGB(210, 0, 210));

    for (std::int16_t button : {2, 4, 0}) {
        ClickAt(430, 320, button);
        EXPECT_EQ(mouse_.Color(), static_cast<std::int32_t>(RGB(0, 0, 220))) << "button " << button;
    }

    // Nothing stored: both are red.
    goCurrentUser->DeleteValue("Color_Left_Mouse");
    goCurrentUser->DeleteValue("Color_Right_Mouse");
    ClickAt(400, 300, 1);
    EXPECT_EQ(mouse_.Color(), 255);
    ClickAt(400, 300, 2);
    EXPECT_EQ(mouse_.Color(), 255);
    EXPECT_EQ(sounds_, 7);
}

TEST_F(MouseBurst, NotificationAreaShowsNothingPlaysNothingAndForgetsTheDoubleClick) {
    dblClick_ = true;
    ClickAt(1100, 1000);
    ASSERT_FALSE(trayAsked_.empty());
    EXPECT_EQ(trayAsked_.back().x, 1100) << "the tray is asked in pixels";
    EXPECT_EQ(trayAsked_.back().y, 1000);
    EXPECT_FALSE(Visible(Burst()));
    EXPECT_EQ(mouse_.BurstWindow().Glyph(), 0);
    EXPECT_EQ(sounds_, 0);
    EXPECT_FALSE(dblClick_);

    // A double-click on the tray leaves no marker for the next ordinary click.
    DoubleClickAt(1050, 990);
    EXPECT_FALSE(Visible(Burst()));
    EXPECT_FALSE(dblClick_);
    EXPECT_EQ(sounds_, 0);
    ClickAt(300, 300);
    EXPECT_TRUE(Visible(Burst()));
    EXPECT_FALSE(mouse_.BurstWindow().BurstDblClick());
    EXPECT_EQ(sounds_, 1);
}

TEST_F(MouseBurst, DoubleClickGivesOneMoreBurstWithTheMarkerAndTheNextClickNone) {
    HFONT font = mouse_.BurstWindow().Font();
    ClickAt(500, 400);
    ASSERT_TRUE(Visible(Burst()));
    EXPECT_FALSE(mouse_.BurstWindow().BurstDblClick());

    DoubleClickAt(510, 405);
    ASSERT_TRUE(Visible(Burst()));
    EXPECT_TRUE(mouse_.BurstWindow().BurstDblClick());
    EXPECT_EQ(mouse_.BurstWindow().Glyph(), kFirstBurstFrame);
    EXPECT_FALSE(dblClick_) << "cleared once the burst is handled";
    EXPECT_EQ(sounds_, 2);
    EXPECT_EQ(mouse_.Color(), 255) << "a double-click is a left click";
    // At the pointer's place at the time of the double-click.
    RECT r = WindowRect(Burst());
    BurstPlace want = ExpectedPlace(510, 405);
    EXPECT_EQ(r.left, want.left);
    EXPECT_EQ(r.top, want.top);

    // The marker adds to the frame's outline.
    UniqueRgn shape = ShapeOf(Burst());
    ASSERT_TRUE(shape);
    UniqueRgn frame = GlyphOutline(font, kFirstBurstFrame);
    UniqueRgn marker = GlyphOutline(font, kDoubleClickMarker);
    ASSERT_TRUE(frame && marker);
    UniqueRgn both(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(both.get(), frame.get(), marker.get(), RGN_OR);
    EXPECT_TRUE(EqualRgn(shape.get(), both.get()));
    EXPECT_FALSE(EqualRgn(shape.get(), frame.get()));

    // The marker stays through the frames of that burst.
    ASSERT_TRUE(PumpUntil([&] { return mouse_.BurstWindow().Glyph() == kFirstBurstFrame + 2; }, 1000));
    shape = ShapeOf(Burst());
    EXPECT_TRUE(Covers(shape.get(), GlyphOutline(font, kDoubleClickMarker).get()));

    // The next ordinary click has none.
    ClickAt(520, 410);
    EXPECT_FALSE(mouse_.BurstWindow().BurstDblClick());
    shape = ShapeOf(Burst());
    EXPECT_TRUE(EqualRgn(shape.get(), frame.get())) << "the frame's outline alone";
}

TEST_F(MouseBurst, ClickDuringABurstRestartsItAtTheNewPlace) {
    std::vector<unsigned char> frames;
    mouse_.BurstWindow().SetFrameListener([&](unsigned char code) { frames.push_back(code); });
    ClickAt(300, 250);
    ASSERT_TRUE(PumpUntil([&] { return mouse_.BurstWindow().Glyph() == 132; }, 1000));
    ClickAt(700, 600);
    EXPECT_EQ(mouse_.BurstWindow().Glyph(), kFirstBurstFrame);
    EXPECT_TRUE(Visible(Burst()));
    RECT r = WindowRect(Burst());
    BurstPlace want = ExpectedPlace(700, 600);
    EXPECT_EQ(r.left, want.left);
    EXPECT_EQ(r.top, want.top);

    ASSERT_TRUE(PumpUntil([&] { return !Visible(Burst()); }, 2000));
    EXPECT_EQ(frames, (std::vector<unsigned char>{130, 131, 132, 130, 131, 132, 133, 134}))
        << "the earlier burst simply ends; the new one runs its five frames";
}

TEST_F(MouseBurst, BurstEndsAfterFiveFramesAndDestroyStopsItAtOnce) {
    std::vector<unsigned char> frames;
    std::vector<std::chrono::steady_clock::time_point> times;
    mouse_.BurstWindow().SetFrameListener([&](unsigned char code) {
        frames.push_back(code);
        times.push_back(std::chrono::steady_clock::now());
    });
    EXPECT_EQ(mouse_.Delay(), 60);
    EXPECT_EQ(mouse_.BurstWindow().MouseFadeInterval(), 60);

    const auto start = std::chrono::steady_clock::now();
    ClickAt(640, 512);
    EXPECT_EQ(mouse_.BurstWindow().TimerInterval(), 60) << "the 50 ms first-frame marker is gone once shown";
    ASSERT_TRUE(PumpUntil([&] { return !Visible(Burst()); }, 2000));
    const auto end = std::chrono::steady_clock::now();
    EXPECT_EQ(frames, (std::vector<unsigned char>{130, 131, 132, 133, 134}));
    EXPECT_EQ(mouse_.BurstWindow().Glyph(), 0);
    EXPECT_EQ(mouse_.BurstWindow().TimerInterval(), 0);
    // Five frame times of 60 ms; window timers may fire a little late, never early.
    const auto lived = std::chrono::duration_cast<std::chrono::milliseconds>(end - start).count();
    EXPECT_GE(lived, 5 * 60 - 20);
    for (size_t i = 1; i < times.size(); ++i)
        EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(times[i] - times[i - 1]).count(), 30)
            << "frames follow the 60 ms frame time, give or take the timer's grain";
    PumpFor(200);
    EXPECT_FALSE(Visible(Burst())) << "and stays hidden";
    EXPECT_EQ(frames.size(), 5u);

    ClickAt(640, 512);
    ASSERT_TRUE(Visible(Burst()));
    mouse_.Destroy();
    EXPECT_FALSE(Visible(Burst()));
    EXPECT_EQ(mouse_.BurstWindow().Glyph(), 0);
    PumpFor(150);
    EXPECT_EQ(frames.size(), 6u) << "no frame after Destroy";
}

TEST_F(MouseBurst, SizeAbove188IsHeldAt188) {
    mouse_.SetSize(188);
    ClickAt(640, 512);
    ASSERT_TRUE(Visible(Burst()));
    RECT at188 = WindowRect(Burst());
    EXPECT_EQ(mouse_.BurstWindow().FontPoints(), 188);

    mouse_.SetSize(400);
    ClickAt(640, 512);
    EXPECT_EQ(mouse_.Size(), 400) << "the controller keeps what it was given";
    EXPECT_EQ(mouse_.BurstWindow().FontPoints(), 188);
    RECT held = WindowRect(Burst());
    EXPECT_EQ(held.right - held.left, at188.right - at188.left);
    EXPECT_EQ(held.bottom - held.top, at188.bottom - at188.top);

    mouse_.SetSize(64);
    ClickAt(640, 512);
    RECT small = WindowRect(Burst());
    EXPECT_LT(small.right - small.left, at188.right - at188.left);
    EXPECT_EQ(mouse_.BurstWindow().FontPoints(), 64);
}

// A plain window of the test, under the burst, counting the clicks that reach it.
class ClickTarget {
public:
    ClickTarget(int x, int y, int w, int h) {
        static const char* const kClass = [] {
            WNDCLASSA wc{};
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = &Proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = CreateSolidBrush(RGB(40, 90, 160));
            wc.lpszClassName = "SpotlexClickTarget";
            RegisterClassA(&wc);
            return "SpotlexClickTarget";
        }();
        window_.reset(CreateWindowExA(0, kClass, "target", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), this));
        SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetForegroundWindow(window_.get());
        UpdateWindow(window_.get());
    }
    HWND get() const { return window_.get(); }
    int downs = 0;
    int ups = 0;
    int doubles = 0;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<ClickTarget*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (self) {
            if (m == WM_LBUTTONDOWN) ++self->downs;
            if (m == WM_LBUTTONUP) ++self->ups;
            if (m == WM_LBUTTONDBLCLK) ++self->doubles;
        }
        return DefWindowProcA(h, m, w, l);
    }
    UniqueWindow window_;
};

void SendButton(DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

TEST_F(MouseBurst, ClicksAtTheBurstReachTheWindowBeneathEveryOne) {
    ClickTarget target(200, 150, 800, 600);
    ASSERT_TRUE(target.get());
    PumpFor(100);
    const int kClicks = 12;
    for (int i = 0; i < kClicks; ++i) {
        const POINT centre{350 + i * 40, 300 + (i % 3) * 70};
        ClickAt(centre.x, centre.y);
        ASSERT_TRUE(Visible(Burst()));
        const POINT p = InsidePointNear(Burst(), centre);
        ASSERT_LE(std::hypot(p.x - centre.x, p.y - centre.y), 40.0) << "a point of the burst itself";
        EXPECT_EQ(WindowFromPoint(p), target.get()) << "the burst is not there for the mouse";
        SetCursorPos(p.x, p.y);
        SendButton(MOUSEEVENTF_LEFTDOWN);
        SendButton(MOUSEEVENTF_LEFTUP);
        ASSERT_TRUE(PumpUntil([&] { return target.ups == i + 1; }, 1000)) << "click " << i;
        EXPECT_NE(GetForegroundWindow(), Burst());
        EXPECT_NE(GetActiveWindow(), Burst());
        PumpFor(400);  // let this burst end, so that the next click starts a fresh one
    }
    EXPECT_EQ(target.downs, kClicks);
    EXPECT_EQ(target.ups, kClicks);

    // The second click of a double-click lands on the burst of the first and still makes a
    // double-click for the program beneath.
    const POINT c{600, 450};
    ClickAt(c.x, c.y);
    const POINT p = InsidePointNear(Burst(), c);
    mouse_.Destroy();
    SetCursorPos(p.x, p.y);
    SendButton(MOUSEEVENTF_LEFTDOWN);
    SendButton(MOUSEEVENTF_LEFTUP);
    ClickAt(c.x, c.y);  // the hook's answer to the first click
    ASSERT_TRUE(Visible(Burst()));
    SendButton(MOUSEEVENTF_LEFTDOWN);
    SendButton(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return target.doubles == 1; }, 1000));
    EXPECT_NE(GetForegroundWindow(), Burst());
}

TEST_F(MouseBurst, FollowsThePointerToNegativeCoordinates) {
    ClickAt(-300, -120);
    ASSERT_FALSE(trayAsked_.empty());
    EXPECT_EQ(trayAsked_.back().x, -300);
    EXPECT_EQ(trayAsked_.back().y, -120);
    RECT r = WindowRect(Burst());
    BurstPlace want = ExpectedPlace(-300, -120);
    EXPECT_EQ(r.left, want.left);
    EXPECT_EQ(r.top, want.top);
    EXPECT_LT(r.left, -300);
    EXPECT_EQ(sounds_, 1);
}

TEST_F(MouseBurst, FireburstPatternFillsTheShapeWithTheRings) {
    goCurrentUser->SetValue("Pattern", rgsString, std::string("Fireburst"));
    mouse_.SetSize(188);
    ClickAt(640, 500);
    EXPECT_TRUE(mouse_.BurstWindow().PatternVisible());
    PumpFor(30);
    RECT r = WindowRect(Burst());
    UniqueRgn shape = ShapeOf(Burst());
    // Sample the inside of the shape: every pixel is one of the fire colours, red at full.
    int seen = 0;
    for (int y = r.top; y < r.bottom; y += 7)
        for (int x = r.left; x < r.right; x += 7)
            if (PtInRegion(shape.get(), x - r.left, y - r.top)) {
                COLORREF c = ScreenPixel({x, y});
                EXPECT_GE(GetRValue(c), 250) << x << "," << y;
                EXPECT_LE(GetBValue(c), 8) << x << "," << y;
                ++seen;
            }
    EXPECT_GT(seen, 10);

    // The match is exact: any other text is a flat colour.
    goCurrentUser->SetValue("Pattern", rgsString, std::string("fireburst"));
    ClickAt(640, 500);
    EXPECT_FALSE(mouse_.BurstWindow().PatternVisible());
}

// Where a frame and the marker overlap, the shape stays filled. The display font keeps its marker
// clear of the frames, so a text font whose characters 130 to 135 do overlap shows the rule.
TEST(BurstRegion, OverlapOfFrameAndMarkerIsFilledNotCutOut) {
    UniqueFont text(CreateFontA(-100, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                "DejaVu Sans"));
    WindowDc screen(nullptr);
    ASSERT_EQ(SelectedFaceName(screen.get(), text.get()), "DejaVu Sans");
    UniqueMemDc dc(CreateCompatibleDC(screen.get()));
    ScopedSelect sel(dc.get(), text.get());
    for (unsigned char code = kFirstBurstFrame; code <= kLastBurstFrame; ++code) {
        UniqueRgn frame = GlyphOutline(text.get(), code);
        UniqueRgn marker = GlyphOutline(text.get(), kDoubleClickMarker);
        ASSERT_TRUE(frame && marker);
        UniqueRgn overlap(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(CombineRgn(overlap.get(), frame.get(), marker.get(), RGN_AND), NULLREGION) << int(code);

        UniqueRgn shape = BuildBurstRegion(dc.get(), code, true);
        ASSERT_TRUE(shape);
        EXPECT_TRUE(Covers(shape.get(), frame.get())) << int(code);
        EXPECT_TRUE(Covers(shape.get(), marker.get())) << int(code);
        EXPECT_TRUE(Covers(shape.get(), overlap.get())) << int(code);
        UniqueRgn alone = BuildBurstRegion(dc.get(), code, false);
        EXPECT_TRUE(EqualRgn(alone.get(), frame.get())) << int(code);
    }
}

TEST_F(MouseBurst, ShapesAreGivenToTheWindowAndNoneLeaks) {
    const long regions = UniqueRgn::Live();
    const long fonts = UniqueFont::Live();
    const long brushes = UniqueBrush::Live();
    const long bitmaps = UniqueBitmap::Live();
    const long dcs = WindowDc::Live();
    mouse_.SetDelay(10);
    for (int i = 0; i < 60; ++i) {
        if (i % 2) {
            DoubleClickAt(300 + i * 5, 400);
        } else {
            mouse_.SetSize(i % 4 ? 64 : 100);
            ClickAt(300 + i * 5, 400);
        }
        ASSERT_TRUE(PumpUntil([&] { return !Visible(Burst()); }, 1000)) << i;
    }
    // A run of restarts, each shaping a first frame.
    for (int i = 0; i < 200; ++i) ClickAt(200 + i, 300);
    ASSERT_TRUE(ShapeOf(Burst())) << "the window still holds the region it was given";
    EXPECT_EQ(UniqueRgn::Live(), regions);
    EXPECT_EQ(UniqueFont::Live(), fonts);
    EXPECT_EQ(UniqueBrush::Live(), brushes);
    EXPECT_EQ(UniqueBitmap::Live(), bitmaps);
    EXPECT_EQ(WindowDc::Live(), dcs);
}

}  // namespace
}  // namespace spotlex
