#pragma once
// ActiveMenu: the program's two popup menus and the control that dresses them, matching each menu
// item by its caption to an item registered with AddItem, which supplies the caption shown and an
// icon from the icon library. The control draws the icons itself when the open menu asks its owner
// for them (HBMMENU_CALLBACK), alpha-blended on what the menu painted behind them: menus that blit
// a bitmap item lose its transparency on some systems and invert it on the highlight.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/unique_handle_win.h"

namespace spotlex {

// Command ids of the items of mnuPopup and mnuPopupClock; TrackPopup returns them.
enum MenuItemId : UINT {
    mnuViewMouseClicks = 101,
    mnuViewKeyStrokes,
    mnuViewBreakClock,
    mnuLargeCursors,
    mnuProperties,
    mnuHelp,
    mnuAbout,
    mnuClose,
    mnuClockHide,
    mnuClockPause,
    mnuClockRestart,
    mnuClockProperties,
    mnuClockClose,
};

class ActiveMenu {
public:
    // Builds both menus with their design captions, without icons.
    ActiveMenu();
    ActiveMenu(const ActiveMenu&) = delete;
    ActiveMenu& operator=(const ActiveMenu&) = delete;
    ~ActiveMenu();

    // The icon library, as the program names it ("%win%\ckicons.icl"). A library of that name
    // beside the program is used first, else the expanded location; neither leaves no icons.
    void SetIconFile(std::string_view location);
    const std::string& IconFile() const noexcept { return location_; }
    // The library the icons come from; empty when none was found.
    const std::string& IconLibraryPath() const noexcept { return libraryPath_; }

    // Registers a caption, its key and its icon's index in the library (-1: no icon). Menu items
    // whose caption is `caption` show its icon and its shown caption.
    void AddItem(std::string_view caption, std::string_view key = {}, int iconIndex = -1);
    // The caption shown for the item registered under `key`, in place of the registered caption.
    void SetCaption(std::string_view key, std::string_view shownCaption);

    HMENU mnuPopup() const noexcept { return popup_.get(); }
    HMENU mnuPopupClock() const noexcept { return popupClock_.get(); }

    // Changes an item's own caption (as the clock's Hide and Show do); matching follows it.
    void SetItemCaption(UINT id, std::string_view caption);
    // The text the user sees for an item.
    std::string ShownCaption(UINT id) const;
    // Whether the item shows an icon, and the icon as a premultiplied 32-bit bitmap (or null).
    bool HasIcon(UINT id) const { return IconBitmap(id) != nullptr; }
    HBITMAP IconBitmap(UINT id) const;

    void SetChecked(UINT id, bool checked);
    bool Checked(UINT id) const;
    // By the key of the registered item that the menu item matches ("mnuViewLargeCursors").
    void SetCheckedByKey(std::string_view key, bool checked);
    bool CheckedByKey(std::string_view key) const;
    void SetEnabled(UINT id, bool enabled);
    bool Enabled(UINT id) const;

    // Opens a menu for `owner` at a screen point and returns the chosen item's id, or 0 when the
    // menu was closed without a choice. While the menu is open the control hooks the owner's
    // window procedure to draw the icons. Call after SetForegroundWindow(owner), or the menu does
    // not close when the user clicks elsewhere.
    UINT TrackPopup(HMENU menu, HWND owner, POINT at, UINT flags = TPM_RIGHTBUTTON);

private:
    static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self) noexcept;
    struct Registered {
        std::string caption;
        std::string key;
        std::string shown;
        int iconIndex = -1;
        UniqueBitmap bitmap;
    };
    struct Slot {
        UINT id;
        HMENU menu;
        std::string caption;
    };

    Slot* FindSlot(UINT id);
    const Slot* FindSlot(UINT id) const;
    const Registered* Match(std::string_view caption) const;
    void DrawIcon(const DRAWITEMSTRUCT& di) const;
    const Registered* FindKey(std::string_view key) const;
    // The icons' side in pixels: the system's small-icon size until a menu opened elsewhere.
    int IconSide() const;
    void LoadBitmap(Registered& item) const;
    void Dress(const Slot& slot) const;
    void DressAll() const;

    std::string location_;
    std::string libraryPath_;
    int iconSide_ = 0;
    std::vector<Registered> registered_;
    std::vector<Slot> slots_;
    // Declared after the bitmaps, so the menus go first.
    UniqueMenu popup_;
    UniqueMenu popupClock_;
};

// The icon library's location with "%win%" and "%sys%" (any case, at the start) and environment
// references expanded, as the icon file is named.
std::string ExpandIconLocation(std::string_view location);

// A 32-bit premultiplied-alpha bitmap of an icon, as menus draw it; null on failure.
UniqueBitmap IconToMenuBitmap(HICON icon, int cx, int cy);

}  // namespace spotlex
