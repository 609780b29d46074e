#include "core/os_info_win.h"

namespace spotlex {

namespace {
std::int64_t Units(DWORDLONG bytes) {
    return static_cast<std::int64_t>(bytes / 1024);
}
}  // namespace

const OSVERSIONINFOA& COSInfo::Version() const {
    if (!haveVersion_) {
        haveVersion_ = true;
        version_ = {};
        version_.dwOSVersionInfoSize = sizeof version_;
        if (!GetVersionExA(&version_)) {
            version_ = {};
            version_.dwOSVersionInfoSize = sizeof version_;
        }
    }
    return version_;
}

// GlobalMemoryStatus wraps or saturates above 4 GB; the Ex form reports 64-bit figures.
const MEMORYSTATUSEX& COSInfo::Memory() const {
    if (!haveMemory_) {
        haveMemory_ = true;
        memory_ = {};
        memory_.dwLength = sizeof memory_;
        if (!GlobalMemoryStatusEx(&memory_)) {
            memory_ = {};
            memory_.dwLength = sizeof memory_;
        }
    }
    return memory_;
}

const SYSTEM_INFO& COSInfo::System() const {
    if (!haveSystem_) {
        haveSystem_ = true;
        system_ = {};
        GetSystemInfo(&system_);
    }
    return system_;
}

std::int32_t COSInfo::Platform() const { return static_cast<std::int32_t>(Version().dwPlatformId); }
std::int32_t COSInfo::Major() const { return static_cast<std::int32_t>(Version().dwMajorVersion); }
std::int32_t COSInfo::Minor() const { return static_cast<std::int32_t>(Version().dwMinorVersion); }
// The 95 family keeps the version numbers in the high word of the build number.
std::int32_t COSInfo::Build() const { return static_cast<std::int32_t>(Version().dwBuildNumber & 0xFFFF); }

std::string COSInfo::SPInfo() const {
    const OSVERSIONINFOA& v = Version();
    return ServicePackText(v.szCSDVersion, sizeof v.szCSDVersion);
}

std::string COSInfo::PlatformString() const { return spotlex::PlatformString(Platform(), Major(), Minor()); }

std::int32_t COSInfo::ProcessorCount() const { return static_cast<std::int32_t>(System().dwNumberOfProcessors); }
std::int32_t COSInfo::ProcessorType() const { return static_cast<std::int32_t>(System().dwProcessorType); }

std::int64_t COSInfo::PageFileTotal() const { return Units(Memory().ullTotalPageFile); }
std::int64_t COSInfo::PageFileAvail() const { return Units(Memory().ullAvailPageFile); }
std::int64_t COSInfo::MemoryTotalPhysical() const { return Units(Memory().ullTotalPhys); }
std::int64_t COSInfo::MemoryAvailPhysical() const { return Units(Memory().ullAvailPhys); }
std::int64_t COSInfo::MemoryTotalVirtual() const { return Units(Memory().ullTotalVirtual); }
std::int64_t COSInfo::MemoryAvailVirtual() const { return Units(Memory().ullAvailVirtual); }
std::int32_t COSInfo::MemoryLoad() const { return static_cast<std::int32_t>(Memory().dwMemoryLoad); }

OsFacts COSInfo::Facts() const {
    OsFacts f;
    f.platform = Platform();
    f.major = Major();
    f.minor = Minor();
    f.build = Build();
    f.servicePack = SPInfo();
    f.processorType = ProcessorType();
    f.processorCount = ProcessorCount();
    f.memoryLoad = MemoryLoad();
    f.totalPhysical = MemoryTotalPhysical();
    f.availPhysical = MemoryAvailPhysical();
    f.totalVirtual = MemoryTotalVirtual();
    f.availVirtual = MemoryAvailVirtual();
    f.totalPageFile = PageFileTotal();
    f.availPageFile = PageFileAvail();
    return f;
}

std::string COSInfo::SystemInfo() const { return SystemInfoText(Facts()); }

}  // namespace spotlex
