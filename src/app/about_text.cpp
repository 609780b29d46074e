#include "app/about_text.h"

namespace spotlex {

namespace {
std::string Grouped(std::int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (auto i = static_cast<std::ptrdiff_t>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return n < 0 ? "-" + digits : digits;
}

std::string Megabytes(std::int64_t kilobytes) {
    return Grouped(kilobytes / 1024) + " MB";
}
}  // namespace

std::string AboutSystemSummary(const OsFacts& f) {
    std::string system = PlatformString(f.platform, f.major, f.minor);
    if (system.empty()) system = "Windows " + std::to_string(f.major) + "." + std::to_string(f.minor);
    if (!f.servicePack.empty()) system += " " + f.servicePack;
    system += " (Build " + std::to_string(f.build) + ")";

    const std::string processor = "Processor: " + std::to_string(f.processorType) + " (" +
                                  std::to_string(f.processorCount) +
                                  (f.processorCount == 1 ? " processor)" : " processors)");
    const std::string memory =
        "Physical memory: " + Megabytes(f.totalPhysical) + ", " + Megabytes(f.availPhysical) + " available";
    const std::string load = "Memory in use: " + std::to_string(f.memoryLoad) + " %";
    return system + "\r\n" + processor + "\r\n" + memory + "\r\n" + load;
}

}  // namespace spotlex
