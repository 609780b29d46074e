#include "app/version_info_win.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "core/wide_text_win.h"

namespace spotlex {

namespace {
std::string Query(std::vector<char>& data, const char* block, const char* name) {
    char path[128];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%s\\%s", block, name);
    char* text = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(data.data(), path, reinterpret_cast<void**>(&text), &len) || !text || len == 0)
        return {};
    std::string s(text, len);
    while (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}
}  // namespace

VersionStrings ReadVersionStrings(const std::string& modulePath) {
    VersionStrings v;
    DWORD ignored = 0;
    const std::wstring path = Wide(modulePath);
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return v;
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return v;

    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &len) && info &&
        len >= sizeof(VS_FIXEDFILEINFO)) {
        v.version = std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
                    std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
                    std::to_string(HIWORD(info->dwFileVersionLS)) + "." +
                    std::to_string(LOWORD(info->dwFileVersionLS));
    }
    // The string block of the first translation; US English as written by our resource script.
    char block[16] = "040904b0";
    struct Translation {
        WORD language;
        WORD codePage;
    }* tr = nullptr;
    if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len) &&
        tr && len >= sizeof(Translation)) {
        std::snprintf(block, sizeof block, "%04x%04x", tr->language, tr->codePage);
    }
    v.productName = Query(data, block, "ProductName");
    v.companyName = Query(data, block, "CompanyName");
    v.comments = Query(data, block, "Comments");
    return v;
}

VersionStrings ProgramVersionStrings() {
    const std::string path = ModulePath();
    VersionStrings v = path.empty() ? VersionStrings{} : ReadVersionStrings(path);
    if (v.version.empty()) {
        v.version = std::to_string(SPOTLEX_VERSION_MAJOR) + "." + std::to_string(SPOTLEX_VERSION_MINOR) +
                    ".0." + std::to_string(SPOTLEX_VERSION_REVISION);
    }
    return v;
}

}  // namespace spotlex
