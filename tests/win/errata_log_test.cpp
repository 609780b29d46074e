// The errata log on disk: header and entries byte for byte, where the file goes, and what LogError
// does to the message queue.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/app_error.h"
#include "core/classkit_win.h"
#include "core/errata_log_win.h"
#include "core/os_info_win.h"
#include "core/runtime_rules.h"
#include "support/log_capture.h"
#include "support/test_support.h"

namespace spotlex {
namespace {

const std::string kHeader =
    "Classkit 4.5 Errata Log\r\n"
    "Please e-mail this file to support@parvane.example so we \r\n"
    "can continue to improve this product in the future.\r\n"
    "Thank You!\r\n"
    "\r\n";
const std::string kDashes(64, '-');

// The log's time stamp: month/day/year, 12-hour clock.
std::string NowText(const SYSTEMTIME& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d %s", t.wMonth, t.wDay, t.wYear,
                  t.wHour % 12 == 0 ? 12 : t.wHour % 12, t.wMinute, t.wHour < 12 ? "AM" : "PM");
    return text;
}

// Checks one entry's lines (starting at `at`) against what LogError was given; figures that move
// while the test runs (free memory, load) are checked by their form.
void ExpectEntry(const std::vector<std::string>& lines, std::size_t at, const std::string& module,
                 const std::string& procedure, const std::string& number, const std::string& desc,
                 const SYSTEMTIME& before, const SYSTEMTIME& after) {
    ASSERT_GE(lines.size(), at + 21);
    const COSInfo os;
    const std::regex figure("[0-9]{1,3}(,[0-9]{3})* MB\\.");
    auto ExpectFigure = [&](std::size_t i, const std::string& label, const std::int64_t* exact) {
        const std::string& line = lines[at + i];
        ASSERT_EQ(line.substr(0, label.size()), label) << line;
        const std::string rest = line.substr(label.size());
        EXPECT_TRUE(std::regex_match(rest, figure)) << line;
        if (exact) {
            EXPECT_EQ(rest, FormatMegabytes(*exact / 1000)) << line;
        }
    };

    const ProgramVersion v{SPOTLEX_VERSION_MAJOR, SPOTLEX_VERSION_MINOR, SPOTLEX_VERSION_REVISION};
    EXPECT_EQ(lines[at + 0], "Spotlex (version " + FormatVersion(v.major, v.minor, v.revision) + ").");
    EXPECT_TRUE(std::regex_match(lines[at + 1], std::regex("(0[1-9]|1[0-2])/[0-3][0-9]/[0-9]{4} "
                                                             "(0[1-9]|1[0-2]):[0-5][0-9] (AM|PM)")))
        << lines[at + 1];
    EXPECT_TRUE(lines[at + 1] == NowText(before) || lines[at + 1] == NowText(after)) << lines[at + 1];
    EXPECT_EQ(lines[at + 2], "Unexpected Error");
    EXPECT_EQ(lines[at + 3], "");
    EXPECT_EQ(lines[at + 4], "DETAILS:");
    EXPECT_EQ(lines[at + 5], "Procedure: " + procedure);
    EXPECT_EQ(lines[at + 6], "Module: " + module);
    EXPECT_EQ(lines[at + 7], "Number: " + number);
    EXPECT_EQ(lines[at + 8], "System Info:");
    EXPECT_EQ(lines[at + 9], os.PlatformString() + " " + os.SPInfo() + " (Build: " + std::to_string(os.Build()) + ")");
    EXPECT_EQ(lines[at + 10], "Processor: " + std::to_string(os.ProcessorType()) + " (" +
                                  std::to_string(os.ProcessorCount()) + " processor)");
    const std::int64_t totalPhysical = os.MemoryTotalPhysical();
    const std::int64_t totalVirtual = os.MemoryTotalVirtual();
    const std::int64_t totalPageFile = os.PageFileTotal();
    ExpectFigure(11, "Total Physical Memory: ", &totalPhysical);
    ExpectFigure(12, "Available Physical Memory: ", nullptr);
    ExpectFigure(13, "Total Virtual Memory: ", &totalVirtual);
    ExpectFigure(14, "Available Virtual Memory: ", nullptr);
    ExpectFigure(15, "Total Page File: ", &totalPageFile);
    ExpectFigure(16, "Available Page File: ", nullptr);
    EXPECT_TRUE(std::regex_match(lines[at + 17], std::regex("Current Memory Load: [0-9]{1,3} %"))) << lines[at + 17];
    EXPECT_EQ(lines[at + 18], "Desc: " + desc);
    EXPECT_EQ(lines[at + 19], "");
    EXPECT_EQ(lines[at + 20], kDashes);
}

class ErrataLog : public ::testing::Test {
protected:
    void SetUp() override {
        goLocalMachine.reset();
        test::ClearMachinePath();
    }
    void TearDown() override {
        goLocalMachine.reset();
        test::ClearMachinePath();
    }
};

TEST_F(ErrataLog, FirstEntryCreatesTheFileWithItsHeaderLaterOnesAppend) {
    test::ScopedLogFolder log;
    SYSTEMTIME before{}, after{};
    GetLocalTime(&before);
    LogError("frmMain", "InitializeApp", static_cast<std::int32_t>(0x80040003u), "Key not open.");
    GetLocalTime(&after);

    const std::string first = log.LogText();
    ASSERT_EQ(first.substr(0, kHeader.size()), kHeader);
    std::vector<std::string> lines = test::SplitCrLf(first.substr(kHeader.size()));
    ASSERT_EQ(lines.size(), 22u) << "21 lines, each ending in CR-LF";
    ExpectEntry(lines, 0, "frmMain", "InitializeApp", "-2147221501", "Key not open.", before, after);
    EXPECT_EQ(lines[21], "");

    LogError("sysinput.dll", "SysInput1_Error", 5, "Access denied.");
    GetLocalTime(&after);
    const std::string both = log.LogText();
    ASSERT_EQ(both.substr(0, first.size()), first) << "the first entry stays as it was";
    lines = test::SplitCrLf(both.substr(first.size()));
    ASSERT_EQ(lines.size(), 22u);
    ExpectEntry(lines, 0, "sysinput.dll", "SysInput1_Error", "5", "Access denied.", before, after);
    EXPECT_EQ(log.EntryCount(), 2);
    EXPECT_EQ(both.find("Classkit 4.5 Errata Log", 1), std::string::npos) << "one header only";
}

TEST_F(ErrataLog, AnExistingLogIsNeverTruncated) {
    test::ScopedLogFolder log;
    const std::string old = "an older entry, kept as it is\r\n";
    ASSERT_TRUE(test::WriteWholeFile(log.LogFile(), old));
    LogError("frmMain", "mnuHelp_Click", 53, "File not found");
    const std::string text = log.LogText();
    ASSERT_EQ(text.substr(0, old.size()), old);
    EXPECT_EQ(text.substr(old.size(), 17), "Spotlex (version ") << "no header for a file that exists";
    EXPECT_EQ(log.EntryCount(), 1);
}

TEST_F(ErrataLog, FolderComesFromTheSettingsElseTheMachineKeyOrItsMirrorElseTheProgram) {
    // goLocalMachine points at a key of its own, whose Path differs from the machine key's.
    const std::string own = test::MakeTempFolder("spotlex-own-");
    const std::string ownKey = "HKEY_CURRENT_USER\\Software\\Parvane\\Classkit\\4.5\\ErrataLogTest";
    goLocalMachine = std::make_unique<RegistrySetting>();
    goLocalMachine->OpenKey(ownKey);
    goLocalMachine->SetValue("Path", rgsString, own.substr(0, own.size() - 1));  // without the backslash
    test::ScopedLogFolder machine;

    LogError("frmMain", "First", 1, "through goLocalMachine");
    EXPECT_NE(test::ReadWholeFile(own + "errata.log").find("Desc: through goLocalMachine\r\n"), std::string::npos);
    EXPECT_EQ(machine.EntryCount(), 0);

    // After shutdown has released goLocalMachine the entry still reaches the installation folder.
    goLocalMachine->DeleteKey(ownKey);
    goLocalMachine.reset();
    LogError("frmMain", "TerminateSpotlex", 2, "after shutdown");
    EXPECT_EQ(machine.EntryCount(), 1);
    EXPECT_NE(machine.LogText().find("Desc: after shutdown\r\n"), std::string::npos);

    // A per-user install keeps Path in the mirror of the machine key; the log finds it there too.
    test::ClearMachinePath();
    const std::string mirrored = test::MakeTempFolder("spotlex-mirror-");
    {
        RegistrySetting mirror;
        mirror.OpenKey(kMachineMirrorKey);
        mirror.SetValue("Path", rgsString, mirrored);
    }
    LogError("frmMain", "TerminateSpotlex", 4, "through the mirror");
    EXPECT_NE(test::ReadWholeFile(mirrored + "errata.log").find("Desc: through the mirror\r\n"),
              std::string::npos);
    {
        RegistrySetting mirror;
        mirror.DeleteKey(kMachineMirrorKey);
    }

    // With no Path at all the log goes beside the program.
    const std::string beside = test::ExeFolder() + "errata.log";
    DeleteFileA(beside.c_str());
    LogError("frmMain", "Third", 3, "beside the program");
    const std::string text = test::ReadWholeFile(beside);
    DeleteFileA(beside.c_str());
    EXPECT_EQ(text.substr(0, kHeader.size()), kHeader);
    EXPECT_NE(text.find("Desc: beside the program\r\n"), std::string::npos);
    EXPECT_EQ(machine.EntryCount(), 1);
}

TEST_F(ErrataLog, AnUnwritableFolderSendsTheEntryToTheUsersOwnFolder) {
    char local[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH), 0u);
    const std::string userLog = std::string(local) + "\\Parvane\\Classkit\\4.5\\errata.log";
    EXPECT_EQ(PerUserLogFolder() + "errata.log", userLog);
    DeleteFileA(userLog.c_str());

    // The installation folder lies below a file, so nothing can be created there.
    const std::string temp = test::MakeTempFolder("spotlex-blocked-");
    ASSERT_TRUE(test::WriteWholeFile(temp + "blocker", "a file, not a folder"));
    test::ScopedLogFolder blocked(temp + "blocker\\Classkit");

    LogError("frmProperties", "cmdOK_Click", 75, "Path/File access error");
    std::string text = test::ReadWholeFile(userLog);
    ASSERT_EQ(text.substr(0, kHeader.size()), kHeader);
    EXPECT_NE(text.find("\r\nProcedure: cmdOK_Click\r\nModule: frmProperties\r\nNumber: 75\r\n"), std::string::npos);

    LogError("frmProperties", "cmdOK_Click", 76, "second");
    const std::string more = test::ReadWholeFile(userLog);
    EXPECT_EQ(more.substr(0, text.size()), text) << "the per-user log is appended to as well";
    EXPECT_NE(more.find("Desc: second\r\n"), std::string::npos);
    EXPECT_EQ(GetFileAttributesA((temp + "blocker\\Classkit").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(userLog.c_str());
}

TEST_F(ErrataLog, ExceptionsAreLoggedWithTheirNumbers) {
    test::ScopedLogFolder log;
    try {
        throw AppError(static_cast<std::int32_t>(0x80040005u), "CRegistry", "bad root");
    } catch (...) {
        LogCurrentException("frmClock", "Form_Load");
    }
    try {
        throw std::runtime_error("something broke");
    } catch (...) {
        LogCurrentException("frmClock", "Timer1_Timer");
    }
    LogCurrentException("frmClock", "NotInACatch");
    LogAndContinue("frmClock", "Step", [] { throw AppError(11, "", "Division by zero"); });
    bool ran = false;
    LogAndContinue("frmClock", "Quiet", [&] { ran = true; });
    EXPECT_TRUE(ran);

    const std::string text = log.LogText();
    EXPECT_EQ(log.EntryCount(), 3);
    EXPECT_NE(text.find("Procedure: Form_Load\r\nModule: frmClock\r\nNumber: -2147221499\r\n"), std::string::npos);
    EXPECT_NE(text.find("Desc: bad root\r\n"), std::string::npos);
    EXPECT_NE(text.find("Procedure: Timer1_Timer\r\nModule: frmClock\r\nNumber: 51\r\n"), std::string::npos);
    EXPECT_NE(text.find("Desc: something broke\r\n"), std::string::npos);
    EXPECT_NE(text.find("Procedure: Step\r\nModule: frmClock\r\nNumber: 11\r\n"), std::string::npos);
    EXPECT_EQ(text.find("NotInACatch"), std::string::npos);
}

// A window that counts the messages it is sent and, when asked, logs from inside one of them.
struct Counter {
    static inline int plain = 0;
    static inline int logging = 0;
    static constexpr UINT kPlain = WM_APP + 1;
    static constexpr UINT kLogging = WM_APP + 2;

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == kPlain) {
            ++plain;
            return 0;
        }
        if (m == kLogging) {
            ++logging;
            // Logs from an event that LogError dispatched, and queues another such event.
            PostMessageA(h, kLogging, 0, 0);
            LogError("frmTest", "Nested", 1, "nested");
            return 0;
        }
        return DefWindowProcA(h, m, w, l);
    }
    static HWND Create() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ErrataLogCounter";
        RegisterClassA(&wc);
        return CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
};

TEST_F(ErrataLog, PendingEventsRunOnceAndTheLoopIsBounded) {
    test::ScopedLogFolder log;
    HWND w = Counter::Create();
    ASSERT_NE(w, nullptr);

    for (int i = 0; i < 3; ++i) PostMessageA(w, Counter::kPlain, 0, 0);
    LogError("frmTest", "Pending", 1, "pending");
    EXPECT_EQ(Counter::plain, 3) << "the queued events ran before LogError returned";

    // Each dispatched event logs and queues another: LogError must still come back.
    PostMessageA(w, Counter::kLogging, 0, 0);
    LogError("frmTest", "Outer", 1, "outer");
    EXPECT_GE(Counter::logging, 1);
    EXPECT_LE(Counter::logging, 64);
    EXPECT_EQ(log.EntryCount(), 3) << "the nested entries are one run: written once";

    // A quit request taken off the queue is put back for the main loop.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    PostQuitMessage(7);
    LogError("frmTest", "Quit", 1, "quit");
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    DestroyWindow(w);
}

TEST_F(ErrataLog, RepeatsAreCountedNotWrittenAndLetNoEventRun) {
    test::ScopedLogFolder log;
    HWND w = Counter::Create();
    ASSERT_NE(w, nullptr);
    LogError("CKeyHandler", "KeyDown", 6, "Key_IncludeExclude is out of range.");
    const int plain = Counter::plain;
    PostMessageA(w, Counter::kPlain, 0, 0);
    for (int press = 0; press < 50; ++press) LogError("CKeyHandler", "KeyDown", 6, "Key_IncludeExclude is out of range.");
    EXPECT_EQ(Counter::plain, plain) << "a repeat passed through the message queue";
    EXPECT_EQ(log.EntryCount(), 1);

    LogError("CKeyHandler", "KeyUp", 6, "Key_IncludeExclude is out of range.");
    EXPECT_EQ(Counter::plain, plain + 1);
    EXPECT_EQ(log.EntryCount(), 2);
    const std::string text = log.LogText();
    const std::size_t run = text.find("\r\n(The entry above came 50 more times, the last at ");
    ASSERT_NE(run, std::string::npos) << text;
    EXPECT_LT(run, text.find("Procedure: KeyUp"));

    LogError("CKeyHandler", "KeyUp", 6, "Key_IncludeExclude is out of range.");
    CloseErrataRuns();
    EXPECT_NE(log.LogText().find("(The entry above came 1 more time, the last at "), std::string::npos)
        << "a run still open is told as the program ends";
    DestroyWindow(w);
}

TEST_F(ErrataLog, AFullLogMovesAsideAndANewOneStarts) {
    test::ScopedLogFolder log;
    const std::string full = "older entries\r\n" + std::string(kErrataLogLimit - 100, 'x');
    ASSERT_TRUE(test::WriteWholeFile(log.LogFile(), full));
    LogError("frmMain", "mnuHelp_Click", 53, "File not found");
    const std::string text = log.LogText();
    EXPECT_EQ(text.substr(0, kHeader.size()), kHeader) << "a new log, with its header";
    EXPECT_EQ(log.EntryCount(), 1);
    std::string old = log.LogFile();
    old.replace(old.size() - std::strlen(kErrataFileName), std::string::npos, kErrataOldFileName);
    EXPECT_EQ(test::ReadWholeFile(old), full) << "one older log is kept as it was";

    // The next time the older one is replaced, so two files at most.
    ASSERT_TRUE(test::WriteWholeFile(log.LogFile(), full + "again"));
    LogError("frmMain", "mnuHelp_Click", 2, "Another");
    EXPECT_EQ(test::ReadWholeFile(old), full + "again");
    EXPECT_EQ(log.EntryCount(), 1);
}

TEST(OsInfo, SnapshotOfThisSystem) {
    COSInfo os;
    EXPECT_EQ(os.Platform(), 2);
    EXPECT_EQ(os.PlatformString().substr(0, 8), "Windows ");
    EXPECT_GE(os.Major(), 5);
    EXPECT_GE(os.ProcessorCount(), 1);
    EXPECT_GT(os.ProcessorType(), 0);
    EXPECT_GT(os.MemoryTotalPhysical(), 0);
    EXPECT_LE(os.MemoryAvailPhysical(), os.MemoryTotalPhysical());
    EXPECT_LE(os.MemoryLoad(), 100);
    EXPECT_LT(os.Build(), 65536);
    if (sizeof(void*) == 8) {
        // A 64-bit process has terabytes of address space: figures that wrapped at 4 GB would not.
        EXPECT_GT(os.MemoryTotalVirtual(), std::int64_t{4} * 1024 * 1024);
    }
    const std::vector<std::string> lines = test::SplitCrLf(os.SystemInfo());
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "System Info:");
    EXPECT_EQ(lines[1].substr(0, os.PlatformString().size() + 1), os.PlatformString() + " ");
}

TEST(OsInfo, VersionComesFromTheVersionResource) {
    auto program = FileProgramVersion(test::ExeFolder() + "Spotlex.exe");
    ASSERT_TRUE(program.has_value());
    EXPECT_EQ(program->major, 4);
    EXPECT_EQ(program->minor, 5);
    EXPECT_EQ(program->revision, SPOTLEX_VERSION_REVISION);

    // This test program has no version resource: the built-in numbers stand in.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_FALSE(FileProgramVersion(self).has_value());
    ProgramVersion running = RunningProgramVersion();
    EXPECT_EQ(running.major, SPOTLEX_VERSION_MAJOR);
    EXPECT_EQ(running.minor, SPOTLEX_VERSION_MINOR);
    EXPECT_EQ(running.revision, SPOTLEX_VERSION_REVISION);
    EXPECT_FALSE(FileProgramVersion(test::ExeFolder() + "no-such-file.exe").has_value());
}

}  // namespace
}  // namespace spotlex
