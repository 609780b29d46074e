// Plays a short scripted session for the run command on a private display: types into Notepad,
// clicks and double-clicks, opens the break clock and hides and shows it with SpotlexClock.exe, opens
// the properties dialog and its key filter, and saves a screenshot after each step as a BMP file.
// With --german, on a display with a German keyboard: types real keys into Notepad and shows their caps.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/tray_icon_win.h"
#include "keystrokes/key_filter_dialog_win.h"
#include "properties/properties_dialog_win.h"

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

// The cursor file that the scheme in force names for a role ("Arrow", "IBeam"), loaded at the size
// of its first image; null for the built-in cursor.
HCURSOR SchemeCursor(const char* role) {
    char file[MAX_PATH] = {};
    DWORD size = sizeof file;
    if (RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Cursors", role, RRF_RT_REG_SZ, nullptr,
                     file, &size) != ERROR_SUCCESS || !file[0]) {
        std::printf("no %s cursor in the scheme in force\n", role);
        return nullptr;
    }
    return static_cast<HCURSOR>(LoadImageA(nullptr, file, IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE));
}

// Saves the whole screen as a 24-bit BMP. The X server keeps the pointer out of the picture, and
// Wine does not reload the system cursors from the user's scheme; with pointerRole the cursor file
// the scheme in force names for that role is drawn in at the pointer, as Windows would show it.
bool Shot(const char* name, const char* pointerRole = nullptr) {
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
    HCURSOR pointer = pointerRole ? SchemeCursor(pointerRole) : nullptr;
    ICONINFO ii{};
    POINT at{};
    if (pointer && GetIconInfo(pointer, &ii) && GetCursorPos(&at)) {
        DrawIconEx(mem, at.x - static_cast<int>(ii.xHotspot), at.y - static_cast<int>(ii.yHotspot), pointer, 0, 0, 0,
                   nullptr, DI_NORMAL);
        if (ii.hbmColor) DeleteObject(ii.hbmColor);
        if (ii.hbmMask) DeleteObject(ii.hbmMask);
    }
    if (pointer) DestroyCursor(pointer);
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

// The tray menu opens once frmMain has taken the displays down, which under Wine can take a while.
bool WaitForMenu(int ms) {
    for (int t = 0; t < ms; t += 100) {
        HWND h = FindWindowA("#32768", nullptr);
        if (h && IsWindowVisible(h)) {
            Pump(200);
            return true;
        }
        Pump(100);
    }
    std::printf("the tray menu did not open\n");
    return false;
}

HWND WaitForDialog(const char* caption, int ms) {
    for (int t = 0; t < ms; t += 100) {
        HWND h = FindWindowA("#32770", caption);
        if (h && IsWindowVisible(h)) return h;
        Pump(100);
    }
    return nullptr;
}

// Clicks a button of another program's dialog without waiting for what the click opens.
void PressButton(HWND dlg, int id) {
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

// Opens the properties dialog from the tray menu and saves its pages, the key filter, the
// special key dialog and one quick-help box; sets the clock's warning minutes and presses OK.
void PropertiesSession() {
    using spotlex::frmKeyFilter;
    using spotlex::frmProperties;
    HWND tray = FindWindowA("SpotlexTrayIcon", nullptr);
    if (!tray) {
        std::printf("no tray icon window\n");
        return;
    }
    // The shell's message for a right click on the icon: the tray menu opens at the pointer.
    SetCursorPos(900, 500);
    PostMessageA(tray, spotlex::TrayIcon::kCallbackMessage, spotlex::TrayIcon::kIconId, WM_RBUTTONUP);
    if (!WaitForMenu(5000)) return;
    for (int i = 0; i < 5; ++i) Chord({VK_DOWN});  // down to "Properties..."
    Chord({VK_RETURN});
    HWND props = WaitForDialog(frmProperties::kCaption, 5000);
    if (!props) {
        std::printf("the properties dialog did not open\n");
        return;
    }
    Pump(600);
    const char* pages[] = {"9-properties-mouse", "10-properties-keys", "11-properties-clock",
                           "19-properties-extras"};
    for (int page = 0; page < frmProperties::kPageCount; ++page) {
        SendMessageA(GetDlgItem(props, frmProperties::optPropType0 + page), BM_CLICK, 0, 0);
        Pump(400);
        Shot(pages[page]);
    }
    SendMessageA(GetDlgItem(props, frmProperties::optPropType0 + 1), BM_CLICK, 0, 0);
    Pump(200);
    PressButton(props, frmProperties::cmdFilterKeyboard);
    if (HWND filter = WaitForDialog("Key Filter", 5000)) {
        Pump(400);
        Shot("12-key-filter");
        PressButton(filter, frmKeyFilter::cmdSpecialKeys);
        if (HWND special = WaitForDialog("Add Special Key", 5000)) {
            Pump(400);
            Shot("13-special-key");
            PostMessageA(special, WM_COMMAND, IDCANCEL, 0);
            Pump(300);
        }
        PostMessageA(filter, WM_COMMAND, IDCANCEL, 0);
        Pump(300);
    }
    PressButton(props, frmProperties::cmdExplain0 + 1);  // Color
    if (HWND help = WaitForWindow("SpotlexHelpBox", 5000)) {
        Pump(800);
        Shot("14-quick-help");
        SetForegroundWindow(help);
        Pump(200);
        Chord({VK_ESCAPE});
        // Without a window manager Wine takes a second or two to take a captioned window down.
        for (int t = 0; t < 5000 && IsWindow(help); t += 100) Pump(100);
        Pump(400);
    }
    // The count-down's warning, from its first second, in the warning colour (yellow unless chosen).
    SendMessageA(GetDlgItem(props, frmProperties::optPropType0 + 2), BM_CLICK, 0, 0);
    SetDlgItemTextA(props, frmProperties::txtWarningClock, "15");
    Pump(200);
    PostMessageA(props, WM_COMMAND, IDOK, 0);
    for (int t = 0; t < 5000 && IsWindowVisible(props); t += 100) Pump(100);
    Pump(1000);
}

// Turns the wheel down `turns` times in quick succession, as fast scrolling does.
void WheelDown(int turns) {
    for (int i = 0; i < turns; ++i) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = MOUSEEVENTF_WHEEL;
        in.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
        SendInput(1, &in, sizeof in);
        Pump(25);
    }
}

// The break clock in its warning colour, opened and closed as a double-click on the tray icon does;
// the properties session set its warning to begin at the count-down's full length.
void ClockWarningSession() {
    HWND tray = FindWindowA("SpotlexTrayIcon", nullptr);
    if (!tray) return;
    PostMessageA(tray, spotlex::TrayIcon::kCallbackMessage, spotlex::TrayIcon::kIconId, WM_LBUTTONDBLCLK);
    Pump(1500);
    Shot("21-clock-warning");
    PostMessageA(tray, spotlex::TrayIcon::kCallbackMessage, spotlex::TrayIcon::kIconId, WM_LBUTTONDBLCLK);
    Pump(800);
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

// Opens Spotlex's tray menu as a right click on its icon does, and picks View Large Cursors.
void ChooseLargeCursors() {
    HWND tray = FindWindowA("SpotlexTrayIcon", nullptr);
    if (!tray) return;
    PostMessageA(tray, spotlex::TrayIcon::kCallbackMessage, spotlex::TrayIcon::kIconId, WM_RBUTTONUP);
    if (!WaitForMenu(5000)) return;
    // Down to the fourth item, View Large Cursors.
    for (int i = 0; i < 4; ++i) Chord({VK_DOWN});
    Chord({VK_RETURN});
    Pump(800);
}

}  // namespace

bool Start(const char* commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = commandLine;
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

// Spotlex arms its hook once the splash has gone and the welcome is closed.
void WaitUntilArmed(bool shoot) {
    if (HWND welcome = WaitForWindow("SpotlexHelpBox", shoot ? 10000 : 4000)) {
        Pump(1200);
        if (shoot) Shot("0-welcome");
        SetForegroundWindow(welcome);
        Chord({VK_RETURN});
    }
    Pump(1500);
}

HWND OpenNotepad() {
    if (!Start("notepad.exe")) {
        std::printf("could not start Notepad\n");
        return nullptr;
    }
    HWND notepad = WaitForWindow("Notepad", 10000);
    if (!notepad) {
        std::printf("Notepad did not open\n");
        return nullptr;
    }
    MoveWindow(notepad, 80, 80, 900, 600, TRUE);
    SetForegroundWindow(notepad);
    Pump(800);
    return notepad;
}

// Real keys of the X server's keyboard, pressed over Notepad, which X then gives them to.
void PressX(const char* keys) {
    std::string command = std::string("Z:\\usr\\bin\\xdotool mousemove 500 400 sleep 0.2 key ") + keys;
    if (!Start(command.c_str())) std::printf("could not run xdotool\n");
    Pump(1200);
}

int GermanSession() {
    WaitUntilArmed(false);
    if (!OpenNotepad()) return 1;
    PressX("odiaeresis");
    Shot("17-german-o-umlaut");
    // AltGr reaches Windows programs as Ctrl with Alt.
    PressX("ctrl+alt+q");
    Shot("18-german-altgr-q");
    return 0;
}

int main(int argc, char** argv) {
    if (argc > 1) g_shotFolder = std::string(argv[1]) + "\\";
    if (argc > 2 && std::string(argv[2]) == "--german") return GermanSession();

    WaitUntilArmed(true);
    HWND notepad = OpenNotepad();
    if (!notepad) return 1;

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

    // Fast scrolling over the text: one mark beside the pointer, grown with the run.
    SetCursorPos(600, 350);
    Pump(200);
    WheelDown(6);
    Pump(60);
    Shot("20-wheel-mark");
    Pump(800);

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

    PropertiesSession();
    ClockWarningSession();

    ChooseLargeCursors();
    SetForegroundWindow(notepad);
    SetCursorPos(420, 330);
    Pump(500);
    Shot("15-large-cursors-ibeam", "IBeam");
    SetCursorPos(330, 112);
    Pump(500);
    Shot("16-large-cursors-arrow", "Arrow");
    ChooseLargeCursors();
    return 0;
}
