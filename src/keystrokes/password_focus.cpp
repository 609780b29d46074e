#include "keystrokes/password_focus.h"

#include <algorithm>
#include <cctype>

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

void PasswordFocus::FromWindows(std::uintptr_t foreground, bool password) noexcept {
    std::lock_guard lock(mutex_);
    front_ = foreground;
    windows_ = {foreground, password};
    Settle();
}

void PasswordFocus::FromAutomation(std::uintptr_t foreground, bool password) noexcept {
    std::lock_guard lock(mutex_);
    front_ = foreground;
    automation_ = {foreground, password};
    Settle();
}

void PasswordFocus::Settle() noexcept {
    const bool hidden = (windows_.password && windows_.window == front_) ||
                        (automation_.password && automation_.window == front_);
    hidden_.store(hidden, std::memory_order_release);
}

}  // namespace spotlex
