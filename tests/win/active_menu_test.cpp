// ActiveMenu: the two popup menus, their captions and check marks, and icons from the icon library
// that the build places beside the program.
#include "app/active_menu_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/tray_menu_items.h"
#include "core/registry_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

// The registrations the main form makes at start, through the same function.
void RegisterAsAtStart(ActiveMenu& m, const std::string& iconFile = "%win%\\ckicons.icl") {
    m.SetIconFile(iconFile);
    RegisterTrayMenuItems(m);
}

std::vector<UINT> Ids(HMENU menu) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) ids.push_back(GetMenuItemID(menu, i));
    return ids;
}

// Premultiplied ARGB pixels of a menu item's bitmap.
std::vector<std::uint32_t> Pixels(HBITMAP bmp, int& w, int& h) {
    BITMAP bm{};
    GetObjectA(bmp, sizeof bm, &bm);
    w = bm.bmWidth;
    h = bm.bmHeight;
    EXPECT_EQ(bm.bmBitsPixel, 32);
    std::vector<std::uint32_t> px(static_cast<size_t>(w) * static_cast<size_t>(h));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bmp, 0, static_cast<UINT>(h), px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return px;
}

int Channel(std::uint32_t px, int shift) {
    return static_cast<int>((px >> shift) & 0xFF);
}

TEST(ActiveMenu, BuildsBothMenusInTheirOrderWithSeparators) {
    ActiveMenu m;
    EXPECT_EQ(Ids(m.mnuPopup()),
              (std::vector<UINT>{mnuViewMouseClicks, mnuViewKeyStrokes, mnuViewBreakClock, mnuLargeCursors, 0,
                                 mnuProperties, mnuHelp, mnuAbout, 0, mnuClose}));
    EXPECT_EQ(Ids(m.mnuPopupClock()), (std::vector<UINT>{mnuClockHide, mnuClockPause, mnuClockRestart, 0,
                                                         mnuClockProperties, 0, mnuClockClose}));
    EXPECT_EQ(GetMenuState(m.mnuPopup(), 4, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    // Before anything is registered the items show their design captions.
    EXPECT_EQ(m.ShownCaption(mnuViewMouseClicks), "View Mouse Clicks");
    EXPECT_EQ(m.ShownCaption(mnuClockPause), "ClockPause");
    EXPECT_FALSE(m.HasIcon(mnuClose));
}

TEST(ActiveMenu, RegisteredItemsGiveCaptionsAndIconsMatchedByCaption) {
    ActiveMenu m;
    RegisterAsAtStart(m);
    EXPECT_EQ(m.IconFile(), "%win%\\ckicons.icl");
    EXPECT_EQ(m.IconLibraryPath(), test::ExeFolder() + "ckicons.icl")
        << "the library beside the program wins";

    EXPECT_EQ(m.ShownCaption(mnuViewMouseClicks), "View Mouse Clicks");
    EXPECT_EQ(m.ShownCaption(mnuClose), "Close");
    EXPECT_EQ(m.ShownCaption(mnuClockPause), "Pause");
    EXPECT_EQ(m.ShownCaption(mnuClockRestart), "Restart");
    EXPECT_EQ(m.ShownCaption(mnuClockProperties), "Properties");
    EXPECT_EQ(m.ShownCaption(mnuClockClose), "Close");
    // No registered caption is "ClockHide": the item keeps it until the clock names it.
    EXPECT_EQ(m.ShownCaption(mnuClockHide), "ClockHide");

    for (UINT id : {mnuViewMouseClicks, mnuViewKeyStrokes, mnuViewBreakClock, mnuLargeCursors, mnuProperties,
                    mnuHelp, mnuClose, mnuClockPause, mnuClockRestart, mnuClockProperties, mnuClockClose})
        EXPECT_TRUE(m.HasIcon(id)) << "item " << id;
    EXPECT_FALSE(m.HasIcon(mnuAbout)) << "registered without an icon";
    EXPECT_FALSE(m.HasIcon(mnuClockHide));

    // The clock's Hide/Show caption: "Hide" is registered (no icon), "Show" is not.
    m.SetItemCaption(mnuClockHide, "Hide");
    EXPECT_EQ(m.ShownCaption(mnuClockHide), "Hide");
    m.SetItemCaption(mnuClockHide, "Show");
    EXPECT_EQ(m.ShownCaption(mnuClockHide), "Show");
    EXPECT_FALSE(m.HasIcon(mnuClockHide));
}

TEST(ActiveMenu, IconIndicesLandOnTheirDrawings) {
    ActiveMenu m;
    RegisterAsAtStart(m);
    // Help (19) is a blue disc and Close (20) a red one, side by side in the library: an
    // off-by-one would swap them. Sample the disc left of its white sign.
    int w = 0, h = 0;
    const auto help = Pixels(m.IconBitmap(mnuHelp), w, h);
    ASSERT_EQ(w, GetSystemMetrics(SM_CXSMICON));
    const auto close = Pixels(m.IconBitmap(mnuClose), w, h);
    const size_t probe = static_cast<size_t>(h / 2) * static_cast<size_t>(w) + static_cast<size_t>(w / 8);
    EXPECT_GT(Channel(help[probe], 0), Channel(help[probe], 16) + 60) << std::hex << help[probe];
    EXPECT_GT(Channel(close[probe], 16), Channel(close[probe], 0) + 60) << std::hex << close[probe];
    // Corners are see-through, and premultiplied colour never exceeds its alpha.
    EXPECT_EQ(close[0] >> 24, 0u);
    for (std::uint32_t px : close)
        for (int shift : {0, 8, 16}) ASSERT_LE(Channel(px, shift), Channel(px, 24));
    // Clock Close and Close share icon 20.
    EXPECT_EQ(Pixels(m.IconBitmap(mnuClockClose), w, h), close);
}

TEST(ActiveMenu, WorksWithoutIconsWhenTheLibraryIsMissing) {
    ActiveMenu m;
    RegisterAsAtStart(m, "%win%\\nowhere.icl");
    EXPECT_EQ(m.IconLibraryPath(), "");
    EXPECT_FALSE(m.HasIcon(mnuViewMouseClicks));
    EXPECT_EQ(m.ShownCaption(mnuClockPause), "Pause");
    m.SetChecked(mnuViewKeyStrokes, true);
    EXPECT_TRUE(m.Checked(mnuViewKeyStrokes));

    // Naming a library later dresses the items already registered.
    m.SetIconFile("%WIN%\\ckicons.icl");
    EXPECT_TRUE(m.HasIcon(mnuViewMouseClicks));
}

TEST(ActiveMenu, FallsBackToTheExpandedLocationOutsideTheProgramFolder) {
    char win[MAX_PATH] = {};
    GetWindowsDirectoryA(win, MAX_PATH);
    const std::string spare = std::string(win) + "\\spare_icons.icl";
    ASSERT_TRUE(CopyFileA((test::ExeFolder() + "ckicons.icl").c_str(), spare.c_str(), FALSE));
    ActiveMenu m;
    RegisterAsAtStart(m, "%win%\\spare_icons.icl");
    EXPECT_EQ(m.IconLibraryPath(), spare);
    EXPECT_TRUE(m.HasIcon(mnuHelp));

    // Environment references expand too.
    RegisterAsAtStart(m, "%SystemRoot%\\spare_icons.icl");
    EXPECT_TRUE(m.HasIcon(mnuHelp));
    DeleteFileA(spare.c_str());
}

TEST(ActiveMenu, ChecksAndEnablesByItemAndByKey) {
    ActiveMenu m;
    RegisterAsAtStart(m);
    EXPECT_FALSE(m.Checked(mnuLargeCursors));
    m.SetCheckedByKey("mnuViewLargeCursors", true);  // the key names the item by its caption
    EXPECT_TRUE(m.Checked(mnuLargeCursors));
    EXPECT_TRUE(m.CheckedByKey("mnuViewLargeCursors"));
    m.SetChecked(mnuLargeCursors, false);
    EXPECT_FALSE(m.CheckedByKey("mnuViewLargeCursors"));
    m.SetCheckedByKey("noSuchKey", true);

    m.SetChecked(mnuClockPause, true);
    EXPECT_TRUE(m.Checked(mnuClockPause));
    EXPECT_TRUE(m.HasIcon(mnuClockPause)) << "a check mark keeps the icon";

    EXPECT_TRUE(m.Enabled(mnuProperties));
    m.SetEnabled(mnuProperties, false);
    EXPECT_FALSE(m.Enabled(mnuProperties));
    EXPECT_TRUE(GetMenuState(m.mnuPopup(), mnuProperties, MF_BYCOMMAND) & MF_GRAYED);
    m.SetEnabled(mnuProperties, true);
    EXPECT_TRUE(m.Enabled(mnuProperties));
}

// A hidden owner of the menus, as the main form is; keys posted to it reach the open menu's loop.
struct Owner {
    Owner() {
        hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        SetForegroundWindow(hwnd);
    }
    ~Owner() { DestroyWindow(hwnd); }
    void Type(std::initializer_list<WPARAM> keys) const {
        for (WPARAM k : keys) {
            PostMessageA(hwnd, WM_KEYDOWN, k, 1);
            PostMessageA(hwnd, WM_KEYUP, k, 0xC0000001);
        }
    }
    HWND hwnd;
};

TEST(ActiveMenu, TrackPopupReturnsTheChosenItemOrZero) {
    ActiveMenu m;
    RegisterAsAtStart(m);
    Owner owner;
    owner.Type({VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(m.TrackPopup(m.mnuPopup(), owner.hwnd, {200, 200}), static_cast<UINT>(mnuViewKeyStrokes));

    owner.Type({VK_UP, VK_RETURN});  // wraps to the last item
    EXPECT_EQ(m.TrackPopup(m.mnuPopup(), owner.hwnd, {200, 200}), static_cast<UINT>(mnuClose));

    owner.Type({VK_DOWN, VK_ESCAPE});
    EXPECT_EQ(m.TrackPopup(m.mnuPopup(), owner.hwnd, {200, 200}), 0u);

    owner.Type({VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(m.TrackPopup(m.mnuPopupClock(), owner.hwnd, {200, 200}), static_cast<UINT>(mnuClockPause));
}

TEST(ActiveMenu, TheChosenCommandReadsSettingsChangedWhileTheMenuWasOpen) {
    const char* path = "HKEY_CURRENT_USER\\Software\\SpotlexTests\\Menu";
    RegistrySetting kept;
    kept.OpenKey(path);
    kept.KeepValues();
    kept.SetValue("Size", rgsDWord, 1);
    ASSERT_EQ(kept.Value("Size"), RegValue{std::int32_t{1}});
    // Another program's write, which the menu's own loop waits through without noting.
    DWORD two = 2;
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\SpotlexTests\\Menu", "Size", REG_DWORD, &two, sizeof two),
              ERROR_SUCCESS);
    ActiveMenu m;
    RegisterAsAtStart(m);
    Owner owner;
    owner.Type({VK_ESCAPE});
    m.TrackPopup(m.mnuPopup(), owner.hwnd, {200, 200});
    EXPECT_EQ(kept.Value("Size"), RegValue{std::int32_t{2}});
    kept.CloseKey();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\SpotlexTests");
}

// Counts the screen pixels inside the open popup menu that match `pick`, then closes the menu.
struct MenuShot {
    static inline int matches = 0;
    static inline bool (*pick)(std::uint32_t) = nullptr;

    static void CALLBACK Take(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND menu = FindWindowA("#32768", nullptr);
        RECT r{};
        if (menu && GetWindowRect(menu, &r)) {
            const int w = r.right - r.left;
            const int h = r.bottom - r.top;
            HDC screen = GetDC(nullptr);
            HDC mem = CreateCompatibleDC(screen);
            BITMAPINFO bi{};
            bi.bmiHeader.biSize = sizeof bi.bmiHeader;
            bi.bmiHeader.biWidth = w;
            bi.bmiHeader.biHeight = -h;
            bi.bmiHeader.biPlanes = 1;
            bi.bmiHeader.biBitCount = 32;
            void* bits = nullptr;
            HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
            HGDIOBJ old = SelectObject(mem, bmp);
            BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
            GdiFlush();
            const auto* px = static_cast<const std::uint32_t*>(bits);
            for (int i = 0; i < w * h; ++i)
                if (pick(px[i])) ++matches;
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
            ReleaseDC(nullptr, screen);
        }
        if (menu) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EndMenu();
    }
};

bool StrongRed(std::uint32_t px) {
    return Channel(px, 16) > 190 && Channel(px, 8) < 110 && Channel(px, 0) < 110;
}

TEST(ActiveMenu, TheOpenMenuShowsTheIcons) {
    ActiveMenu m;
    RegisterAsAtStart(m, "%win%\\nowhere.icl");
    Owner owner;
    MenuShot::pick = &StrongRed;
    MenuShot::matches = 0;
    SetTimer(nullptr, 0, 400, &MenuShot::Take);
    m.TrackPopup(m.mnuPopup(), owner.hwnd, {100, 100});
    const int without = MenuShot::matches;

    m.SetIconFile("%win%\\ckicons.icl");
    MenuShot::matches = 0;
    SetTimer(nullptr, 0, 400, &MenuShot::Take);
    m.TrackPopup(m.mnuPopup(), owner.hwnd, {100, 100});
    // Close's red disc and the lit button of the mouse icon.
    EXPECT_EQ(without, 0);
    EXPECT_GT(MenuShot::matches, 40);
}

TEST(IconToMenuBitmap, KeepsPartialTransparencyPremultiplied) {
    // A 16 x 16 icon: one opaque red pixel, one half-transparent blue pixel, the rest clear.
    std::vector<std::uint32_t> argb(256, 0);
    argb[0] = 0xFFFF0000u;
    argb[1] = 0x800000FFu;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap color(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(color);
    std::copy(argb.begin(), argb.end(), static_cast<std::uint32_t*>(bits));
    UniqueBitmap mask(CreateBitmap(16, 16, 1, 1, nullptr));
    ICONINFO ii{TRUE, 0, 0, mask.get(), color.get()};
    UniqueIcon icon(CreateIconIndirect(&ii));
    ASSERT_TRUE(icon);

    UniqueBitmap bmp = IconToMenuBitmap(icon.get(), 16, 16);
    ASSERT_TRUE(bmp);
    int w = 0, h = 0;
    const auto px = Pixels(bmp.get(), w, h);
    EXPECT_EQ(px[0], 0xFFFF0000u);
    EXPECT_NEAR(static_cast<int>(px[1] >> 24), 0x80, 2);
    EXPECT_NEAR(Channel(px[1], 0), 0x80, 2);
    EXPECT_EQ(Channel(px[1], 16), 0);
    EXPECT_EQ(px[2], 0u);
    EXPECT_EQ(px[255], 0u);
    EXPECT_FALSE(IconToMenuBitmap(nullptr, 16, 16));
}

}  // namespace
}  // namespace spotlex
