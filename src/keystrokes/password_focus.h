#pragma once
// Whether the keyboard focus is in a password field, as the focus watchers report it, kept as the
// one flag the keystroke handler reads on every press; and whether a key press may be shown yet.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>

namespace spotlex {

// ES_PASSWORD; the same bit means something else in other classes of control.
inline constexpr std::uint32_t kEditPasswordStyle = 0x0020;

// An edit control with the password style. Any class whose name holds "edit" (ignoring case) is
// taken for one: Edit, RichEdit20W, RICHEDIT50W, TEdit, WindowsForms10.EDIT.app.0.
bool IsPasswordEdit(std::string_view className, std::uint32_t style) noexcept;

// Keys that commonly move the focus or bring another window to the front: Tab, Enter, Escape, F6,
// and anything pressed with Alt or a Windows key held. `mask` holds the kMod bits.
bool MayMoveFocus(std::uint16_t keyCode, std::uint16_t mask) noexcept;

// How long keys typed after a focus move wait for the watchers before they are judged as they stand.
inline constexpr std::uint32_t kFocusSettleMs = 300;

// What the input hook knew when a key was pressed, taken on its thread.
struct KeyStamp {
    bool hidden = false;        // the focus was in a password field
    std::uint32_t waitFor = 0;  // focus moves before this press that the watchers must answer
    std::uint32_t movedAt = 0;  // the tick of the last of them
};

enum class KeyVerdict { kShow, kHide, kWait };

// Two watchers report the focus from their own threads: the window system (the focused control's
// class and style) and UI Automation (the focused element's IsPassword). Each verdict belongs to
// the window that was in front when it was made, so a verdict about a window the presenter has
// left counts no more, even when its watcher says nothing about the new one.
class PasswordFocus {
public:
    // The window in front and whether its focused control is a password edit. `answers`: the
    // Moves() read when the watcher took the event it judges.
    void FromWindows(std::uintptr_t foreground, bool password, std::uint32_t answers = 0) noexcept;
    // The window in front when UI Automation reported the focused element, and its IsPassword.
    void FromAutomation(std::uintptr_t foreground, bool password, std::uint32_t answers = 0) noexcept;
    // While UI Automation reports, keys after a move wait for its answer too.
    void SetAutomationLive(bool live) noexcept;
    std::uint32_t Moves() const noexcept { return moves_.load(std::memory_order_acquire); }

    // While true, key presses are neither shown nor sounded.
    bool Hidden() const noexcept { return hidden_.load(std::memory_order_acquire); }

    // The hook thread, for each key press or click at tick `time`; reads and writes atomics only.
    KeyStamp Stamp(bool mayMoveFocus, std::uint32_t time) noexcept;
    // At delivery, tick `now`: hide what was or is private; wait while a move before the press is
    // unanswered, for at most kFocusSettleMs after it.
    KeyVerdict Judge(const KeyStamp& stamp, std::uint32_t now) const noexcept;
    // Called on a watcher's thread after each answer; must return at once.
    void SetWake(std::function<void()> wake);

private:
    struct Verdict {
        std::uintptr_t window = 0;
        bool password = false;
    };
    void Settle() noexcept;

    std::mutex mutex_;
    std::uintptr_t front_ = 0;
    Verdict windows_;
    Verdict automation_;
    std::atomic<bool> hidden_{false};
    std::atomic<std::uint32_t> moves_{0};  // written by the hook thread only
    std::atomic<std::uint32_t> movedAt_{0};
    std::atomic<std::uint32_t> windowsAnswered_{0};
    std::atomic<std::uint32_t> automationAnswered_{0};
    std::atomic<bool> automationLive_{false};
    std::function<void()> wake_;
};

}  // namespace spotlex
