#pragma once
// The input hook's decisions that need no Windows: which modifiers are down, when two left presses
// make a double-click, when a hook has probably been removed by the system, and the lock-free ring
// and timing counters shared by the hook thread and the user-interface thread.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "core/modifier_mask.h"

namespace spotlex {

// Bits of the hook mask.
inline constexpr std::int32_t kHookMouse = 1;
inline constexpr std::int32_t kHookKeyboard = 8;
inline constexpr std::int32_t kHookAll = kHookMouse | kHookKeyboard;

// The Win32 virtual-key codes of the modifiers (this file stays free of windows.h).
namespace vk {
inline constexpr std::uint32_t kShift = 0x10, kControl = 0x11, kMenu = 0x12;
inline constexpr std::uint32_t kLWin = 0x5B, kRWin = 0x5C;
inline constexpr std::uint32_t kLShift = 0xA0, kRShift = 0xA1, kLControl = 0xA2, kRControl = 0xA3;
inline constexpr std::uint32_t kLMenu = 0xA4, kRMenu = 0xA5;
}  // namespace vk

// Low-level hooks report the sided codes of Shift, Ctrl and Alt; the key handling and the key
// filter know only the plain ones (16, 17, 18). Other codes pass unchanged.
std::uint16_t PlainKeyCode(std::uint32_t vkCode);

// True when tick `later` comes after tick `earlier` on the wrapping millisecond clock.
inline bool TickAfter(std::uint32_t later, std::uint32_t earlier) {
    return static_cast<std::int32_t>(later - earlier) > 0;
}

// Which modifier keys are down, kept from the key events the hook sees. The record goes stale when
// input passes the hook by (the secure desktop, an elevated window, a removed hook), so after a gap
// in keyboard input, or when told, it is read again from the system.
class ModifierTracker {
public:
    // Asks the system whether a key is down now (GetAsyncKeyState). Called with the plain codes
    // 16, 17, 18 and the two Windows keys, since not every system keeps the sided ones.
    using KeyReader = bool (*)(std::uint32_t vkCode);

    struct KeyEvent {
        bool raise;          // report it as a key press
        std::uint16_t code;  // plain virtual-key code
        std::uint16_t mask;  // modifiers held, a modifier's own bit included
    };

    ModifierTracker(std::uint32_t staleAfterMs, KeyReader reader) noexcept;

    // One key transition at tick `time`. Key-ups are never raised; a modifier's auto-repeat is not
    // a new press and is not raised either.
    KeyEvent OnKey(std::uint32_t vkCode, bool down, std::uint32_t time) noexcept;

    // The modifiers held at a mouse press at tick `time`.
    std::uint16_t MaskAt(std::uint32_t time) noexcept;

    // The next event reads the system again.
    void MarkStale() noexcept { stale_ = true; }

private:
    bool IsStale(std::uint32_t time) const noexcept;
    void ReadSystem(std::uint32_t time) noexcept;
    std::uint16_t Mask() const noexcept;

    std::uint32_t staleAfterMs_;
    KeyReader reader_;
    bool stale_ = true;
    std::uint32_t lastSync_ = 0;
    std::uint8_t sided_ = 0;    // one bit per sided key: LShift, RShift, LCtrl, RCtrl, LAlt, RAlt, LWin, RWin
    std::uint8_t unsided_ = 0;  // modifier groups the system reports down without saying which side
};

// The system's double-click rule: time in milliseconds, rectangle in pixels (SM_CXDOUBLECLK, ...).
struct DoubleClickRule {
    std::uint32_t timeMs;
    std::int32_t width;
    std::int32_t height;
};

// Pairs left presses into double-clicks. A completed pair is used up: a third press starts anew.
class DoubleClickDetector {
public:
    // One press of `button` (1 left, 2 right, 4 middle) at screen pixel (x, y), tick `time`. True
    // when it is the second left press of a pair: less than the double-click time after the first and
    // within half the rectangle's width and height of it. Another button breaks a pair.
    bool OnPress(int button, std::uint32_t time, std::int32_t x, std::int32_t y,
                 const DoubleClickRule& rule) noexcept;
    void Reset() noexcept { armed_ = false; }

private:
    bool armed_ = false;
    std::uint32_t time_ = 0;
    std::int32_t x_ = 0;
    std::int32_t y_ = 0;
};

// What the watchdog looks at, all in ticks of the millisecond clock.
struct WatchdogSample {
    std::uint32_t lastSystemInput;  // GetLastInputInfo
    std::uint32_t keyboardSeen;     // last call of the keyboard hook (or its installation)
    std::uint32_t mouseSeen;        // last call of the mouse hook (or its installation)
    std::int32_t installed;         // hook mask of the hooks in place
    bool cursorMoved;               // the pointer moved since the previous sample
};

// The hooks to install again because the system has probably removed them: input reached the system
// more than `lostAfterMs` after the last event any installed hook saw. A pointer that moved while
// only the keyboard hook is in place, or stood still while only the mouse hook is, explains the input.
std::int32_t HooksToReinstall(const WatchdogSample& s, std::uint32_t lostAfterMs) noexcept;

// How often the watchdog looks. While input comes it looks every `busyMs`; once the system has seen
// no input at all for `quietLooks` looks in a row it looks only every `idleMs`, so an idle program
// stays asleep; the first input a hook sees brings the short pace back. A hook can only be lost on
// an input event, so an idle system loses none.
class WatchdogPace {
public:
    WatchdogPace(std::uint32_t busyMs, std::uint32_t idleMs, int quietLooks) noexcept;
    std::uint32_t Interval() const noexcept { return idle_ ? idleMs_ : busyMs_; }
    // One look, with the system's last input tick (GetLastInputInfo). True when the pace changed.
    bool OnLook(std::uint32_t lastSystemInput) noexcept;
    // A hook procedure saw input. True when the pace changed.
    bool OnHookInput() noexcept;

private:
    std::uint32_t busyMs_;
    std::uint32_t idleMs_;
    int quietLooks_;
    int quiet_ = 0;
    bool looked_ = false;
    std::uint32_t lastInput_ = 0;
    bool idle_ = false;
};

// A fixed ring for one producer thread and one consumer thread; never allocates after construction.
template <class T, std::size_t N>
class SpscRing {
    static_assert(N >= 2 && (N & (N - 1)) == 0, "the capacity is a power of two");

public:
    // Producer only. False when the ring is full; the item is then not stored.
    bool Push(const T& item) noexcept {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head - tail_.load(std::memory_order_acquire) == N) return false;
        slots_[head & (N - 1)] = item;
        head_.store(head + 1, std::memory_order_release);
        return true;
    }
    // Consumer only. False when the ring is empty.
    bool Pop(T& out) noexcept {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail == head_.load(std::memory_order_acquire)) return false;
        out = slots_[tail & (N - 1)];
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

private:
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
    std::array<T, N> slots_{};
};

// Counts durations in whole microseconds without locks, for the hook procedure's own time. One
// thread records; any thread may read.
class MicrosecondHistogram {
public:
    // Durations of this many microseconds and more share the last bucket; Max() keeps the true value.
    static constexpr std::uint32_t kBuckets = 10000;

    void Record(std::uint32_t micros) noexcept;
    std::uint64_t Count() const noexcept;
    std::uint32_t Max() const noexcept { return max_.load(std::memory_order_relaxed); }
    // The least duration that at least `fraction` of the records do not exceed (0.5 is the
    // median); 0 when nothing was recorded.
    std::uint32_t Percentile(double fraction) const noexcept;
    void Clear() noexcept;

private:
    std::array<std::atomic<std::uint32_t>, kBuckets> buckets_{};
    std::atomic<std::uint32_t> max_{0};
};

}  // namespace spotlex
