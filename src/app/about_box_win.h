#pragma once
// The about box: the program's name, version and comments, and a summary of the system.
#include <windows.h>

#include "app/version_info_win.h"

namespace spotlex {

// Control ids of the about box, for whoever reads it back.
enum AboutBoxItem : int {
    kAboutPicture = 100,
    kAboutName,
    kAboutVersion,
    kAboutComments,
    kAboutSystem,
};

// The caption of the about box.
inline constexpr const char* kAboutCaption = "About Spotlex";

// Shows the about box modally, centred on the work area; returns when OK (or Esc) closes it.
void ShowAboutBox(HWND owner, const VersionStrings& version = ProgramVersionStrings());

}  // namespace spotlex
