#include "keystrokes/key_pause.h"

#include <utility>

#include "core/modifier_mask.h"

namespace spotlex {

KeyPause::KeyPause(Clock clock) : clock_(std::move(clock)) {}

void KeyPause::SetResumeMinutes(std::int32_t minutes) noexcept {
    resumeMs_ = minutes > 0 ? static_cast<std::uint64_t>(minutes) * 60000 : 0;
}

bool KeyPause::RunOut(std::uint64_t now) const noexcept {
    return resumeMs_ != 0 && now - since_ >= resumeMs_;
}

bool KeyPause::Toggle() {
    const std::uint64_t now = clock_();
    if (on_ && !RunOut(now)) {
        on_ = false;
    } else {
        on_ = true;
        since_ = now;
    }
    return on_;
}

bool KeyPause::Paused() const {
    return on_ && !RunOut(clock_());
}

std::uint64_t KeyPause::MsUntilResume() const {
    if (!on_ || resumeMs_ == 0) return 0;
    const std::uint64_t spent = clock_() - since_;
    return spent >= resumeMs_ ? 0 : resumeMs_ - spent;
}

std::uint32_t HotKeyModFlags(std::int32_t combination) noexcept {
    const int mask = (combination >> 16) & 0xFFFF;
    std::uint32_t flags = 0;
    if (mask & kModAlt) flags |= 1;
    if (mask & kModCtrl) flags |= 2;
    if (mask & kModShift) flags |= 4;
    if (mask & kModWin) flags |= 8;
    return flags;
}

std::uint32_t HotKeyVirtualKey(std::int32_t combination) noexcept {
    return static_cast<std::uint32_t>(combination) & 0xFF;
}

}  // namespace spotlex
