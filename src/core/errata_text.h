#pragma once
// The errata log's text, built from plain values so that every byte can be checked natively.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace spotlex {

inline constexpr const char* kErrataFileName = "errata.log";
// Past this size the log moves aside to the older file (one is kept, replaced each time) and a new
// log starts, so a fault that repeats for days cannot fill the disk.
inline constexpr const char* kErrataOldFileName = "errata.old.log";
inline constexpr std::uint64_t kErrataLogLimit = std::uint64_t{1} << 20;

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

// Whether a log of `size` bytes must move aside before `adding` more are written.
bool ErrataLogMustRoll(std::uint64_t size, std::uint64_t adding);

// Runs of identical entries in one log file (same place, number and description, one after the
// other): the first is written, the repeats are only counted, and one line tells how many came
// once the run ends. A repeat is also not worth a beep or a pass of the message queue.
class ErrataRuns {
public:
    struct Decision {
        bool repeat = false;
        // The line that closes the run before this entry, to be written first; empty if none.
        std::string runLine;
    };
    Decision Next(std::string_view file, const ErrataEntryFields& fields);
    // The line that closes a run still open (at shutdown), for its file; empty if none.
    std::string Close(std::string* file);

private:
    std::string file_;
    std::string key_;
    int repeats_ = 0;
    LogTime lastTime_;
};

// "(The entry above came N more times, the last at <time>.)"
std::string ErrataRunLine(int repeats, const LogTime& last);

}  // namespace spotlex
