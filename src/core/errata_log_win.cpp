#include "core/errata_log_win.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <vector>

#include "core/app_error.h"
#include "core/classkit_win.h"
#include "core/file_paths.h"
#include "core/file_win.h"
#include "core/os_info_win.h"
#include "core/registry_win.h"
#include "core/unique_handle_win.h"
#include "core/wide_text_win.h"

namespace spotlex {

namespace {

constexpr std::int32_t kErrOutOfMemory = 7;
constexpr std::int32_t kErrInternal = 51;

// Messages dispatched by one LogError at most: timers and paints come back as soon as the queue
// is empty, so "what is pending" needs a bound of its own.
constexpr int kMaxPendingEvents = 64;

// LogError calls in progress on this thread; an entry logged from an event that LogError itself
// dispatched does not dispatch again, so the nesting stops at two.
thread_local int tLogDepth = 0;


// The suite's installation folder; after shutdown has released goLocalMachine, the machine key and
// then its per-user mirror, read without creating either.
std::string LogFolder() {
    std::string folder;
    if (goLocalMachine) {
        try {
            folder = GetMachineSetting(settings::kPath);
        } catch (...) {
        }
    }
    for (const char* key : {kMachineKey, kMachineMirrorKey}) {
        if (!folder.empty()) break;
        try {
            RegistrySetting machine;
            if (!machine.KeyExists(key)) continue;
            machine.OpenKey(key);
            folder = TextOrEmpty(machine.Value(settings::kPath.name, rgsString));
        } catch (...) {
        }
    }
    if (folder.empty()) folder = ProgramFolder();
    return folder.empty() ? folder : WithBackslash(folder);
}

// The runs of identical entries, shared by every thread that logs.
std::mutex gRunsLock;
ErrataRuns gRuns;

// Appends to the log, never truncating it; a new or empty file gets the header first. A log that
// would pass its limit moves aside first (replacing the older one); where that cannot be done
// (another process holds it) the entry still goes in.
bool AppendToLog(const std::string& file, const std::string& entry) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const std::wstring wideFile = Wide(file);
    if (GetFileAttributesExW(wideFile.c_str(), GetFileExInfoStandard, &data)) {
        const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
        if (ErrataLogMustRoll(size, entry.size() + 2)) {
            const std::string old =
                file.substr(0, file.size() - std::strlen(kErrataFileName)) + kErrataOldFileName;
            MoveFileExW(wideFile.c_str(), Wide(old).c_str(), MOVEFILE_REPLACE_EXISTING);
        }
    }
    HANDLE raw = CreateFileW(wideFile.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    if (raw == INVALID_HANDLE_VALUE) return false;
    UniqueHandle handle(raw);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle.get(), &size)) return false;
    std::string text = size.QuadPart == 0 ? ErrataHeader() : std::string();
    text += entry;
    text += "\r\n";
    DWORD written = 0;
    return WriteFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

void CreateFolders(const std::string& folder) {
    for (std::size_t at = folder.find('\\', 3); at != std::string::npos; at = folder.find('\\', at + 1)) {
        CreateDirectoryW(Wide(folder.substr(0, at)).c_str(), nullptr);
    }
}

// Dispatches the messages already queued, as the log's callers expect, before the beep.
// Bounded: at most kMaxPendingEvents, and never from a LogError that runs inside one of them.
// Skipped while another thread waits on a message we are handling, so it is not held longer.
// A WM_QUIT taken off the queue here is put back for the main loop.
void LetPendingEventsRun() {
    if (tLogDepth > 1 || InSendMessage()) return;
    MSG msg;
    for (int i = 0; i < kMaxPendingEvents && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct DepthGuard {
    DepthGuard() noexcept { ++tLogDepth; }
    ~DepthGuard() { --tLogDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

}  // namespace

std::string SystemErrorText(unsigned long code) {
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (n != 0 && buffer != nullptr) text.assign(buffer, n);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
    if (text.empty()) text = "System error " + std::to_string(code);
    return text;
}

std::optional<ProgramVersion> FileProgramVersion(const std::string& path) {
    DWORD ignored = 0;
    const std::wstring widePath = Wide(path);
    DWORD size = GetFileVersionInfoSizeW(widePath.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(widePath.c_str(), 0, size, data.data())) return std::nullopt;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    // The version resource reads major.minor.0.revision.
    return ProgramVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                          LOWORD(info->dwFileVersionLS)};
}

ProgramVersion RunningProgramVersion() {
    static const ProgramVersion version = [] {
        if (auto v = FileProgramVersion(ModulePath())) return *v;
        return ProgramVersion{SPOTLEX_VERSION_MAJOR, SPOTLEX_VERSION_MINOR, SPOTLEX_VERSION_REVISION};
    }();
    return version;
}

std::string PerUserLogFolder() {
    wchar_t base[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base))) {
        DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) return {};
    }
    return WithBackslash(Utf8(base)) + "Parvane\\Classkit\\4.5\\";
}

void LogError(std::string_view module, std::string_view procedure, std::int32_t number,
              std::string_view description) noexcept {
    DepthGuard depth;
    bool repeat = false;
    try {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        ErrataEntryFields fields;
        fields.version = RunningProgramVersion();
        fields.time = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute};
        fields.module = module;
        fields.procedure = procedure;
        fields.number = number;
        fields.description = description;
        const std::string file = LogFolder() + kErrataFileName;
        ErrataRuns::Decision decision;
        {
            std::lock_guard<std::mutex> lock(gRunsLock);
            decision = gRuns.Next(file, fields);
        }
        // A repeat of the entry before: counted, not written, and not worth a beep or a pass of
        // the queue (a bad setting read at every key press would otherwise do both each time).
        repeat = decision.repeat;
        if (repeat) return;
        COSInfo os;
        const std::string systemInfo = os.SystemInfo();
        fields.systemInfo = systemInfo;
        std::string entry = ErrataEntry(fields);
        if (!decision.runLine.empty()) entry = decision.runLine + "\r\n" + entry;

        if (!AppendToLog(file, entry)) {
            // Program Files is not writable for a standard user: keep the entry in the user's own folder.
            std::string fallback = PerUserLogFolder();
            if (!fallback.empty()) {
                CreateFolders(fallback);
                AppendToLog(fallback + kErrataFileName, entry);
            }
        }
    } catch (...) {
        // The log is the last resort; nothing is left to tell.
    }
    if (repeat) return;
    try {
        LetPendingEventsRun();
    } catch (...) {
    }
    MessageBeep(MB_OK);
}

void CloseErrataRuns() noexcept {
    try {
        std::string file;
        std::string line;
        {
            std::lock_guard<std::mutex> lock(gRunsLock);
            line = gRuns.Close(&file);
        }
        if (!line.empty()) AppendToLog(file, line);
    } catch (...) {
    }
}

void LogCurrentException(std::string_view module, std::string_view procedure) noexcept {
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const AppError& e) {
        LogError(module, procedure, e.Number(), e.Description());
    } catch (const std::bad_alloc&) {
        LogError(module, procedure, kErrOutOfMemory, "Out of memory");
    } catch (const std::exception& e) {
        LogError(module, procedure, kErrInternal, e.what());
    } catch (...) {
        LogError(module, procedure, kErrInternal, "Internal error");
    }
}

}  // namespace spotlex
