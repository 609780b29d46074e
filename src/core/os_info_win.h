#pragma once
// COSInfo: the operating system, processor and memory snapshot written into each log entry.
#include <windows.h>

#include <cstdint>
#include <string>

#include "core/errata_text.h"

namespace spotlex {

class COSInfo {
public:
    std::int32_t Platform() const;
    std::string PlatformString() const;
    std::string SPInfo() const;
    std::int32_t ProcessorCount() const;
    std::int32_t ProcessorType() const;
    // Memory figures are in units of 1024 bytes.
    std::int64_t PageFileTotal() const;
    std::int64_t PageFileAvail() const;
    std::int64_t MemoryTotalPhysical() const;
    std::int64_t MemoryAvailPhysical() const;
    std::int64_t MemoryTotalVirtual() const;
    std::int64_t MemoryAvailVirtual() const;
    std::int32_t MemoryLoad() const;
    std::int32_t Major() const;
    std::int32_t Minor() const;
    std::int32_t Build() const;
    std::string SystemInfo() const;

    // Every figure above in one record.
    OsFacts Facts() const;

private:
    const OSVERSIONINFOA& Version() const;
    const MEMORYSTATUSEX& Memory() const;
    const SYSTEM_INFO& System() const;

    // Each record is filled from Windows on first use; a failed call leaves zeros.
    mutable bool haveVersion_ = false;
    mutable bool haveMemory_ = false;
    mutable bool haveSystem_ = false;
    mutable OSVERSIONINFOA version_{};
    mutable MEMORYSTATUSEX memory_{};
    mutable SYSTEM_INFO system_{};
};

}  // namespace spotlex
