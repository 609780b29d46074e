#pragma once
// The tray menus as the program designs them: each item's command, its caption, and the key, icon
// and shown caption it is registered with at start. The one list that the menus are built from,
// that frmMain registers and that the tests read.
#include "app/active_menu_win.h"

namespace spotlex {

struct TrayMenuItem {
    UINT id;              // 0: a separator
    const char* caption;  // the design caption; registered items are matched by it
    const char* key;      // "" when registered without a key
    int icon;             // index in the icon library; -1: none
    const char* shown;    // shown in place of the design caption; "" keeps it
    bool registered;      // false: the item stays undressed
};

inline constexpr TrayMenuItem kTrayPopupItems[] = {
    {mnuViewMouseClicks, "View Mouse Clicks", "mnuViewMouseClicks", 55, "", true},
    {mnuViewKeyStrokes, "View Key Strokes", "mnuViewKeyStrokes", 57, "", true},
    {mnuViewBreakClock, "View Break Clock", "mnuViewBreakClock", 58, "", true},
    {mnuLargeCursors, "View Large Cursors", "mnuViewLargeCursors", 56, "", true},
    {0, nullptr, "", -1, "", false},  // mnuSep
    {mnuProperties, "Properties...", "", 17, "", true},
    {mnuHelp, "Help", "", 19, "", true},
    {mnuAbout, "About Spotlex", "", -1, "", true},
    {0, nullptr, "", -1, "", false},  // mnuSep3
    {mnuClose, "Close", "", 20, "", true},
};

inline constexpr TrayMenuItem kTrayClockItems[] = {
    // The clock names this item "Hide" or "Show" while it runs.
    {mnuClockHide, "ClockHide", "", -1, "", false},
    {mnuClockPause, "ClockPause", "mnuClockPause", 28, "Pause", true},
    {mnuClockRestart, "ClockRestart", "mnuClockRestart", 39, "Restart", true},
    {0, nullptr, "", -1, "", false},  // mnuSep7
    {mnuClockProperties, "ClockProperties...", "mnuClockProperties", 17, "Properties", true},
    {0, nullptr, "", -1, "", false},  // mnuSep6
    {mnuClockClose, "ClockClose", "mnuClockClose", 20, "Close", true},
};

// The caption the clock gives its hide item while the clock shows, registered without an icon.
inline constexpr const char* kClockHideCaption = "Hide";
inline constexpr const char* kClockHideKey = "mnuHide";

// Registers every item of both menus with its key, icon and shown caption, as the start does.
void RegisterTrayMenuItems(ActiveMenu& menu);

}  // namespace spotlex
