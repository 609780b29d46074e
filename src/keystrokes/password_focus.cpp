#include "keystrokes/password_focus.h"

#include <algorithm>
#include <cctype>

#include "core/modifier_mask.h"

namespace spotlex {

bool IsPasswordEdit(std::string_view className, std::uint32_t style) noexcept {
    if (!(style & kEditPasswordStyle)) return false;
    constexpr std::string_view kEdit = "edit";
    auto sameLetter = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
    };
    return std::search(className.begin(), className.end(), kEdit.begin(), kEdit.end(), sameLetter) !=
           className.end();
}

bool MayMoveFocus(std::uint16_t keyCode, std::uint16_t mask) noexcept {
    constexpr std::uint16_t kTab = 0x09, kReturn = 0x0D, kEscape = 0x1B, kF6 = 0x75;
    return keyCode == kTab || keyCode == kReturn || keyCode == kEscape || keyCode == kF6 ||
           (mask & (kModAlt | kModWin)) != 0;
}

namespace {
// Counters wrap; `a` reaches `b` when it is b or comes after it.
bool Reached(std::uint32_t a, std::uint32_t b) noexcept {
    return static_cast<std::int32_t>(a - b) >= 0;
}
// Answers only move forward, whichever thread's comes first.
void Answer(std::atomic<std::uint32_t>& answered, std::uint32_t answers) noexcept {
    std::uint32_t old = answered.load(std::memory_order_relaxed);
    while (!Reached(old, answers) &&
           !answered.compare_exchange_weak(old, answers, std::memory_order_acq_rel)) {
    }
}
}  // namespace

void PasswordFocus::FromWindows(std::uintptr_t foreground, bool password, std::uint32_t answers) noexcept {
    std::lock_guard lock(mutex_);
    front_ = foreground;
    windows_ = {foreground, password};
    Settle();
    Answer(windowsAnswered_, answers);
    if (wake_) wake_();
}

void PasswordFocus::FromAutomation(std::uintptr_t foreground, bool password, std::uint32_t answers) noexcept {
    std::lock_guard lock(mutex_);
    front_ = foreground;
    automation_ = {foreground, password};
    Settle();
    Answer(automationAnswered_, answers);
    if (wake_) wake_();
}

void PasswordFocus::SetAutomationLive(bool live) noexcept {
    automationLive_.store(live, std::memory_order_release);
    std::lock_guard lock(mutex_);
    if (wake_) wake_();
}

void PasswordFocus::SetWake(std::function<void()> wake) {
    std::lock_guard lock(mutex_);
    wake_ = std::move(wake);
}

void PasswordFocus::Settle() noexcept {
    const bool hidden = (windows_.password && windows_.window == front_) ||
                        (automation_.password && automation_.window == front_);
    hidden_.store(hidden, std::memory_order_release);
}

KeyStamp PasswordFocus::Stamp(bool mayMoveFocus, std::uint32_t time) noexcept {
    const KeyStamp stamp{Hidden(), moves_.load(std::memory_order_relaxed),
                         movedAt_.load(std::memory_order_relaxed)};
    if (mayMoveFocus) {
        movedAt_.store(time, std::memory_order_relaxed);
        moves_.store(stamp.waitFor + 1, std::memory_order_release);
    }
    return stamp;
}

KeyVerdict PasswordFocus::Judge(const KeyStamp& stamp, std::uint32_t now) const noexcept {
    if (stamp.hidden || Hidden()) return KeyVerdict::kHide;
    const bool answered =
        Reached(windowsAnswered_.load(std::memory_order_acquire), stamp.waitFor) &&
        (!automationLive_.load(std::memory_order_acquire) ||
         Reached(automationAnswered_.load(std::memory_order_acquire), stamp.waitFor));
    if (answered || Reached(now, stamp.movedAt + kFocusSettleMs)) return KeyVerdict::kShow;
    return KeyVerdict::kWait;
}

}  // namespace spotlex
