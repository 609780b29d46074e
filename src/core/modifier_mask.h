#pragma once
// Bits of the modifier mask, shared by the input hook, the keystroke handler and the key filter.

namespace spotlex {

inline constexpr int kModShift = 1;
inline constexpr int kModCtrl = 2;
inline constexpr int kModAlt = 4;
inline constexpr int kModWin = 8;

}  // namespace spotlex
