#include "core/file_win.h"

#include <windows.h>

#include <vector>

#include "core/errata_log_win.h"
#include "core/file_paths.h"
#include "core/unique_handle_win.h"
#include "core/wide_text_win.h"

namespace spotlex {

namespace {

constexpr char kModule[] = "CFile";

// Calls a Win32 "fill this buffer" function, growing the buffer while the answer says it was
// too small. `call` returns the length written, or the size needed, or 0 on failure.
template <class F>
std::string FillBuffer(F&& call) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return Utf8(std::wstring_view(buffer.data(), ::wcsnlen(buffer.data(), n)));
        buffer.assign(n + 1, L'\0');
    }
    return {};
}

std::string FolderFrom(UINT(WINAPI* getter)(LPWSTR, UINT)) {
    return TrimFolderText(FillBuffer([getter](wchar_t* buffer, DWORD size) { return getter(buffer, size); }));
}

// Set while an existence test is writing its log entry: the log itself tests whether its file
// exists, and a second failure there must not log again and again.
bool gLoggingExistence = false;

bool DoesFileExist(std::string_view path) noexcept {
    try {
        std::string target = ExistenceTestPath(path);
        // A pattern names no one file, whatever it happens to match.
        if (target.empty() || target.find_first_of("*?<>\"") != std::string::npos) return false;
        WIN32_FIND_DATAW data;
        HANDLE found = ::FindFirstFileW(Wide(target).c_str(), &data);
        if (found == INVALID_HANDLE_VALUE) {
            DWORD error = ::GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
                error != ERROR_NO_MORE_FILES && !gLoggingExistence) {
                gLoggingExistence = true;
                LogError(kModule, "DoesFileExist", static_cast<std::int32_t>(error), SystemErrorText(error));
                gLoggingExistence = false;
            }
            return false;
        }
        ::FindClose(found);
        constexpr DWORD kNotNormal = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        return (data.dwFileAttributes & kNotNormal) == 0;
    } catch (...) {
        gLoggingExistence = false;
        LogCurrentException(kModule, "DoesFileExist");
        return false;
    }
}

}  // namespace

std::string ProgramFolder() {
    return PathFolder(ModulePath());
}

std::string SystemDirectory() {
    return FolderFrom(&::GetSystemDirectoryW);
}
std::string WindowsDirectory() {
    return FolderFrom(&::GetWindowsDirectoryW);
}

std::string ExpandEnvironment(std::string_view text) {
    const std::wstring source = Wide(text);
    std::string expanded = FillBuffer([&source](wchar_t* buffer, DWORD size) {
        // The answer counts the terminating NUL, so a complete expansion is always below the size.
        return ::ExpandEnvironmentStringsW(source.c_str(), buffer, size);
    });
    return expanded.empty() && !source.empty() ? std::string(text) : expanded;
}

std::int32_t NumDisplayColors() {
    WindowDc screen(nullptr);
    return screen ? ::GetDeviceCaps(screen.get(), BITSPIXEL) : 0;
}

bool FileExists(std::string_view path, bool expand) {
    if (!expand) return DoesFileExist(path);
    return DoesFileExist(ExpandPathTokens(ExpandEnvironment(path), SystemDirectory(), WindowsDirectory()));
}

std::string CFile::SystemDirectory() const {
    return spotlex::SystemDirectory();
}
std::string CFile::WindowsDirectory() const {
    return spotlex::WindowsDirectory();
}

void CFile::ExpandFile() {
    location_ = ExpandLocationTokens(ExpandEnvironment(location_), SystemDirectory(), WindowsDirectory());
}

std::string CFile::ShortPath() const {
    try {
        const std::wstring location = Wide(location_);
        return FillBuffer([&location](wchar_t* buffer, DWORD size) {
            return ::GetShortPathNameW(location.c_str(), buffer, size);
        });
    } catch (...) {
        LogCurrentException(kModule, "GetShortPath");
        return {};
    }
}

std::string CFile::Folder() const {
    return PathFolder(location_);
}
std::string CFile::FileName(bool withExtension) const {
    return PathFileName(location_, withExtension);
}
std::string CFile::Extension() const {
    return PathExtension(location_);
}
bool CFile::Exists() const {
    return DoesFileExist(location_);
}

}  // namespace spotlex
