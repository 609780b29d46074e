#pragma once
// Helpers shared by the Win32 tests: pumping messages while waiting, what shows, and the test's own
// folder.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "core/display_font_codes.h"

namespace spotlex::test {

// Opens the program's two settings keys, goCurrentUser and goLocalMachine, as the program does at
// start; CloseProgramSettings closes them again.
void OpenProgramSettings();
void CloseProgramSettings();

// Dispatches this thread's messages for about `ms` milliseconds.
void PumpFor(int ms);

// Key-cap text made only of display-font codes, as the codes.
std::string CodesOf(const CapText& text);

// Pumps messages until `done` holds or `ms` milliseconds pass; returns `done()` at the end.
bool PumpUntil(const std::function<bool()>& done, int ms);

// Something of the window shows: it is shown and its shape, if it has one, is not empty.
bool OnScreen(HWND h);

// The folder of the running test program, ending in a backslash.
std::string ExeFolder();

// Moves the pointer to (x, y) in screen pixels through SendInput, with button flags in `extra`.
void MouseTo(int x, int y, DWORD extra = 0);

// A point well inside a shaped window's region, in screen pixels; {-1, -1} when it has none.
POINT InsideShape(HWND h);

// Presses the left button at `from`, drags by (dx, dy) and lets go, from another thread, while
// the calling thread runs the window's move loop. The move loop measures from where the pointer is
// when it starts, so the moves wait until the calling thread is in it (a loaded machine is slow).
std::thread DragFrom(POINT from, int dx, int dy);

// Runs `action` once, from a timer of this thread, as soon as the thread is in a move loop.
// MoveLoopActionRan tells whether it has.
void AtMoveLoop(std::function<void()> action);
bool MoveLoopActionRan();

}  // namespace spotlex::test
