// Requests to the break clock from other processes: the companion SpotlexClock.exe, and a flood of
// malformed WM_COPYDATA messages sent by a second copy of this program (run with --flood).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "clock/clock_window_win.h"
#include "core/classkit_win.h"
#include "core/display_font_win.h"
#include "core/sound_win.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

using test::PumpUntil;

constexpr int kFloodMessages = 10000;

// Runs a program and keeps this thread's windows answering until it ends; its exit code, or -1.
// With `output`, what it writes to its standard output, through a pipe.
int RunAndPump(const std::string& commandLine, int timeoutMs = 120000, std::string* output = nullptr) {
    std::string cmd = commandLine;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (output) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        if (!CreatePipe(&readEnd, &writeEnd, &inherit, 1 << 16)) return -1;
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = writeEnd;
    }
    PROCESS_INFORMATION pi{};
    const BOOL started =
        CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, output != nullptr, 0, nullptr, nullptr, &si, &pi);
    if (writeEnd) CloseHandle(writeEnd);
    if (!started) {
        if (readEnd) CloseHandle(readEnd);
        return -1;
    }
    PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (readEnd) {
        char buffer[512];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got) output->append(buffer, got);
        CloseHandle(readEnd);
    }
    return static_cast<int>(code);
}

// The subsystem a program's PE header names.
WORD Subsystem(const std::string& path) {
    HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!image) return 0;
    // A data file's handle is its base address, tagged in its low bits.
    const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR{3});
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const WORD subsystem = nt->OptionalHeader.Subsystem;
    FreeLibrary(image);
    return subsystem;
}

int Companion(const std::string& args, std::string* output = nullptr) {
    return RunAndPump("\"" + test::ExeFolder() + "SpotlexClock.exe\" " + args, 30000, output);
}

// The flood: every kind of malformed block, none of them exactly "hide" or "show". Returns how
// many messages were not answered with -1.
int Flood(HWND clock, int count) {
    std::mt19937 rng(20261208);
    std::vector<char> big(1 << 20);
    for (char& c : big) c = static_cast<char>(rng());
    const std::string nearMisses[] = {"Hide", "SHOW", "hide ", "hid", "shows", "status", ""};
    int unanswered = 0;
    for (int i = 0; i < count; ++i) {
        COPYDATASTRUCT block{static_cast<ULONG_PTR>(rng()), 0, nullptr};
        std::string text;
        switch (i % 6) {
            case 0:  // a claimed length anywhere up to 1 MB of random bytes
                block.cbData = rng() % (1u << 20);
                block.lpData = big.data();
                break;
            case 1:  // no data at all, whatever the length says
                block.cbData = rng() % 64;
                break;
            case 2:  // odd lengths
                block.cbData = (rng() % 32) | 1;
                block.lpData = big.data() + rng() % 1024;
                break;
            case 3:  // short random bytes
                block.cbData = rng() % 16;
                block.lpData = big.data() + rng() % 4096;
                break;
            case 4:  // near misses, in UTF-16 and in ANSI
                text = nearMisses[rng() % 7];
                if (rng() % 2) {
                    std::string wide;
                    for (char c : text) wide += {c, '\0'};
                    text = wide;
                }
                block.cbData = static_cast<DWORD>(text.size());
                block.lpData = text.data();
                break;
            default:  // "hide" with its terminator
                text = std::string("h\0i\0d\0e\0\0\0", 10);
                block.cbData = 10;
                block.lpData = text.data();
                break;
        }
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(clock, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block), SMTO_BLOCK, 10000,
                                 &answer) ||
            static_cast<LRESULT>(answer) != -1)
            ++unanswered;
    }
    return unanswered;
}

class ClockRemoteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::OpenProgramSettings();
        gbPlaySounds = false;
        ASSERT_TRUE(LoadDisplayFont());
    }
    static void TearDownTestSuite() { test::CloseProgramSettings(); }
};

TEST_F(ClockRemoteTest, CompanionHidesShowsAndAsksAfterTheClock) {
    EXPECT_EQ(Companion(""), 2);
    EXPECT_EQ(Companion("Hide"), 2);
    EXPECT_EQ(Companion("hide show"), 2);
    EXPECT_EQ(Companion("status"), 1) << "no clock is open yet";
    {
        // Made but never shown, as while Spotlex starts: found, yet nothing acts on the request.
        CClockWindow idle;
        ASSERT_TRUE(IsWindow(idle.hWnd()));
        EXPECT_EQ(Companion("show"), 1);
        EXPECT_FALSE(IsWindowVisible(idle.hWnd()));
    }
    {
        CClockWindow clock;
        clock.SetStartTime(15);
        ASSERT_TRUE(clock.Display());
        HWND h = clock.hWnd();
        EXPECT_EQ(Companion("status"), 0);
        EXPECT_EQ(Companion("hide"), 0);
        EXPECT_FALSE(IsWindowVisible(h));
        EXPECT_TRUE(clock.Paused());
        EXPECT_EQ(Companion("show"), 0);
        EXPECT_TRUE(IsWindowVisible(h));
        EXPECT_FALSE(clock.Paused());
        // Found by its title when neither key names it.
        goLocalMachine->SetValue(settings::kSpotlexClock.name, rgsDWord, 0);
        RegistrySetting mirror;
        mirror.OpenKey(kMachineMirrorKey);
        mirror.SetValue(settings::kSpotlexClock.name, rgsDWord, 0);
        EXPECT_EQ(Companion("hide"), 0);
        EXPECT_FALSE(IsWindowVisible(h));
    }
    EXPECT_EQ(Companion("show"), 1) << "the clock is closed";
}

TEST_F(ClockRemoteTest, CompanionOpensNoConsoleYetPrintsItsLine) {
    // A Windows program: started by a hot-key tool or a slide macro, no console window appears.
    EXPECT_EQ(Subsystem(test::ExeFolder() + "SpotlexClock.exe"), IMAGE_SUBSYSTEM_WINDOWS_GUI);
    std::string output;
    EXPECT_EQ(Companion("status", &output), 1);
    EXPECT_EQ(output, "No break clock is running.\r\n");
}

TEST_F(ClockRemoteTest, TenThousandMalformedMessagesAreAnsweredAndIgnored) {
    CClockWindow clock;
    clock.SetStartTime(15);
    ASSERT_TRUE(clock.Display());
    HWND h = clock.hWnd();
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const DWORD started = GetTickCount();
    const int unanswered =
        RunAndPump("\"" + std::string(self) + "\" --flood " +
                   std::to_string(reinterpret_cast<std::intptr_t>(h)) + " " + std::to_string(kFloodMessages));
    std::printf("%d malformed messages in %lu ms\n", kFloodMessages, GetTickCount() - started);
    EXPECT_EQ(unanswered, 0) << "messages left unanswered (or the sender failed)";
    EXPECT_TRUE(IsWindow(h));
    EXPECT_TRUE(IsWindowVisible(h)) << "nothing in the flood may hide the clock";
    EXPECT_FALSE(clock.Paused());
    EXPECT_EQ(Companion("hide"), 0) << "the clock still acts on the real request";
    EXPECT_FALSE(IsWindowVisible(h));
}

}  // namespace
}  // namespace spotlex

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--flood") {
        HWND clock = reinterpret_cast<HWND>(static_cast<std::intptr_t>(std::stoll(argv[2])));
        return spotlex::Flood(clock, std::stoi(argv[3]));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
