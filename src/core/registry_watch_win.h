#pragma once
// Tells whether registry keys, or anything under them, have changed since they were last asked
// about: the system signals an event at a change, so one look at the event stands for reading
// again everything kept from them.
#include <windows.h>

#include <initializer_list>
#include <vector>

#include "core/unique_handle_win.h"

namespace spotlex {

class RegistryWatch {
public:
    // Watches the keys (handles of the caller's, which it keeps; a null one is not watched) and,
    // with subtree, their subkeys.
    RegistryWatch(std::initializer_list<HKEY> keys, bool subtree);

    // True once after each change; always true when the system could not watch a key, so that a
    // caller who keeps what it reads reads afresh each time instead.
    bool Changed() noexcept;

private:
    bool Arm() noexcept;

    std::vector<UniqueKey> keys_;
    bool subtree_;
    UniqueHandle event_;
    bool watching_ = false;
};

}  // namespace spotlex
