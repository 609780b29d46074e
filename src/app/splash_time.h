#pragma once
// How long the splash screen stays up.
#include <cstdint>

namespace spotlex {

// Splash_Screen_Time, in seconds, as the splash timer's interval in milliseconds: 6000 when the
// value is 0 or absent. A negative value also gives 6000, and a long one stops at the timer's
// longest interval, 65,535 ms, so the start always finishes.
int SplashIntervalMs(std::int32_t seconds) noexcept;

}  // namespace spotlex
