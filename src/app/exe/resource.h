#pragma once
// Resource ids of Spotlex.exe, shared by its resource script and the code that loads them.

// The program's icon: the exe's own icon in Explorer, and the tray icon.
#define IDI_SPOTLEX 1
