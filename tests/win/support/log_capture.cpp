#include "support/log_capture.h"

#include <windows.h>

namespace spotlex::test {

namespace {
constexpr const char* kMachineSubkey = "Software\\Parvane\\Classkit\\4.5\\General";

void SetMachinePath(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMachineSubkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
}
}  // namespace

std::string MakeTempFolder(const std::string& prefix) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    for (unsigned n = GetTickCount();; ++n) {
        std::string folder = std::string(temp) + prefix + std::to_string(n);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder + "\\";
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
}

std::string ReadWholeFile(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(f);
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(f);
    return ok;
}

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find("\r\n", start);
        if (at == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, at - start));
        start = at + 2;
    }
}

ScopedLogFolder::ScopedLogFolder() : folder_(MakeTempFolder("spotlex-log-")) {
    SetMachinePath(folder_);
}

ScopedLogFolder::ScopedLogFolder(const std::string& path) : folder_(path) {
    SetMachinePath(path);
    if (!folder_.empty() && folder_.back() != '\\') folder_ += '\\';
}

ScopedLogFolder::~ScopedLogFolder() {
    ClearMachinePath();
}

int ScopedLogFolder::EntryCount() const {
    int count = 0;
    for (const std::string& line : SplitCrLf(LogText())) {
        if (line == std::string(64, '-')) ++count;
    }
    return count;
}

void ClearMachinePath() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineSubkey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "Path");
        RegCloseKey(key);
    }
}

}  // namespace spotlex::test
