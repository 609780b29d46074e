#include "app/startup_text.h"

#include <algorithm>
#include <cctype>

namespace spotlex {

std::string_view CommandArguments(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < line.size() && line[i] == '"') {
        size_t close = line.find('"', i + 1);
        i = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    return line.substr(i);
}

bool HasSwitch(std::string_view arguments, std::string_view lowerCaseSwitch) {
    std::string lower(arguments);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find(lowerCaseSwitch) != std::string::npos;
}

SingleCopyStart JudgeSingleCopy(bool gotHandle, unsigned long lastError) {
    constexpr unsigned long kErrorAccessDenied = 5;
    constexpr unsigned long kErrorAlreadyExists = 183;
    // A copy started elevated (or by another account in this session) made the mutex with a
    // security that a normal start may not open: it exists all the same.
    if (!gotHandle)
        return lastError == kErrorAccessDenied ? SingleCopyStart::kAlreadyRunning
                                               : SingleCopyStart::kFirstCopy;
    return lastError == kErrorAlreadyExists ? SingleCopyStart::kAlreadyRunning : SingleCopyStart::kFirstCopy;
}

std::string AlreadyRunningText() {
    return std::string("A copy of ") + kProductName +
           " is already running.  You should see the icon in the Taskbar Tray.\r\n\r\n" +
           "Use this icon for your " + kProductName + " operations.";
}

std::string QuotedCommand(std::string_view program, std::string_view arguments) {
    std::string cmd = "\"" + std::string(program) + "\"";
    if (!arguments.empty()) cmd += " " + std::string(arguments);
    return cmd;
}

}  // namespace spotlex
