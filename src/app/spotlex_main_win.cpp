#include "app/spotlex_main_win.h"

#include <windows.h>

#include <memory>

#include "app/main_form_win.h"
#include "app/splash_win.h"
#include "app/startup_text.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/errata_log_win.h"
#include "core/file_win.h"
#include "core/registry_watch_win.h"
#include "core/unique_handle_win.h"
#include "core/wide_text_win.h"
#include "core/window_helpers_win.h"

namespace spotlex {

namespace {

// One per logon session: two copies started at the same instant still meet here.
constexpr const char* kSingleCopyMutex = "Local\\Parvane.Classkit.Spotlex.SingleCopy";

// Starts the suite's updater, when it is installed beside the program, without waiting for it.
void StartUpdater() {
    std::string updater = ProgramFolder() + "CKUpdate.exe";
    if (!FileExists(updater, false)) return;
    std::wstring cmd = Wide(QuotedCommand(updater, "/s"));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}

}  // namespace

int Main(const char* commandLine) {
    const std::string_view arguments = CommandArguments(commandLine ? commandLine : "");
    UniqueHandle singleCopy(CreateMutexA(nullptr, FALSE, kSingleCopyMutex));
    const SingleCopyStart verdict = JudgeSingleCopy(static_cast<bool>(singleCopy), GetLastError());
    if (verdict == SingleCopyStart::kAlreadyRunning && !HasSwitch(arguments, "/a")) {
        if (!HasSwitch(arguments, "/s"))
            MessageBoxA(nullptr, AlreadyRunningText().c_str(), kProductName, MB_OK | MB_ICONINFORMATION);
        return 0;
    }

    auto step = [](auto&& f) { LogAndContinue("basSpotlex", "Sub Main", f); };
    step([] {
        goCurrentUser = std::make_unique<RegistrySetting>();
        goCurrentUser->OpenKey(kUserKey);
        goCurrentUser->KeepValues();
    });
    step([] {
        goLocalMachine = std::make_unique<RegistrySetting>();
        goLocalMachine->OpenKey(kMachineKey);
    });
    // The displays draw with "Spotlex2"; without an installation it comes from our own folder.
    step([] { LoadDisplayFont(); });

    std::unique_ptr<SplashScreen> splash;
    std::unique_ptr<frmMain> main;
    // The splash's timer ends the start: the welcome, then the hook comes on. Should it fire
    // while the main form is still loading, the welcome follows as soon as the form is there.
    bool splashDone = false;
    auto welcome = [&] {
        main->TrayIcon1.SetEnabled(false);
        main->ShowWelcome();
    };
    step([&] {
        splash = std::make_unique<SplashScreen>();
        splash->Show(SplashIntervalFromSettings(), [&] {
            splashDone = true;
            splash->Hide();
            if (main) welcome();
            StartUpdater();
            splash.reset();
        });
        for (int i = 0; i < 5; ++i) DoEvents();
    });
    step([&] { main = std::make_unique<frmMain>(); });
    if (!main) return 1;
    if (splashDone) welcome();

    MSG msg;
    while (GetMessageWatching(&msg) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    splash.reset();
    main.reset();
    CloseErrataRuns();
    return 0;
}

}  // namespace spotlex
