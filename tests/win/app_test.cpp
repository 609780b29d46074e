// Start-up, the single-copy rule, the counted hook gate, the tray menu and the shutdown, against
// the real program (as separate processes) and against frmMain in this process.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/registry_win.h"
#include "core/settings.h"
#include "core/unique_handle_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpFor;
using test::PumpUntil;

constexpr const char* kRunOnce = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

void SetNumber(const char* key, const char* name, std::int32_t value) {
    RegistrySetting r;
    r.OpenKey(key);
    r.SetValue(name, rgsDWord, value);
}

RegValue Read(const char* key, const char* name) {
    RegistrySetting r;
    r.OpenKey(key);
    return r.Value(name);
}

class Program {
public:
    explicit Program(const std::string& args) {
        std::string cmd = "\"" + test::ExeFolder() + "Spotlex.exe\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started_ = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  test::ExeFolder().c_str(), &si, &pi_) != 0;
    }
    ~Program() {
        if (!started_) return;
        if (Running()) TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    bool Started() const { return started_; }
    DWORD Id() const { return pi_.dwProcessId; }
    bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
    bool WaitExit(int ms) const { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
    // A top-level window of this process with the class (and title, when given).
    HWND FindWindowOf(const char* cls, const char* title = nullptr) const {
        struct Search {
            DWORD pid;
            const char* cls;
            const char* title;
            HWND found;
        } s{pi_.dwProcessId, cls, title, nullptr};
        EnumWindows(
            [](HWND h, LPARAM lp) -> BOOL {
                auto* q = reinterpret_cast<Search*>(lp);
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                char c[64] = {}, t[128] = {};
                GetClassNameA(h, c, sizeof c);
                GetWindowTextA(h, t, sizeof t);
                if (pid == q->pid && std::string(c) == q->cls && (!q->title || std::string(t) == q->title)) {
                    q->found = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        return s.found;
    }
    HWND WaitMainWindow(int ms = 20000) const {
        HWND h = nullptr;
        PumpUntil([&] { return (h = FindWindowOf(frmMain::kClassName)) != nullptr; }, ms);
        return h;
    }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A short splash, so that each start is quick.
        SetNumber(kMachineKey, "Splash_Screen_Time", 1);
    }
};

TEST_F(ProgramTest, SecondCopyShowsTheNoticeOnceAndEnds) {
    Program first("");
    ASSERT_TRUE(first.WaitMainWindow());
    Program second("");
    ASSERT_TRUE(second.Started());
    HWND notice = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (notice = second.FindWindowOf("#32770", "Spotlex")) != nullptr; }, 15000));
    EXPECT_EQ(second.FindWindowOf(frmMain::kClassName), nullptr) << "the second copy loaded its main form";
    char text[256] = {};
    GetDlgItemTextA(notice, 0xFFFF, text, sizeof text);  // the message box's text
    EXPECT_STREQ(text,
                 "A copy of Spotlex is already running.  You should see the icon in the Taskbar Tray.\r\n\r\n"
                 "Use this icon for your Spotlex operations.");
    PostMessageA(notice, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitExit(10000));
    EXPECT_TRUE(first.Running());
}

TEST_F(ProgramTest, SecondCopyWithSilentSwitchEndsWithoutANotice) {
    Program first("");
    ASSERT_TRUE(first.WaitMainWindow());
    for (const char* args : {"/s", "/S", "-x /S -y"}) {
        Program second(args);
        ASSERT_TRUE(second.WaitExit(10000)) << args;
        EXPECT_TRUE(first.Running());
    }
}

TEST_F(ProgramTest, AllowSwitchStartsASecondCopy) {
    Program first("");
    ASSERT_TRUE(first.WaitMainWindow());
    Program second("/A");
    EXPECT_TRUE(second.WaitMainWindow());
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(second.Running());
}

bool HasModule(DWORD pid, const char* name) {
    UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snap.get(), &module); more; more = Module32Next(snap.get(), &module))
        if (lstrcmpiA(module.szModule, name) == 0) return true;
    return false;
}

// Under Wine comctl32 weighs 1.6 MB as soon as it is loaded: the program loads it for its first
// menu or dialog, not at start.
TEST_F(ProgramTest, CommonControlsAreLoadedForTheFirstMenu) {
    SetNumber(kUserKey, (std::string(settings::kDismissPrefix) + "Welcome").c_str(), 1);
    Program program("");
    ASSERT_TRUE(program.WaitMainWindow());
    HWND tray = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (tray = program.FindWindowOf("SpotlexTrayIcon")) != nullptr; }, 5000));
    PumpFor(1500);  // the splash goes and the hook comes on
    EXPECT_FALSE(HasModule(program.Id(), "comctl32.dll"));
    PostMessageA(tray, TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONDOWN);
    PostMessageA(tray, TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONUP);
    EXPECT_TRUE(PumpUntil([&] { return HasModule(program.Id(), "comctl32.dll"); }, 5000));
    EXPECT_TRUE(program.Running());
}

TEST_F(ProgramTest, TwoStartedAtOnceLeaveOneRunning) {
    Program a("/s"), b("/s");
    PumpFor(4000);
    EXPECT_NE(a.Running(), b.Running()) << "exactly one copy must survive";
}

TEST_F(ProgramTest, SessionEndWritesTheRestartEntryAndTheSavedValues) {
    SetNumber(kUserKey, "Hook_Enum", 8);
    SetNumber(kUserKey, "Show_Clock", 0);
    SetNumber(kUserKey, "Show_Large_Cursors", 1);
    {
        RegistrySetting r;
        r.OpenKey(kRunOnce);
        r.DeleteValue("Spotlex");
    }
    Program p("");
    HWND main = p.WaitMainWindow();
    ASSERT_TRUE(main);
    // Let the start-up finish: the session end is to save what it read.
    PumpFor(2000);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
    EXPECT_TRUE(answer) << "the session end must not be refused";
    SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    EXPECT_TRUE(p.WaitExit(10000));

    RegValue entry = Read(kRunOnce, "Spotlex");
    ASSERT_TRUE(std::holds_alternative<std::string>(entry));
    EXPECT_EQ(std::get<std::string>(entry), "\"" + test::ExeFolder() + "Spotlex.exe\" /s");
    EXPECT_EQ(Read(kUserKey, "Hook_Enum"), RegValue(std::int32_t{8}));
    EXPECT_EQ(Read(kUserKey, "Show_Clock"), RegValue(std::int32_t{0}));
    EXPECT_EQ(Read(kUserKey, "Show_Large_Cursors"), RegValue(std::int32_t{1}));
}

TEST(RunOnceEntry, RemoveTakesAwayWhatAddLeft) {
    SetRunOnceRegEntry(RunOnce::kAdd);
    ASSERT_TRUE(std::holds_alternative<std::string>(Read(kRunOnce, "app_test")));
    SetRunOnceRegEntry(RunOnce::kRemove);
    EXPECT_FALSE(std::holds_alternative<std::string>(Read(kRunOnce, "app_test")));
}

// frmMain in this process: the settings objects are opened as Main opens them.
class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::OpenProgramSettings();
        goCurrentUser->SetValue("Play_Sounds", rgsDWord, 0);
    }
    void TearDown() override { test::CloseProgramSettings(); }
};

TEST_F(MainFormTest, StartSettingsSetTheMenuAndTheHookMask) {
    goCurrentUser->SetValue("Hook_Enum", rgsDWord, 8);
    goCurrentUser->SetValue("Show_Clock", rgsDWord, 1);
    frmMain form;
    EXPECT_EQ(form.SysInput1.Hooks(), 8);
    EXPECT_TRUE(form.ActiveMenu1.Checked(mnuViewKeyStrokes));
    EXPECT_FALSE(form.ActiveMenu1.Checked(mnuViewMouseClicks));
    EXPECT_FALSE(form.ActiveMenu1.Checked(mnuViewBreakClock)) << "checked only while a clock is open";
    EXPECT_FALSE(form.SysInput1.Enabled()) << "the hook stays off until the welcome step";
    EXPECT_EQ(form.TrayIcon1.TipText(), " Spotlex [Right-Click For Menu] ");
    EXPECT_TRUE(form.ActiveMenu1.Enabled(mnuLargeCursors));
    EXPECT_TRUE(form.ActiveMenu1.Enabled(mnuProperties));
    EXPECT_TRUE(form.ActiveMenu1.Enabled(mnuAbout));
}

TEST_F(MainFormTest, WelcomeStepEnablesTrayAndHookOnce) {
    goCurrentUser->DeleteValue("Hook_Enum");
    // The welcome box itself is tested with the quick help; here it is dismissed for good.
    goCurrentUser->SetValue("Dismiss_Welcome", rgsDWord, 1);
    frmMain form;
    EXPECT_EQ(form.SysInput1.Hooks(), 9);
    form.ShowWelcome();
    EXPECT_EQ(form.Timer1Tag(), "ShowWelcome");
    EXPECT_EQ(form.Timer1Interval(), 55u);
    ASSERT_TRUE(PumpUntil([&] { return form.SysInput1.Enabled(); }, 3000));
    EXPECT_TRUE(form.TrayIcon1.Enabled());
    EXPECT_EQ(form.Timer1Interval(), 0u);
}

TEST_F(MainFormTest, CountedGateNeedsAsManyEnablesAsDisables) {
    frmMain form;
    form.SysInputEnabled(true);
    ASSERT_TRUE(form.SysInput1.Enabled());
    for (int i = 0; i < 3; ++i) form.SysInputEnabled(false);
    EXPECT_EQ(form.SysInputDisableCount(), 3);
    form.SysInputEnabled(true);
    form.SysInputEnabled(true);
    EXPECT_FALSE(form.SysInput1.Enabled());
    form.SysInputEnabled(true);
    EXPECT_TRUE(form.SysInput1.Enabled());
    form.SysInputEnabled(true);
    form.SysInputEnabled(true);
    EXPECT_EQ(form.SysInputDisableCount(), 0) << "extra enables must not go below 0";
    form.SysInputEnabled(false);
    EXPECT_FALSE(form.SysInput1.Enabled()) << "one disable after extra enables switches off at once";
}

TEST_F(MainFormTest, ViewCommandsToggleTheHookBitsAndCheckMarks) {
    goCurrentUser->SetValue("Hook_Enum", rgsDWord, 9);
    frmMain form;
    form.RunMenuCommand(mnuViewKeyStrokes);
    EXPECT_EQ(form.SysInput1.Hooks(), 1);
    EXPECT_FALSE(form.ActiveMenu1.Checked(mnuViewKeyStrokes));
    form.RunMenuCommand(mnuViewMouseClicks);
    EXPECT_EQ(form.SysInput1.Hooks(), 0);
    form.RunMenuCommand(mnuViewKeyStrokes);
    EXPECT_EQ(form.SysInput1.Hooks(), 8);
    EXPECT_TRUE(form.ActiveMenu1.Checked(mnuViewKeyStrokes));
    // Neither command writes the registry: the mask is saved at shutdown.
    EXPECT_EQ(goCurrentUser->Value("Hook_Enum"), RegValue(std::int32_t{9}));
}

// Drives the tray icon's right click: while the menu is open the hook is off; afterwards it is on
// again, unless Close was chosen.
struct MenuProbe {
    frmMain* form;
    int disableCountWhileOpen = -1;
    bool hookOnWhileOpen = true;
    bool chooseClose = false;
};
MenuProbe* g_probe = nullptr;

void CALLBACK InspectOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!g_probe) return;
    g_probe->disableCountWhileOpen = g_probe->form->SysInputDisableCount();
    g_probe->hookOnWhileOpen = g_probe->form->SysInput1.Enabled();
    if (g_probe->chooseClose) {
        // Up from the top wraps round to the last item, Close.
        INPUT keys[4]{};
        WORD vks[] = {VK_UP, VK_UP, VK_RETURN, VK_RETURN};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = vks[i];
            keys[i].ki.dwFlags = (i % 2) ? KEYEVENTF_KEYUP : 0;
        }
        INPUT seq[] = {keys[0], keys[1], keys[2], keys[3]};
        SendInput(4, seq, sizeof(INPUT));
    } else {
        EndMenu();
    }
}

TEST_F(MainFormTest, TrayRightClickTurnsTheHookOffWhileTheMenuIsOpen) {
    frmMain form;
    form.SysInputEnabled(true);
    form.TrayIcon1.SetEnabled(true);
    MenuProbe probe{&form};
    g_probe = &probe;
    SetTimer(nullptr, 0, 300, InspectOpenMenu);
    SendMessageA(form.TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONDOWN);
    SendMessageA(form.TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONUP);
    PumpFor(200);
    g_probe = nullptr;
    EXPECT_EQ(probe.disableCountWhileOpen, 1) << "the menu did not open, or the hook gate was not closed";
    EXPECT_FALSE(probe.hookOnWhileOpen);
    EXPECT_TRUE(form.SysInput1.Enabled()) << "the hook must be on again after the menu closed";
    EXPECT_EQ(form.SysInputDisableCount(), 0);
}

TEST_F(MainFormTest, CloseFromTheTrayMenuLeavesTheHookOffAndSavesTheMask) {
    goCurrentUser->SetValue("Hook_Enum", rgsDWord, 1);
    frmMain form;
    form.SysInputEnabled(true);
    form.TrayIcon1.SetEnabled(true);
    MenuProbe probe{&form};
    probe.chooseClose = true;
    g_probe = &probe;
    SetTimer(nullptr, 0, 300, InspectOpenMenu);
    SendMessageA(form.TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONUP);
    PumpFor(200);
    g_probe = nullptr;
    EXPECT_TRUE(form.Unloaded()) << "Close was not chosen";
    EXPECT_FALSE(form.SysInput1.Enabled());
    EXPECT_EQ(goCurrentUser, nullptr) << "the settings keys are released at shutdown";
    EXPECT_EQ(Read(kUserKey, "Hook_Enum"), RegValue(std::int32_t{1}));
    // The Close posted WM_QUIT for the main loop; take it off this test's queue.
    MSG msg;
    PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// While a box of the program is open, a tray click opens nothing on top of it.
struct NestedProbe {
    frmMain* form;
    int disableCountDuringBox = -1;
};
NestedProbe* g_nested = nullptr;

void CALLBACK ClickTrayDuringBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_nested)
        SendMessageA(g_nested->form->TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONUP);
}

void CALLBACK InspectAndCloseBox(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!g_nested) return;
    // A menu opened by the tray click would have closed the hook gate by now.
    g_nested->disableCountDuringBox = g_nested->form->SysInputDisableCount();
    EndMenu();
    if (HWND box = FindWindowA("#32770", "About Spotlex")) PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(MainFormTest, TrayClickWhileTheAboutBoxIsOpenOpensNoMenu) {
    frmMain form;
    form.SysInputEnabled(true);
    form.TrayIcon1.SetEnabled(true);
    NestedProbe probe{&form};
    g_nested = &probe;
    SetTimer(nullptr, 0, 300, ClickTrayDuringBox);
    SetTimer(nullptr, 0, 700, InspectAndCloseBox);
    form.RunMenuCommand(mnuAbout);
    g_nested = nullptr;
    EXPECT_EQ(probe.disableCountDuringBox, 0);
    EXPECT_FALSE(FindWindowA("#32770", "About Spotlex")) << "the about box did not close";
}

TEST_F(MainFormTest, DisabledTrayIconOpensNoMenu) {
    frmMain form;
    form.SysInputEnabled(true);
    MenuProbe probe{&form};
    g_probe = &probe;
    UINT_PTR t = SetTimer(nullptr, 0, 300, InspectOpenMenu);
    SendMessageA(form.TrayIcon1.Hwnd(), TrayIcon::kCallbackMessage, TrayIcon::kIconId, WM_RBUTTONUP);
    PumpFor(500);
    KillTimer(nullptr, t);
    g_probe = nullptr;
    // The probe ran from the test's own pump, not from inside a menu: the gate was never closed.
    EXPECT_EQ(probe.disableCountWhileOpen, 0);
    EXPECT_TRUE(form.SysInput1.Enabled());
}

}  // namespace
}  // namespace spotlex
