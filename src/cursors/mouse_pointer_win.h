#pragma once
// Cursor: a temporary application-wide mouse pointer (the busy pointer), put back when released.
#include <windows.h>

namespace spotlex {

// The pointer numbers the program uses.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;
inline constexpr int kPointerArrowHourglass = 13;

class Cursor {
public:
    Cursor() noexcept;
    ~Cursor() { Restore(); }
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    void SetMousePointer(int pointer) noexcept;
    void Restore() noexcept;

private:
    HCURSOR saved_ = nullptr;
};

}  // namespace spotlex
