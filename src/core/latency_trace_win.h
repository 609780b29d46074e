#pragma once
// Where the time of one key press or click goes, stamped at each step from the hook to the first
// paint. Only a tracing build (cmake -DSPOTLEX_LATENCY_TRACE=ON) records anything; in every other
// build these calls are empty and vanish.
#include <cstdint>

namespace spotlex::trace {

enum class Kind : std::uint8_t { kKey, kClick };

// The steps, in the order a press passes them.
enum Point : int {
    kHook,        // the hook procedure saw the event (hook thread)
    kWoken,       // the user-interface thread's wake-up was posted (hook thread)
    kDelivered,   // the user-interface thread took the event from the ring
    kNamed,       // filter, settings reads and naming done
    kSounded,     // the sound was started
    kPlaced,      // the stored place read, the previous text put away
    kSized,       // font chosen, text measured, window moved and sized
    kRegionBuilt, // the outline path turned into a region
    kRegionSet,   // SetWindowRgn returned
    kShown,       // raised and shown
    kPainted,     // the first paint done
    kHandled,     // the handler returned
    kPoints
};

#ifdef SPOTLEX_LATENCY_TRACE
// Hook thread: a new event of this kind; stamps kHook on it.
void HookSaw(Kind kind) noexcept;
// Hook thread: stamps kWoken on the newest events.
void HookWoke() noexcept;
// User-interface thread: the next event of this kind is being handled; stamps kDelivered.
void Delivered(Kind kind) noexcept;
// User-interface thread: stamps a step of the event being handled.
void Mark(Point point) noexcept;
#else
inline void HookSaw(Kind) noexcept {}
inline void HookWoke() noexcept {}
inline void Delivered(Kind) noexcept {}
inline void Mark(Point) noexcept {}
#endif

}  // namespace spotlex::trace
