#pragma once
// The presenter's pause of the keystroke display: toggled by a system-wide hot key, ended by the
// hot key again or, so a forgotten pause does not hide a whole session, after a set time. The
// time comes from an injected clock, so every case runs with a made-up one.
#include <cstdint>
#include <functional>

namespace spotlex {

class KeyPause {
public:
    // Milliseconds on a steady clock (GetTickCount64 in the program).
    using Clock = std::function<std::uint64_t()>;

    explicit KeyPause(Clock clock);

    // Minutes after which a pause ends by itself; 0 never. Applies to a pause already running.
    void SetResumeMinutes(std::int32_t minutes) noexcept;
    // The hot key: pauses a running display, resumes a paused one. True when now paused.
    bool Toggle();
    // Paused now: toggled on and neither toggled off nor run out.
    bool Paused() const;
    // Milliseconds until a running pause ends by itself; 0 when not paused or it never ends.
    std::uint64_t MsUntilResume() const;

private:
    bool RunOut(std::uint64_t now) const noexcept;

    Clock clock_;
    std::uint64_t resumeMs_ = 0;
    bool on_ = false;
    std::uint64_t since_ = 0;
};

// RegisterHotKey's modifier flags (MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8) for a key
// combination code's modifier mask, and the code's virtual key.
std::uint32_t HotKeyModFlags(std::int32_t combination) noexcept;
std::uint32_t HotKeyVirtualKey(std::int32_t combination) noexcept;

}  // namespace spotlex
