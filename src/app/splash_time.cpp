#include "app/splash_time.h"

namespace spotlex {

int SplashIntervalMs(std::int32_t seconds) noexcept {
    constexpr int kDefaultMs = 6000;
    constexpr int kLongestMs = 65535;
    if (seconds <= 0) return kDefaultMs;
    if (seconds > kLongestMs / 1000) return kLongestMs;
    return seconds * 1000;
}

}  // namespace spotlex
