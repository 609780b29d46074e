// Plays a short scripted session for the run command on a private display: types into Notepad,
// clicks and double-clicks, opens the break clock and hides and shows it with SpotlexClock.exe, and
// saves a screenshot after each step as a BMP file.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/tray_icon_win.h"

namespace {

std::string g_shotFolder = ".\\";

void Pump(int ms) {
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(5);
    }
}

void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// Presses the keys in order and releases them in reverse, as fingers do for a shortcut.
void Chord(std::initializer_list<WORD> keys) {
    for (WORD k : keys) {
        Key(k, false);
        Pump(30);
    }
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
        Key(*it, true);
        Pump(30);
    }
}

void Click(int x, int y, bool right = false) {
    SetCursorPos(x, y);
    Pump(30);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

// Saves the whole screen as a 24-bit BMP.
bool Shot(const char* name) {
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DWORD stride = ((w * 3 + 3) / 4) * 4, size = stride * h;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    std::string path = g_shotFolder + name + ".bmp";
    bool ok = false;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             std::fwrite(bits, size, 1, f) == 1;
        std::fclose(f);
    }
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    std::printf("%s %s\n", ok ? "saved" : "could not save", path.c_str());
    std::fflush(stdout);
    return ok;
}

HWND WaitForWindow(const char* cls, int ms) {
    for (int t = 0; t < ms; t += 100) {
        if (HWND h = FindWindowA(cls, nullptr)) return h;
        Pump(100);
    }
    return nullptr;
}

// Runs SpotlexClock.exe (beside this program) with `request` and waits for it.
void ClockRequest(const char* request) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string exe(self);
    std::string cmd = "\"" + exe.substr(0, exe.find_last_of('\\') + 1) + "SpotlexClock.exe\" " + request;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("could not start SpotlexClock.exe\n");
        return;
    }
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) g_shotFolder = std::string(argv[1]) + "\\";

    // Spotlex arms its hook once the splash has gone and the welcome step ran.
    Pump(2500);

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    char cmd[] = "notepad.exe";
    if (!CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::printf("could not start Notepad\n");
        return 1;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    HWND notepad = WaitForWindow("Notepad", 10000);
    if (!notepad) {
        std::printf("Notepad did not open\n");
        return 1;
    }
    MoveWindow(notepad, 80, 80, 900, 600, TRUE);
    SetForegroundWindow(notepad);
    Pump(800);

    for (char c : std::string("HELLO")) {
        Key(static_cast<WORD>(c), false);
        Key(static_cast<WORD>(c), true);
        Pump(120);
    }
    Pump(150);
    Shot("1-typed-o");

    Chord({VK_CONTROL, VK_MENU, VK_DELETE});
    Pump(150);
    Shot("2-ctrl-alt-delete");

    Click(500, 400);
    Pump(140);
    Shot("3-left-click");

    Pump(600);
    Click(650, 300);
    Pump(90);
    Click(650, 300);
    Pump(110);
    Shot("4-double-click");

    Pump(600);
    Click(400, 250, true);
    Pump(140);
    Shot("5-right-click");
    Chord({VK_ESCAPE});
    Pump(300);

    // The break clock, opened as a double-click on the tray icon opens it: the shell's notice of
    // the double-click, sent to the icon's window.
    if (HWND tray = FindWindowA("SpotlexTrayIcon", nullptr)) {
        PostMessageA(tray, spotlex::TrayIcon::kCallbackMessage, spotlex::TrayIcon::kIconId, WM_LBUTTONDBLCLK);
        Pump(1500);
        Shot("6-break-clock");
        ClockRequest("hide");
        Pump(300);
        Shot("7-clock-hidden");
        ClockRequest("show");
        Pump(300);
        Shot("8-clock-shown");
    } else {
        std::printf("the tray icon's window was not found\n");
    }
    return 0;
}
