#pragma once
// Whether the keyboard focus is in a password field, as the focus watchers report it, kept as the
// one flag the keystroke handler reads on every press.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

namespace spotlex {

// ES_PASSWORD; the same bit means something else in other classes of control.
inline constexpr std::uint32_t kEditPasswordStyle = 0x0020;

// An edit control with the password style. Any class whose name holds "edit" (ignoring case) is
// taken for one: Edit, RichEdit20W, RICHEDIT50W, TEdit, WindowsForms10.EDIT.app.0.
bool IsPasswordEdit(std::string_view className, std::uint32_t style) noexcept;

// Two watchers report the focus from their own threads: the window system (the focused control's
// class and style) and UI Automation (the focused element's IsPassword). Each verdict belongs to
// the window that was in front when it was made, so a verdict about a window the presenter has
// left counts no more, even when its watcher says nothing about the new one.
class PasswordFocus {
public:
    // The window in front and whether its focused control is a password edit.
    void FromWindows(std::uintptr_t foreground, bool password) noexcept;
    // The window in front when UI Automation reported the focused element, and its IsPassword.
    void FromAutomation(std::uintptr_t foreground, bool password) noexcept;

    // While true, key presses are neither shown nor sounded.
    bool Hidden() const noexcept { return hidden_.load(std::memory_order_acquire); }

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
};

}  // namespace spotlex
