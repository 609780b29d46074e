#include "app/sys_input_logic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace spotlex {

namespace {

// Modifier groups in mask order: Shift, Ctrl, Alt, Windows.
constexpr std::uint16_t kGroupMask[4] = {kModShift, kModCtrl, kModAlt, kModWin};
constexpr std::uint8_t kGroupSides[4] = {0x03, 0x0C, 0x30, 0xC0};

struct ModifierKey {
    int group;          // -1 for any other key
    std::uint8_t side;  // its bit in the sided record
};

ModifierKey Classify(std::uint32_t code) {
    switch (code) {
        case vk::kShift:  // a plain code from injected input counts as the left key
        case vk::kLShift:
            return {0, 0x01};
        case vk::kRShift:
            return {0, 0x02};
        case vk::kControl:
        case vk::kLControl:
            return {1, 0x04};
        case vk::kRControl:
            return {1, 0x08};
        case vk::kMenu:
        case vk::kLMenu:
            return {2, 0x10};
        case vk::kRMenu:
            return {2, 0x20};
        case vk::kLWin:
            return {3, 0x40};
        case vk::kRWin:
            return {3, 0x80};
        default:
            return {-1, 0};
    }
}

}  // namespace

std::uint16_t PlainKeyCode(std::uint32_t vkCode) {
    switch (vkCode) {
        case vk::kLShift:
        case vk::kRShift:
            return vk::kShift;
        case vk::kLControl:
        case vk::kRControl:
            return vk::kControl;
        case vk::kLMenu:
        case vk::kRMenu:
            return vk::kMenu;
        default:
            return static_cast<std::uint16_t>(vkCode);
    }
}

ModifierTracker::ModifierTracker(std::uint32_t staleAfterMs, KeyReader reader) noexcept
    : staleAfterMs_(staleAfterMs), reader_(reader) {}

bool ModifierTracker::IsStale(std::uint32_t time) const noexcept {
    // A time before the last sync (an injected event with its own time) also counts as a gap.
    return stale_ || time - lastSync_ > staleAfterMs_;
}

void ModifierTracker::ReadSystem(std::uint32_t time) noexcept {
    constexpr std::uint32_t plain[3] = {vk::kShift, vk::kControl, vk::kMenu};
    for (int g = 0; g < 3; ++g) {
        const std::uint8_t groupBit = static_cast<std::uint8_t>(1u << g);
        if (!reader_(plain[g])) {
            sided_ &= static_cast<std::uint8_t>(~kGroupSides[g]);
            unsided_ &= static_cast<std::uint8_t>(~groupBit);
        } else if (!(sided_ & kGroupSides[g])) {
            // Down, but the system does not reliably say which side: the next up of either side ends it.
            unsided_ |= groupBit;
        }
    }
    const std::uint8_t lwin = reader_(vk::kLWin) ? 0x40 : 0;
    const std::uint8_t rwin = reader_(vk::kRWin) ? 0x80 : 0;
    sided_ = static_cast<std::uint8_t>((sided_ & 0x3F) | lwin | rwin);
    lastSync_ = time;
    stale_ = false;
}

std::uint16_t ModifierTracker::Mask() const noexcept {
    std::uint16_t mask = 0;
    for (int g = 0; g < 4; ++g) {
        if ((sided_ & kGroupSides[g]) || (unsided_ & (1u << g))) mask |= kGroupMask[g];
    }
    return mask;
}

ModifierTracker::KeyEvent ModifierTracker::OnKey(std::uint32_t vkCode, bool down,
                                                 std::uint32_t time) noexcept {
    if (IsStale(time)) ReadSystem(time);
    lastSync_ = time;
    const ModifierKey key = Classify(vkCode);
    bool wasDown = false;
    if (key.group >= 0) {
        const std::uint8_t groupBit = static_cast<std::uint8_t>(1u << key.group);
        wasDown = (sided_ & key.side) || (unsided_ & groupBit);
        if (down) {
            sided_ |= key.side;
        } else {
            sided_ &= static_cast<std::uint8_t>(~key.side);
            unsided_ &= static_cast<std::uint8_t>(~groupBit);
        }
    }
    return {down && !wasDown, PlainKeyCode(vkCode), Mask()};
}

std::uint16_t ModifierTracker::MaskAt(std::uint32_t time) noexcept {
    if (IsStale(time)) ReadSystem(time);
    return Mask();
}

bool DoubleClickDetector::OnPress(int button, std::uint32_t time, std::int32_t x, std::int32_t y,
                                  const DoubleClickRule& rule) noexcept {
    if (button != 1) {
        armed_ = false;
        return false;
    }
    const std::int64_t dx = std::llabs(std::int64_t{x} - x_);
    const std::int64_t dy = std::llabs(std::int64_t{y} - y_);
    if (armed_ && time - time_ < rule.timeMs && dx <= rule.width / 2 && dy <= rule.height / 2) {
        armed_ = false;
        return true;
    }
    armed_ = true;
    time_ = time;
    x_ = x;
    y_ = y;
    return false;
}

std::int32_t HooksToReinstall(const WatchdogSample& s, std::uint32_t lostAfterMs) noexcept {
    const std::int32_t installed = s.installed & kHookAll;
    if (installed == 0) return 0;
    std::uint32_t latest = 0;
    if (installed == kHookKeyboard) {
        latest = s.keyboardSeen;
    } else if (installed == kHookMouse) {
        latest = s.mouseSeen;
    } else {
        latest = TickAfter(s.keyboardSeen, s.mouseSeen) ? s.keyboardSeen : s.mouseSeen;
    }
    if (!TickAfter(s.lastSystemInput, latest + lostAfterMs)) return 0;
    if (installed == kHookKeyboard) return s.cursorMoved ? 0 : kHookKeyboard;
    if (installed == kHookMouse) return s.cursorMoved ? kHookMouse : 0;
    // Both in place and neither saw the input: which one went cannot be told, so both are renewed.
    return kHookAll;
}

WatchdogPace::WatchdogPace(std::uint32_t busyMs, std::uint32_t idleMs, int quietLooks) noexcept
    : busyMs_(busyMs), idleMs_(std::max(busyMs, idleMs)), quietLooks_(std::max(1, quietLooks)) {}

bool WatchdogPace::OnLook(std::uint32_t lastSystemInput) noexcept {
    const bool quiet = looked_ && lastSystemInput == lastInput_;
    looked_ = true;
    lastInput_ = lastSystemInput;
    if (!quiet) {
        quiet_ = 0;
        if (!idle_) return false;
        idle_ = false;
        return true;
    }
    if (idle_ || ++quiet_ < quietLooks_) return false;
    idle_ = true;
    return true;
}

bool WatchdogPace::OnHookInput() noexcept {
    quiet_ = 0;
    if (!idle_) return false;
    idle_ = false;
    return true;
}

void MicrosecondHistogram::Record(std::uint32_t micros) noexcept {
    buckets_[std::min(micros, kBuckets - 1)].fetch_add(1, std::memory_order_relaxed);
    std::uint32_t seen = max_.load(std::memory_order_relaxed);
    while (micros > seen && !max_.compare_exchange_weak(seen, micros, std::memory_order_relaxed)) {
    }
}

std::uint64_t MicrosecondHistogram::Count() const noexcept {
    std::uint64_t total = 0;
    for (const auto& b : buckets_) total += b.load(std::memory_order_relaxed);
    return total;
}

std::uint32_t MicrosecondHistogram::Percentile(double fraction) const noexcept {
    const std::uint64_t total = Count();
    if (total == 0) return 0;
    const double wanted = std::ceil(std::clamp(fraction, 0.0, 1.0) * static_cast<double>(total));
    const std::uint64_t target = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(wanted));
    std::uint64_t running = 0;
    for (std::uint32_t i = 0; i < kBuckets; ++i) {
        running += buckets_[i].load(std::memory_order_relaxed);
        if (running >= target) return i == kBuckets - 1 ? Max() : i;
    }
    return Max();
}

void MicrosecondHistogram::Clear() noexcept {
    for (auto& b : buckets_) b.store(0, std::memory_order_relaxed);
    max_.store(0, std::memory_order_relaxed);
}

}  // namespace spotlex
