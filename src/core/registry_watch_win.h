#pragma once
// Tells when a registry key, or anything under it, has changed since it was last asked, without a
// trip to the system per question: the system signals an event at a change, and a wait of the
// thread pool turns that into a flag. What was read before the change is then read afresh.
#include <windows.h>

#include <atomic>

#include "core/unique_handle_win.h"

namespace spotlex {

class RegistryWatch {
public:
    // Watches the key (a handle of the caller's, which it keeps) and, with subtree, its subkeys.
    RegistryWatch(HKEY key, bool subtree);
    RegistryWatch(const RegistryWatch&) = delete;
    RegistryWatch& operator=(const RegistryWatch&) = delete;
    ~RegistryWatch();

    // True once after each change; always true when the system could not watch the key, so that
    // a caller who keeps what it reads reads afresh each time instead.
    bool Changed() noexcept;

private:
    bool Arm() noexcept;
    static void CALLBACK Signalled(void* self, BOOLEAN timedOut) noexcept;

    UniqueKey key_;
    bool subtree_;
    UniqueHandle event_;
    HANDLE wait_ = nullptr;
    std::atomic<bool> changed_{false};
    bool watching_ = false;
};

}  // namespace spotlex
