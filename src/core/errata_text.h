#pragma once
// The errata log's text, built from plain values so that every byte can be checked natively.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace spotlex {

inline constexpr const char* kErrataFileName = "errata.log";

// What the system snapshot reports. Memory figures are in units of 1024 bytes; 64-bit because
// physical memory and address space pass 4 GB.
struct OsFacts {
    std::int32_t platform = 0;
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t build = 0;
    std::string servicePack;
    std::int32_t processorType = 0;
    std::int32_t processorCount = 0;
    std::int32_t memoryLoad = 0;
    std::int64_t totalPhysical = 0;
    std::int64_t availPhysical = 0;
    std::int64_t totalVirtual = 0;
    std::int64_t availVirtual = 0;
    std::int64_t totalPageFile = 0;
    std::int64_t availPageFile = 0;
};

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// Local time of an entry, to the minute.
struct LogTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

struct ErrataEntryFields {
    ProgramVersion version;
    LogTime time;
    std::string_view module;
    std::string_view procedure;
    std::int32_t number = 0;
    std::string_view description;
    std::string_view systemInfo;
};

// "Windows 95" / "Windows 98" for platform 1, "Windows 2000" or "Windows NT m.n" for platform 2,
// empty for anything else.
std::string PlatformString(std::int32_t platform, std::int32_t major, std::int32_t minor);

// The service-pack field of the version record: the text before its first NUL, never reading past
// `size` characters.
std::string ServicePackText(const char* field, std::size_t size);

// The ten "System Info:" lines, CR-LF between them, none after the last.
std::string SystemInfoText(const OsFacts& facts);

// The five header lines of a new log, each ending in CR-LF (the fifth is empty).
std::string ErrataHeader();

// One entry block, CR-LF between its lines, none after the last dashes.
std::string ErrataEntry(const ErrataEntryFields& fields);

}  // namespace spotlex
