#include "core/errata_text.h"

#include <cstring>

#include "core/runtime_rules.h"

namespace spotlex {

namespace {

constexpr const char* kCrLf = "\r\n";

// Units of 1024 bytes shown as the log has always shown them: divided by 1000, remainder dropped.
std::string Figure(std::int64_t units) {
    return FormatMegabytes(units / 1000);
}

}  // namespace

std::string PlatformString(std::int32_t platform, std::int32_t major, std::int32_t minor) {
    switch (platform) {
        case 1:
            // 4.0 is Windows 95; 4.10 (98) and 4.90 (Me) are the later family.
            return (major > 4 || (major == 4 && minor >= 10)) ? "Windows 98" : "Windows 95";
        case 2:
            if (major == 5) return "Windows 2000";
            return "Windows NT " + std::to_string(major) + "." + std::to_string(minor);
        default:
            return {};
    }
}

std::string ServicePackText(const char* field, std::size_t size) {
    if (field == nullptr) return {};
    const void* nul = std::memchr(field, '\0', size);
    std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field) : size;
    return std::string(field, length);
}

std::string SystemInfoText(const OsFacts& f) {
    std::string text;
    text += "System Info:";
    text += kCrLf;
    text += PlatformString(f.platform, f.major, f.minor) + " " + f.servicePack +
            " (Build: " + std::to_string(f.build) + ")";
    text += kCrLf;
    text += "Processor: " + std::to_string(f.processorType) + " (" + std::to_string(f.processorCount) +
            " processor)";
    text += kCrLf;
    text += "Total Physical Memory: " + Figure(f.totalPhysical) + kCrLf;
    text += "Available Physical Memory: " + Figure(f.availPhysical) + kCrLf;
    text += "Total Virtual Memory: " + Figure(f.totalVirtual) + kCrLf;
    text += "Available Virtual Memory: " + Figure(f.availVirtual) + kCrLf;
    text += "Total Page File: " + Figure(f.totalPageFile) + kCrLf;
    text += "Available Page File: " + Figure(f.availPageFile) + kCrLf;
    text += "Current Memory Load: " + std::to_string(f.memoryLoad) + " %";
    return text;
}

std::string ErrataHeader() {
    std::string text;
    text += "Classkit 4.5 Errata Log";
    text += kCrLf;
    text += "Please e-mail this file to support@parvane.example so we ";
    text += kCrLf;
    text += "can continue to improve this product in the future.";
    text += kCrLf;
    text += "Thank You!";
    text += kCrLf;
    text += kCrLf;
    return text;
}

bool ErrataLogMustRoll(std::uint64_t size, std::uint64_t adding) {
    return size > 0 && size + adding > kErrataLogLimit;
}

std::string ErrataRunLine(int repeats, const LogTime& t) {
    return "(The entry above came " + std::to_string(repeats) + (repeats == 1 ? " more time" : " more times") +
           ", the last at " + FormatLogTime(t.year, t.month, t.day, t.hour, t.minute) + ".)";
}

ErrataRuns::Decision ErrataRuns::Next(std::string_view file, const ErrataEntryFields& e) {
    std::string key = std::string(e.module) + '\n' + std::string(e.procedure) + '\n' + std::to_string(e.number) +
                      '\n' + std::string(e.description);
    Decision decision;
    if (file == file_ && key == key_) {
        ++repeats_;
        lastTime_ = e.time;
        decision.repeat = true;
        return decision;
    }
    if (file == file_ && repeats_ > 0) decision.runLine = ErrataRunLine(repeats_, lastTime_);
    file_ = std::string(file);
    key_ = std::move(key);
    repeats_ = 0;
    lastTime_ = e.time;
    return decision;
}

std::string ErrataRuns::Close(std::string* file) {
    std::string line = repeats_ > 0 ? ErrataRunLine(repeats_, lastTime_) : std::string();
    if (file) *file = file_;
    repeats_ = 0;
    key_.clear();
    return line;
}

std::string ErrataEntry(const ErrataEntryFields& e) {
    const LogTime& t = e.time;
    std::string text;
    auto line = [&text](std::string_view s) {
        text.append(s);
        text += kCrLf;
    };
    line("Spotlex (version " + FormatVersion(e.version.major, e.version.minor, e.version.revision) + ").");
    line(FormatLogTime(t.year, t.month, t.day, t.hour, t.minute));
    line("Unexpected Error");
    line("");
    line("DETAILS:");
    line("Procedure: " + std::string(e.procedure));
    line("Module: " + std::string(e.module));
    line("Number: " + std::to_string(e.number));
    line(e.systemInfo);
    line("Desc: " + std::string(e.description));
    line("");
    text.append(64, '-');
    return text;
}

}  // namespace spotlex
