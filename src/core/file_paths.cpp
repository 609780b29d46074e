#include "core/file_paths.h"

#include <algorithm>

namespace spotlex {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

// The 1-based position of the last "\" is the 0-based index just after it.
std::size_t NameStart(std::string_view location) {
    return InStrLast(location, "\\");
}

}  // namespace

std::size_t InStrLast(std::string_view text, std::string_view searched) {
    if (searched.empty()) return 0;
    std::size_t last = 0;
    for (std::size_t hit = text.find(searched); hit != std::string_view::npos;
         hit = text.find(searched, hit + 1)) {
        last = hit + 1;
    }
    return last;
}

std::string WithBackslash(std::string_view folder) {
    std::string f(folder);
    if (f.empty() || f.back() != '\\') f += '\\';
    return f;
}

std::string PathFolder(std::string_view location) {
    return std::string(location.substr(0, NameStart(location)));
}

std::string PathFileName(std::string_view location, bool withExtension) {
    std::string_view name = location.substr(NameStart(location));
    if (!withExtension) {
        std::size_t dot = InStrLast(name, ".");
        if (dot > 0) name = name.substr(0, dot - 1);
    }
    return std::string(name);
}

std::string PathExtension(std::string_view location) {
    // Only a dot of the file name counts: "C:\v1.2\readme" has no extension.
    std::string_view name = location.substr(NameStart(location));
    std::size_t dot = InStrLast(name, ".");
    return dot > 0 ? std::string(name.substr(dot - 1)) : std::string();
}

std::string TrimFolderText(std::string_view folder) {
    folder = folder.substr(0, folder.find('\0'));
    if (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
    return std::string(folder);
}

std::string ReplaceLeadingToken(std::string_view path, std::string_view token, std::string_view folder) {
    if (!StartsWithIgnoringCase(path, token)) return std::string(path);
    std::string result(folder);
    result += path.substr(token.size());
    return result;
}

std::string ExpandLocationTokens(std::string_view expanded, std::string_view systemDir,
                                 std::string_view windowsDir) {
    if (StartsWithIgnoringCase(expanded, "%sys%")) return ReplaceLeadingToken(expanded, "%sys%", systemDir);
    return ReplaceLeadingToken(expanded, "%win%", windowsDir);
}

std::string ExpandPathTokens(std::string_view expanded, std::string_view systemDir,
                             std::string_view windowsDir) {
    if (StartsWithIgnoringCase(expanded, "%sysdir%"))
        return ReplaceLeadingToken(expanded, "%sysdir%", systemDir);
    return ReplaceLeadingToken(expanded, "%win%", windowsDir);
}

std::string ExistenceTestPath(std::string_view path) {
    std::size_t dot = InStrLast(path, ".");
    if (dot > 0) {
        std::size_t blank = path.find(' ', dot);
        if (blank != std::string_view::npos) path = path.substr(0, blank);
    }
    return std::string(path);
}

}  // namespace spotlex
