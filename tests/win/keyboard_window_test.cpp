// The keystroke window on a real screen: placement, linger and fade, drag, focus, shape and leaks.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/sound_win.h"
#include "core/unique_handle_win.h"
#include "keystrokes/key_naming.h"
#include "keystrokes/keyboard_window_win.h"
#include "support/test_support.h"

bool operator==(const SIZE& a, const SIZE& b) {
    return a.cx == b.cx && a.cy == b.cy;
}
std::ostream& operator<<(std::ostream& o, const SIZE& s) {
    return o << s.cx << " x " << s.cy;
}

namespace spotlex {
namespace {

using test::DragFrom;
using test::MouseTo;
using test::PumpFor;
using test::PumpUntil;

// Key-cap texts as the keystroke handler makes them.
const std::string kA = NameKey('A', 0, false);
const std::string kB = NameKey('B', 0, false);
const std::string kCtrlAltDel = NameKey(VK_DELETE, kModCtrl | kModAlt, false);

bool Visible(HWND h) {
    return test::OnScreen(h);
}

RECT WindowRect(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    return r;
}

SIZE SizeOf(const RECT& r) {
    return {r.right - r.left, r.bottom - r.top};
}

// The text's extent in the display font, measured here.
SIZE TextExtent(const std::string& text, int points) {
    DisplayFont f = CreateDisplayFont(points);
    WindowDc screen(nullptr);
    ScopedSelect sel(screen.get(), f.font.get());
    SIZE s{};
    GetTextExtentPoint32A(screen.get(), text.data(), static_cast<int>(text.size()), &s);
    return s;
}

void StorePlace(int left, int top) {
    goCurrentUser->SetValue("Keyboard_Left", rgsDWord, left);
    goCurrentUser->SetValue("Keyboard_Top", rgsDWord, top);
}

// The monitor memory of the keystroke window: a device name and its area then.
void StoreMonitor(const std::string& device, const RECT& area) {
    goCurrentUser->SetValue("Keyboard_Monitor", rgsString, device);
    goCurrentUser->SetValue("Keyboard_Monitor_Left", rgsDWord, area.left);
    goCurrentUser->SetValue("Keyboard_Monitor_Top", rgsDWord, area.top);
    goCurrentUser->SetValue("Keyboard_Monitor_Right", rgsDWord, area.right);
    goCurrentUser->SetValue("Keyboard_Monitor_Bottom", rgsDWord, area.bottom);
}

std::string StoredText(const char* name) {
    RegValue v = goCurrentUser->Value(name, rgsString);
    return std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : std::string();
}

std::int32_t StoredNumber(const char* name) {
    RegValue v = goCurrentUser->Value(name, rgsDWord);
    return std::holds_alternative<std::int32_t>(v) ? std::get<std::int32_t>(v) : INT32_MIN;
}

// A full-screen window of one colour behind everything the tests show.
class Backdrop {
public:
    explicit Backdrop(COLORREF color) : brush_(CreateSolidBrush(color)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KeyboardTestBackdrop";
        RegisterClassA(&wc);
        window_.reset(CreateWindowExA(WS_EX_NOACTIVATE, "KeyboardTestBackdrop", "", WS_POPUP, 0, 0,
                                      GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr,
                                      nullptr, wc.hInstance, nullptr));
        SetClassLongPtrA(window_.get(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush_.get()));
        SetWindowPos(window_.get(), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpFor(100);
    }

private:
    UniqueBrush brush_;
    UniqueWindow window_;
};

// Closes the message box of the missing font from inside its own modal loop, after checking
// that more presses meanwhile add no second box.
struct MissingFontProbe {
    CKeyboardWindow* kb = nullptr;
    int boxes = 0;
    int boxesAfterMorePresses = 0;
    bool morePressesShown = true;
    std::string text;
    std::string title;
};
MissingFontProbe* gProbe = nullptr;

int CountBoxes() {
    int n = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            char cls[32] = {};
            GetClassNameA(w, cls, sizeof cls);
            if (std::string(cls) == "#32770" && IsWindowVisible(w)) ++*reinterpret_cast<int*>(p);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

void CALLBACK CloseFontMessage(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowA("#32770", "Spotlex");
    if (!box) return;
    KillTimer(nullptr, id);
    MissingFontProbe& p = *gProbe;
    p.boxes = CountBoxes();
    char title[64] = {};
    GetWindowTextA(box, title, sizeof title);
    p.title = title;
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    p.text = text;
    p.kb->Display("a");
    p.kb->Display("b");
    p.morePressesShown = p.kb->Window().FontMessageOpen() && IsWindowVisible(p.kb->Window().Hwnd());
    p.boxesAfterMorePresses = CountBoxes();
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

constexpr const char* kChildFlag = "SPOTLEX_KEYBOARD_TEST_CHILD";

// Runs the named test in a new process of this program and returns its exit code.
DWORD RunInChild(const char* filter) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string cmd = std::string("\"") + exe + "\" --gtest_filter=" + filter;
    SetEnvironmentVariableA(kChildFlag, "1");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started =
        CreateProcessA(exe, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA(kChildFlag, nullptr);
    if (!started) return 0xFFFFFFFF;
    WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

// The system remembers that a face was missing even after the font is added, so this test runs
// in a process of its own that never loads the display font.
TEST(KeyboardWindowWithoutFont, ShowsItsMessageOnceAtATimeAndNothingElse) {
    if (!GetEnvironmentVariableA(kChildFlag, nullptr, 0)) {
        EXPECT_EQ(RunInChild("KeyboardWindowWithoutFont.*"), 0u);
        return;
    }
    ASSERT_FALSE(IsFontFaceAvailable(kDisplayFontFace));
    {
        CKeyboardWindow kb;
        MissingFontProbe probe;
        probe.kb = &kb;
        gProbe = &probe;
        for (int round = 0; round < 2; ++round) {
            probe = MissingFontProbe{};
            probe.kb = &kb;
            SetTimer(nullptr, 0, 100, CloseFontMessage);
            EXPECT_FALSE(kb.Window().Display("a", 0, 64));
            EXPECT_EQ(probe.boxes, 1) << "round " << round;
            EXPECT_EQ(probe.boxesAfterMorePresses, 1) << "presses while the message is open add no box";
            EXPECT_FALSE(probe.morePressesShown);
            EXPECT_EQ(probe.title, "Spotlex");
            EXPECT_EQ(
                probe.text.rfind("The 'Spotlex' Font could not be found, and Spotlex can not be run without "
                                 "this Font.\r\n\r\nPlease re-install this Font, or visit ",
                                 0),
                0u)
                << probe.text;
            EXPECT_NE(probe.text.find(" to download it again."), std::string::npos);
            EXPECT_FALSE(Visible(kb.Window().Hwnd()));
            EXPECT_FALSE(kb.Window().FontMessageOpen());
        }
        gProbe = nullptr;
    }
}

class KeyboardWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
        gbPlaySounds = false;
        ASSERT_TRUE(LoadDisplayFont());
    }
    static void TearDownTestSuite() { goCurrentUser.reset(); }
    void SetUp() override {
        ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280) << "the tests expect the 1280 x 1024 test screen";
        ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
        for (const char* name : {"Keyboard_Left", "Keyboard_Top", "Keyboard_Monitor"}) {
            try {
                goCurrentUser->DeleteValue(name);
            } catch (...) {
            }
        }
    }
};

TEST_F(KeyboardWindowTest, FirstPlaceIsCentredForTheDesignedSizeThenStoredOnHide) {
    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();
    RECT before = WindowRect(h);
    EXPECT_EQ(before.right - before.left, 297) << "4455 twips at 15 twips per pixel";
    EXPECT_EQ(before.bottom - before.top, 61) << "915 twips";
    EXPECT_FALSE(Visible(h));

    kb.SetSize(64);
    kb.Display(kCtrlAltDel);
    ASSERT_TRUE(Visible(h));
    RECT r = WindowRect(h);
    // (1280 - 297) * 15 / 2 = 7372.5 twips, rounded to 7372, / 15 = 491; (1024 - 61) -> 481.
    EXPECT_EQ(r.left, 491);
    EXPECT_EQ(r.top, 481);
    // Then the window takes the size of its text.
    EXPECT_EQ(SizeOf(r), TextExtent(kCtrlAltDel, 64));
    EXPECT_EQ(test::CodesOf(kb.Window().Text()), kCtrlAltDel);

    kb.Destroy();
    EXPECT_FALSE(Visible(h));
    EXPECT_TRUE(kb.Window().Text().empty());
    EXPECT_EQ(StoredNumber("Keyboard_Left"), 491);
    EXPECT_EQ(StoredNumber("Keyboard_Top"), 481);

    // The next text goes where the last one was stored.
    kb.Display(kA);
    EXPECT_EQ(WindowRect(h).left, 491);
    EXPECT_EQ(WindowRect(h).top, 481);
}

TEST_F(KeyboardWindowTest, StoredPlaceIsUsedAndKeptOnScreen) {
    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();

    StorePlace(100, 200);
    kb.Display(kA);
    EXPECT_EQ(WindowRect(h).left, 100);
    EXPECT_EQ(WindowRect(h).top, 200);
    kb.Destroy();

    // Off the bottom-right: pulled back by the size the window had before this text.
    StorePlace(5000, 5000);
    RECT old = WindowRect(h);
    kb.Display(kB);
    RECT r = WindowRect(h);
    EXPECT_EQ(r.left, 1280 - (old.right - old.left));
    EXPECT_EQ(r.top, 1024 - (old.bottom - old.top));
    kb.Destroy();
    EXPECT_EQ(StoredNumber("Keyboard_Left"), r.left) << "the clamped place is what gets stored";

    // Off the top-left, and a DWORD that reads as -1.
    StorePlace(-400, -1);
    kb.Display(kA);
    EXPECT_EQ(WindowRect(h).left, 0);
    EXPECT_EQ(WindowRect(h).top, 0);
}

TEST_F(KeyboardWindowTest, StoredPlaceOnASecondMonitorStaysThere) {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT rc, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<RECT>*>(data)->push_back(*rc);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    RECT second{};
    for (const RECT& m : monitors)
        if (m.left != 0 || m.top != 0) second = m;
    // Xvfb's Xinerama screens all start at the origin; the clamp itself is tested natively.
    if (second.right == 0) GTEST_SKIP() << "no monitor beside the primary";

    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();
    StorePlace(second.left + 40, second.top + 30);
    kb.Display(kA);
    EXPECT_EQ(WindowRect(h).left, second.left + 40);
    EXPECT_EQ(WindowRect(h).top, second.top + 30);
    kb.Destroy();

    // Beyond the second monitor's far corner: kept on that monitor, not pulled to the primary.
    StorePlace(second.right + 500, second.bottom + 500);
    RECT old = WindowRect(h);
    kb.Display(kA);
    EXPECT_EQ(WindowRect(h).left, second.right - (old.right - old.left));
    EXPECT_EQ(WindowRect(h).top, second.bottom - (old.bottom - old.top));
}

TEST_F(KeyboardWindowTest, PlaceOnAMonitorThatIsGoneStandsInOnThePrimaryAndIsKept) {
    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();
    MONITORINFOEXA primary{};
    primary.cbSize = sizeof primary;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary));

    // Shown once on this monitor: the place is stored with the monitor's name and area.
    StorePlace(100, 200);
    kb.Display(kA);
    kb.Destroy();
    EXPECT_EQ(StoredText("Keyboard_Monitor"), primary.szDevice);
    EXPECT_EQ(StoredNumber("Keyboard_Monitor_Right"), 1280);
    EXPECT_EQ(StoredNumber("Keyboard_Monitor_Bottom"), 1024);

    // Put last at the bottom-right corner of a projector that is not plugged in.
    const RECT projector{1280, 0, 3200, 1080};
    const RECT old = WindowRect(h);
    const SIZE size = SizeOf(old);
    StorePlace(projector.right - size.cx, projector.bottom - size.cy);
    StoreMonitor("\\\\.\\DISPLAY9", projector);
    kb.Display(kA);
    EXPECT_EQ(WindowRect(h).left, 1280 - size.cx) << "the same corner of the primary monitor";
    EXPECT_EQ(WindowRect(h).top, 1024 - size.cy);
    kb.Destroy();
    // The stand-in place is not stored, so the text goes back when the projector does.
    EXPECT_EQ(StoredNumber("Keyboard_Left"), projector.right - size.cx);
    EXPECT_EQ(StoredText("Keyboard_Monitor"), "\\\\.\\DISPLAY9");

    // The projector leaves while a text shows on it: the text moves over at once.
    StorePlace(300, 200);
    StoreMonitor(primary.szDevice, primary.rcMonitor);
    kb.Display(kB);
    const SIZE shown = SizeOf(WindowRect(h));
    StorePlace(projector.left, projector.bottom - shown.cy);
    StoreMonitor("\\\\.\\DISPLAY9", projector);
    SendMessageA(h, WM_DISPLAYCHANGE, 24, MAKELPARAM(1280, 1024));
    EXPECT_EQ(WindowRect(h).left, 0);
    EXPECT_EQ(WindowRect(h).top, 1024 - shown.cy);
    EXPECT_TRUE(Visible(h));
    kb.Destroy();
    EXPECT_EQ(StoredNumber("Keyboard_Left"), projector.left);
}

TEST_F(KeyboardWindowTest, TextTakesTheResolutionOfTheMonitorItIsMovedTo) {
    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();
    kb.SetSize(64);
    StorePlace(100, 200);
    kb.Display(kCtrlAltDel);
    ASSERT_EQ(SizeOf(WindowRect(h)), TextExtent(kCtrlAltDel, 64));

    // As the system tells a window dragged onto a monitor at 200 %.
    RECT suggested = WindowRect(h);
    SendMessageA(h, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    const DisplayFont big = CreateDisplayFont(64, 192);
    WindowDc screen(nullptr);
    SIZE extent{};
    {
        ScopedSelect sel(screen.get(), big.font.get());
        GetTextExtentPoint32A(screen.get(), kCtrlAltDel.data(), static_cast<int>(kCtrlAltDel.size()),
                              &extent);
    }
    EXPECT_EQ(SizeOf(WindowRect(h)), extent);
    EXPECT_EQ(WindowRect(h).left, 100) << "it stays where it landed";
    EXPECT_EQ(kb.Window().FontPoints(), 64) << "the same size in points";
    EXPECT_TRUE(Visible(h));
}

TEST_F(KeyboardWindowTest, SecondPressDuringTheLingerOrFadeRestartsIt) {
    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();
    StorePlace(300, 250);
    kb.SetDelay(600);
    kb.SetColor(RGB(0, 0, 255));
    kb.Display(kA);
    RECT first = WindowRect(h);
    EXPECT_EQ(kb.Window().TimerInterval(), 600);
    PumpFor(400);
    ASSERT_EQ(kb.Window().FadeSteps(), 0);

    kb.SetColor(RGB(0, 160, 0));
    kb.Display(kB);
    EXPECT_EQ(test::CodesOf(kb.Window().Text()), kB);
    EXPECT_EQ(kb.Window().FillColor(), RGB(0, 160, 0));
    EXPECT_EQ(WindowRect(h).left, first.left) << "same place";
    EXPECT_EQ(WindowRect(h).top, first.top);
    // 800 ms after the first press: the first linger would be over, the second is not.
    PumpFor(400);
    EXPECT_TRUE(Visible(h));
    EXPECT_EQ(kb.Window().FadeSteps(), 0);
    EXPECT_EQ(kb.Window().FillColor(), RGB(0, 160, 0));
    ASSERT_TRUE(PumpUntil([&] { return kb.Window().FadeSteps() > 1; }, 2000)) << "then it fades";

    // A press during the fade brings back the full colour and a fresh linger, the same text too.
    EXPECT_NE(kb.Window().FillColor(), RGB(0, 160, 0));
    kb.Display(kB);
    EXPECT_TRUE(Visible(h));
    EXPECT_EQ(kb.Window().FillColor(), RGB(0, 160, 0));
    EXPECT_EQ(kb.Window().TimerInterval(), 600);
    EXPECT_EQ(kb.Window().FadeSteps(), 0);
    PumpFor(300);
    EXPECT_EQ(kb.Window().FadeSteps(), 0);
}

TEST_F(KeyboardWindowTest, WhiteOnBlackFadesIn15StepsAndHides) {
    Backdrop black(RGB(0, 0, 0));
    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();
    kb.SetDelay(100);
    kb.SetColor(0xFFFFFF);

    const auto start = std::chrono::steady_clock::now();
    kb.Display(kCtrlAltDel);
    std::set<COLORREF> seen;
    const bool hidden = PumpUntil(
        [&] {
            seen.insert(kb.Window().FillColor());
            return !Visible(h);
        },
        4000);
    const auto took =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    ASSERT_TRUE(hidden);
    EXPECT_EQ(kb.Window().FadeSteps(), 15);
    EXPECT_EQ(kb.Window().TimerInterval(), 0);
    EXPECT_TRUE(kb.Window().Text().empty());
    // The linger, then 14 pauses of 60 ms between the 15 steps.
    EXPECT_GE(took.count(), 100 + 14 * 60 - 20);
    // Only greys of the 16-step ladder were shown, never black itself.
    for (COLORREF c : seen) {
        EXPECT_EQ(GetRValue(c), GetGValue(c));
        EXPECT_EQ(GetRValue(c), GetBValue(c));
        EXPECT_EQ((255 - GetRValue(c)) % 16, 0) << std::hex << c;
        EXPECT_NE(c, 0u);
    }
    EXPECT_GE(seen.size(), 5u);

    // Over a background of the fill colour itself, the first fade step hides the window.
    kb.SetColor(0);
    kb.Display(kA);
    ASSERT_TRUE(PumpUntil([&] { return !Visible(h); }, 2000));
    EXPECT_EQ(kb.Window().FadeSteps(), 1);
}

TEST_F(KeyboardWindowTest, Size200IsHeldAt188) {
    CKeyboardWindow kb;
    kb.SetSize(200);
    kb.Display(kA);
    EXPECT_EQ(kb.Window().FontPoints(), 188);
    EXPECT_EQ(SizeOf(WindowRect(kb.Window().Hwnd())), TextExtent(kA, 188));
    // 188 points at 96 dpi is 251 pixels of em; the cell is at least that tall.
    EXPECT_GE(TextExtent(kA, 188).cy, 251);
}

TEST_F(KeyboardWindowTest, RegionIsBuiltOncePerTextAndNothingLeaks) {
    CKeyboardWindow kb;
    frmKeyboardWindow& w = kb.Window();
    HWND h = w.Hwnd();
    kb.Display(kA);
    const int afterFirst = w.RegionBuilds();
    kb.Display(kA);
    kb.Display(kA);
    for (int i = 0; i < 10; ++i) {
        InvalidateRect(h, nullptr, FALSE);
        UpdateWindow(h);
    }
    PumpFor(50);
    EXPECT_EQ(w.RegionBuilds(), afterFirst) << "same text and font: the shape stays";

    kb.Display(kB);
    EXPECT_EQ(w.RegionBuilds(), afterFirst + 1);
    kb.SetSize(100);
    kb.Display(kB);
    EXPECT_EQ(w.RegionBuilds(), afterFirst + 2) << "a new size is a new shape";

    // The window owns exactly the region it shows.
    UniqueRgn shape(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(h, shape.get()), COMPLEXREGION);
    RECT box{};
    GetRgnBox(shape.get(), &box);
    EXPECT_LE(box.right, WindowRect(h).right - WindowRect(h).left);

    // A fade runs without reshaping.
    Backdrop black(RGB(0, 0, 0));
    kb.SetDelay(60);
    kb.SetColor(0xFFFFFF);
    const int beforeFade = w.RegionBuilds();
    kb.Display(kB);
    ASSERT_TRUE(PumpUntil([&] { return !Visible(h); }, 3000));
    EXPECT_GT(w.FadeSteps(), 1);
    EXPECT_EQ(w.RegionBuilds(), beforeFade);

    // Thousands of displays with changing texts and sizes give back every region and font.
    kb.SetDelay(1000);
    const long regions = UniqueRgn::Live();
    const long fonts = UniqueFont::Live();
    const long cursors = UniqueCursor::Live();
    const long dcs = WindowDc::Live();
    const std::string texts[] = {kA, kB, kCtrlAltDel, "xyz", NameKey('C', kModCtrl, false)};
    for (int i = 0; i < 2000; ++i) {
        kb.SetSize(i % 7 == 0 ? 48 + i % 100 : 64);
        kb.Display(texts[i % 5]);
        if (i % 100 == 0) PumpFor(1);
    }
    kb.SetSize(100);
    kb.Display(kB);
    kb.Destroy();
    EXPECT_EQ(UniqueRgn::Live(), regions);
    EXPECT_EQ(UniqueFont::Live(), fonts);
    EXPECT_EQ(UniqueCursor::Live(), cursors);
    EXPECT_EQ(WindowDc::Live(), dcs);
}

// A window of the test that has the focus and collects typed text.
class TypingTarget {
public:
    TypingTarget() {
        frame_.reset(CreateWindowExA(0, "STATIC", "typing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 700, 400,
                                     200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
        edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 360, 30,
                                frame_.get(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(frame_.get());
        SetFocus(edit_);
        PumpFor(200);
    }
    HWND Frame() const { return frame_.get(); }
    HWND Edit() const { return edit_; }
    std::string Text() const {
        char buf[512] = {};
        GetWindowTextA(edit_, buf, sizeof buf);
        return buf;
    }

private:
    UniqueWindow frame_;
    HWND edit_ = nullptr;
};

void TypeKey(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// A point inside the window's shape, in screen pixels.
POINT InsideShape(HWND h) {
    RECT wr = WindowRect(h);
    UniqueRgn shape(CreateRectRgn(0, 0, 0, 0));
    GetWindowRgn(h, shape.get());
    for (int y = (wr.bottom - wr.top) / 2; y < wr.bottom - wr.top; ++y)
        for (int x = 4; x < wr.right - wr.left; ++x)
            if (PtInRegion(shape.get(), x, y) && PtInRegion(shape.get(), x + 3, y) &&
                PtInRegion(shape.get(), x, y + 3))
                return {wr.left + x + 1, wr.top + y + 1};
    return {-1, -1};
}

TEST_F(KeyboardWindowTest, DragMovesTheWindowStoresItAndResumesHookAndTimer) {
    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();
    std::vector<bool> gate;
    kb.SetInputGate([&](bool on) { gate.push_back(on); });
    kb.SetDelay(1500);
    kb.SetSize(96);
    StorePlace(200, 150);
    kb.Display(kCtrlAltDel);
    const POINT grab = InsideShape(h);
    ASSERT_GE(grab.x, 0);

    std::thread drag = DragFrom(grab, 120, 80);
    PumpUntil([&] { return gate.size() == 2; }, 5000);
    drag.join();
    PumpFor(50);
    ASSERT_EQ(gate, (std::vector<bool>{false, true})) << "the hook is suspended and resumed once";
    EXPECT_EQ(WindowRect(h).left, 320);
    EXPECT_EQ(WindowRect(h).top, 230);
    EXPECT_FALSE(kb.Window().Dragging());
    EXPECT_EQ(kb.Window().TimerInterval(), 1500) << "the linger goes on";
    // The dragged place is kept, and the next press shows its text there.
    EXPECT_EQ(StoredNumber("Keyboard_Left"), 320);
    EXPECT_EQ(StoredNumber("Keyboard_Top"), 230);
    kb.Display(kA);
    EXPECT_EQ(WindowRect(h).left, 320);
    EXPECT_EQ(WindowRect(h).top, 230);
    EXPECT_TRUE(PumpUntil([&] { return !Visible(h); }, 5000)) << "the timer runs again and the text fades";
}

TEST_F(KeyboardWindowTest, EndedInsideItsOwnDragItIsNotTouchedAfterwards) {
    // A log-off or the installer closing the program, dispatched inside the move loop.
    auto kb = std::make_unique<CKeyboardWindow>();
    std::vector<bool> gate;
    kb->SetInputGate([&](bool on) { gate.push_back(on); });
    kb->SetSize(96);
    StorePlace(210, 160);
    kb->Display(kCtrlAltDel);
    const POINT grab = InsideShape(kb->Window().Hwnd());
    ASSERT_GE(grab.x, 0);
    test::AtMoveLoop([&] { kb.reset(); });
    std::thread drag = DragFrom(grab, 80, 50);
    PumpUntil([&] { return gate.size() == 2; }, 8000);
    drag.join();
    ASSERT_TRUE(test::MoveLoopActionRan());
    EXPECT_EQ(gate, (std::vector<bool>{false, true})) << "the hook comes back all the same";
    EXPECT_EQ(StoredNumber("Keyboard_Left"), 210) << "a place stored from the destroyed window";
    EXPECT_EQ(StoredNumber("Keyboard_Top"), 160);
}

TEST_F(KeyboardWindowTest, FailingDragStillResumesHookAndTimer) {
    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();
    std::vector<bool> gate;
    kb.SetInputGate([&](bool on) {
        gate.push_back(on);
        if (!on) throw std::runtime_error("the hook could not be suspended");
    });
    kb.SetDelay(300);
    kb.SetSize(96);
    kb.Display(kCtrlAltDel);
    const POINT grab = InsideShape(h);
    ASSERT_GE(grab.x, 0);
    std::thread drag = DragFrom(grab, 50, 0);
    PumpUntil([&] { return gate.size() == 2; }, 5000);
    drag.join();
    EXPECT_EQ(gate, (std::vector<bool>{false, true}));
    EXPECT_FALSE(kb.Window().Dragging());
    EXPECT_TRUE(kb.Window().TimerInterval() != 0 || !Visible(h));
    EXPECT_TRUE(PumpUntil([&] { return !Visible(h); }, 5000)) << "the timer was not left off";
}

TEST_F(KeyboardWindowTest, NeverTakesTheFocusFromTheProgramBeingUsed) {
    TypingTarget target;
    ASSERT_EQ(GetForegroundWindow(), target.Frame());
    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();
    kb.SetDelay(100);
    kb.SetSize(72);
    kb.SetInputGate([](bool) {});

    std::string typed;
    for (int i = 0; i < 20; ++i) {
        const char c = static_cast<char>('a' + i % 26);
        TypeKey(static_cast<WORD>('A' + i % 26));
        typed += c;
        kb.Display(std::string(1, c));
        PumpFor(i % 4 == 0 ? 250 : 30);  // some presses wait into the fade
        ASSERT_EQ(GetForegroundWindow(), target.Frame()) << "after press " << i;
        ASSERT_NE(GetActiveWindow(), h);
    }
    EXPECT_TRUE(PumpUntil([&] { return target.Text() == typed; }, 2000)) << target.Text();

    // Clicking and dragging the window does not activate it either.
    kb.SetDelay(2000);
    kb.Display(kCtrlAltDel);
    std::thread drag = DragFrom(InsideShape(h), 30, 30);
    PumpFor(800);
    drag.join();
    PumpFor(100);
    {
        char cls[64] = {};
        GetClassNameA(GetForegroundWindow(), cls, sizeof cls);
        EXPECT_EQ(GetForegroundWindow(), target.Frame()) << cls << " ours " << h;
    }
    SetFocus(target.Edit());
    TypeKey('Z');
    EXPECT_TRUE(PumpUntil([&] { return target.Text() == typed + "z"; }, 2000)) << target.Text();
}

// Faded out, the window shows nothing but stays where it is: the same text again must be shaped
// and painted afresh, in its own colour rather than the last faded one.
TEST_F(KeyboardWindowTest, TheSameTextComesBackInItsColourAfterFading) {
    Backdrop black(RGB(0, 0, 0));
    CKeyboardWindow kb;
    HWND h = kb.Window().Hwnd();
    kb.SetDelay(60);
    kb.SetColor(0x0000FF);
    kb.Display(kA);
    UniqueRgn first(CreateRectRgn(0, 0, 0, 0));
    GetWindowRgn(h, first.get());
    const POINT inside = InsideShape(h);
    {
        // The shape is the text's outline as the window's own context draws it.
        DisplayFont f = CreateDisplayFont(kb.Window().FontPoints());
        WindowDc own(h);
        ScopedSelect sel(own.get(), f.font.get());
        UniqueRgn outline = TextOutlineRegion(own.get(), 0, 0, kA);
        EXPECT_TRUE(EqualRgn(first.get(), outline.get()));
    }
    ASSERT_TRUE(PumpUntil([&] { return !Visible(h); }, 3000));

    kb.Display(kA);
    ASSERT_TRUE(Visible(h));
    UniqueRgn again(CreateRectRgn(0, 0, 0, 0));
    GetWindowRgn(h, again.get());
    EXPECT_TRUE(EqualRgn(first.get(), again.get()));
    PumpFor(50);
    WindowDc screen(nullptr);
    EXPECT_EQ(GetPixel(screen.get(), inside.x, inside.y), RGB(255, 0, 0));
}

}  // namespace
}  // namespace spotlex
