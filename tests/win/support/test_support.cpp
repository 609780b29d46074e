#include "support/test_support.h"

#include "core/classkit_win.h"
#include "core/registry_watch_win.h"
#include "core/registry_win.h"

namespace spotlex::test {

namespace {
void DispatchPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
}  // namespace

void OpenProgramSettings() {
    goCurrentUser = std::make_unique<RegistrySetting>();
    goCurrentUser->OpenKey(kUserKey);
    goCurrentUser->KeepValues();
    goLocalMachine = std::make_unique<RegistrySetting>();
    goLocalMachine->OpenKey(kMachineKey);
}

void CloseProgramSettings() {
    goCurrentUser.reset();
    goLocalMachine.reset();
}

std::string CodesOf(const CapText& text) {
    std::string codes;
    for (char32_t c : text) codes += IsFontCode(c) ? static_cast<char>(c - kFontCodeBase) : '?';
    return codes;
}

void PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        WaitWatching(static_cast<DWORD>(std::min<long long>(left.count(), 10)));
        DispatchPending();
    }
    DispatchPending();
    return done();
}

std::string ExeFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of('\\') + 1);
}

bool OnScreen(HWND h) {
    if (!IsWindowVisible(h)) return false;
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(h, shape);
    DeleteObject(shape);
    return kind != NULLREGION;
}

void MouseTo(int x, int y, DWORD extra) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | extra;
    SendInput(1, &in, sizeof in);
}

POINT InsideShape(HWND h) {
    RECT wr{};
    GetWindowRect(h, &wr);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    POINT found{-1, -1};
    if (GetWindowRgn(h, shape) != ERROR) {
        for (int y = 4; y < wr.bottom - wr.top && found.x < 0; ++y)
            for (int x = 4; x < wr.right - wr.left; ++x)
                if (PtInRegion(shape, x, y) && PtInRegion(shape, x + 3, y) && PtInRegion(shape, x, y + 3)) {
                    found = {wr.left + x + 1, wr.top + y + 1};
                    break;
                }
    }
    DeleteObject(shape);
    return found;
}

std::thread DragFrom(POINT from, int dx, int dy) {
    const DWORD uiThread = GetCurrentThreadId();
    return std::thread([=] {
        MouseTo(from.x, from.y);
        Sleep(50);
        MouseTo(from.x, from.y, MOUSEEVENTF_LEFTDOWN);
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        for (int i = 0; i < 250; ++i) {
            if (GetGUIThreadInfo(uiThread, &info) && (info.flags & GUI_INMOVESIZE)) break;
            Sleep(20);
        }
        Sleep(50);
        for (int i = 1; i <= 10; ++i) {
            MouseTo(from.x + dx * i / 10, from.y + dy * i / 10);
            Sleep(20);
        }
        Sleep(100);
        MouseTo(from.x + dx, from.y + dy, MOUSEEVENTF_LEFTUP);
    });
}

namespace {

std::function<void()> gMoveLoopAction;
bool gMoveLoopActionRan = false;

void CALLBACK RunInMoveLoop(HWND, UINT, UINT_PTR id, DWORD) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) || !(info.flags & GUI_INMOVESIZE)) return;
    KillTimer(nullptr, id);
    gMoveLoopActionRan = true;
    auto action = std::move(gMoveLoopAction);
    if (action) action();
}

}  // namespace

void AtMoveLoop(std::function<void()> action) {
    gMoveLoopAction = std::move(action);
    gMoveLoopActionRan = false;
    SetTimer(nullptr, 0, 20, RunInMoveLoop);
}

bool MoveLoopActionRan() { return gMoveLoopActionRan; }

}  // namespace spotlex::test
