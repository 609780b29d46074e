// The program run from a folder whose name the ANSI code page cannot spell, as the per-user install
// of a user named Dvořák on a Western system is: its font loads, keys show, the log is written
// there, Help opens the guide and a session end leaves a RunOnce entry that starts the program.
// The test copies its own executable and the program's files into such a folder and runs the
// copy, which does the checks.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/main_form_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/errata_log_win.h"
#include "core/file_win.h"
#include "core/registry_win.h"
#include "core/unique_handle_win.h"
#include "core/wide_text_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

// "ř" is in no Western, Cyrillic or East Asian ANSI code page's Latin range.
constexpr wchar_t kFolderName[] = L"Spotlex Dvo\u0159\u00e1k";
constexpr wchar_t kPageOpened[] = L"page-opened.txt";
constexpr wchar_t kRecordArg[] = L"--record-page";
constexpr int kStartedAtLogon = 77;

std::wstring ModuleFolderW() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.find_last_of(L'\\') + 1);
}

std::wstring ReadFileW(const std::wstring& path) {
    UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f || f.get() == INVALID_HANDLE_VALUE) return {};
    wchar_t text[1024] = {};
    DWORD got = 0;
    ReadFile(f.get(), text, sizeof text - sizeof(wchar_t), &got, nullptr);
    return text;
}

// Before any test: the copy started as the .html handler writes what it was asked to open; started
// with "/s" it stands for the program starting at the next sign-in.
const bool gHandled = [] {
    const std::wstring line = GetCommandLineW();
    if (const auto at = line.find(kRecordArg); at != std::wstring::npos) {
        UniqueHandle f(CreateFileW((ModuleFolderW() + kPageOpened).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr));
        const std::wstring page = line.substr(at + std::size(kRecordArg));
        DWORD written = 0;
        WriteFile(f.get(), page.data(), static_cast<DWORD>(page.size() * sizeof(wchar_t)), &written, nullptr);
        ExitProcess(0);
    }
    if (line.size() > 3 && line.compare(line.size() - 3, 3, L" /s") == 0) ExitProcess(kStartedAtLogon);
    return false;
}();

void SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), ERROR_SUCCESS);
    UniqueKey k(h);
    RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

DWORD RunAndWait(std::wstring commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        return GetLastError() | 0x10000000;
    CloseHandle(pi.hThread);
    UniqueHandle process(pi.hProcess);
    WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

void InTheFolder(const std::wstring& folder) {
    const std::string utf8Folder = Utf8(folder);
    EXPECT_EQ(ProgramFolder(), utf8Folder);
    ASSERT_FALSE(IsFontFaceAvailable(kDisplayFontFace)) << "the font must come from this folder";
    ASSERT_TRUE(LoadDisplayFont(ProgramFolder()));

    // The guide's page opens through the shell as any .html file does; here in this program.
    const std::wstring self = folder + L"unicode_folder_test.exe";
    SetText(HKEY_CLASSES_ROOT, L".html", L"", L"SpotlexTestPage");
    SetText(HKEY_CLASSES_ROOT, L"SpotlexTestPage\\shell\\open\\command", L"",
            L"\"" + self + L"\" " + kRecordArg + L" %1");
    SetText(HKEY_LOCAL_MACHINE, L"Software\\Parvane\\Classkit\\4.5\\General", L"Path", folder);
    test::OpenProgramSettings();
    SaveSetting(settings::kPlaySounds, 0);
    SaveSetting(settings::kHookEnum, kHookKeyboard);
    {
        frmMain form;
        form.SysInputEnabled(true);
        INPUT in[2]{};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = 'Q';
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
        EXPECT_TRUE(
            test::PumpUntil([&] { return form.KeyboardWindow->Window().Text() == FontCodes("q"); }, 3000));

        LogError("UnicodeFolderTest", "InTheFolder", 1, "written beside the program");
        EXPECT_NE(GetFileAttributesW((folder + L"errata.log").c_str()), INVALID_FILE_ATTRIBUTES);

        form.RunMenuCommand(mnuHelp);
        EXPECT_TRUE(test::PumpUntil([&] { return !ReadFileW(folder + kPageOpened).empty(); }, 10000));
        EXPECT_NE(ReadFileW(folder + kPageOpened).find(folder + L"help\\index.html"), std::wstring::npos)
            << Utf8(ReadFileW(folder + kPageOpened));

        SendMessageW(form.Hwnd(), WM_ENDSESSION, TRUE, 0);
    }
    wchar_t runOnce[1024] = {};
    DWORD size = sizeof runOnce - sizeof(wchar_t);
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", L"unicode_folder_test",
                 RRF_RT_REG_SZ, nullptr, runOnce, &size);
    EXPECT_EQ(std::wstring(runOnce), L"\"" + self + L"\" /s");
    EXPECT_EQ(RunAndWait(runOnce), static_cast<DWORD>(kStartedAtLogon)) << "the entry must start this program";
    test::CloseProgramSettings();
}

TEST(UnicodeFolderTest, TheProgramWorksFromAFolderTheAnsiCodePageCannotName) {
    const std::wstring here = ModuleFolderW();
    if (here.find(kFolderName) != std::wstring::npos) return InTheFolder(here);

    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, kFolderName, -1, nullptr, 0, nullptr, &lossy);
    ASSERT_TRUE(lossy) << "code page " << GetACP() << " can name the folder: the test would prove nothing";

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + kFolderName + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW((folder + L"help").c_str(), nullptr);
    DeleteFileW((folder + kPageOpened).c_str());
    DeleteFileW((folder + L"errata.log").c_str());
    for (const wchar_t* file : {L"unicode_folder_test.exe", L"Spotlex2.ttf", L"ckicons.icl"})
        ASSERT_TRUE(CopyFileW((here + file).c_str(), (folder + file).c_str(), FALSE)) << Utf8(file);
    UniqueHandle page(CreateFileW((folder + L"help\\index.html").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  0, nullptr));
    ASSERT_NE(page.get(), INVALID_HANDLE_VALUE);
    page.reset();
    EXPECT_EQ(RunAndWait(L"\"" + folder + L"unicode_folder_test.exe\""), 0u) << "the run from " << Utf8(folder);
}

}  // namespace
}  // namespace spotlex
