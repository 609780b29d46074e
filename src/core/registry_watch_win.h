#pragma once
// Tells whether registry keys, or anything under them, have changed since they were last asked
// about. The system signals an event at a change; the user-interface thread takes note of it
// while it waits for its messages (GetMessageWatching), so a look at a watch costs nothing.
#include <windows.h>

#include <initializer_list>
#include <vector>

#include "core/unique_handle_win.h"

namespace spotlex {

struct Armed;

class RegistryWatch {
public:
    // Watches the keys and all under them; takes the handles (a null one: nothing is kept).
    explicit RegistryWatch(std::initializer_list<HKEY> keys);
    RegistryWatch(const RegistryWatch&) = delete;
    RegistryWatch& operator=(const RegistryWatch&) = delete;
    ~RegistryWatch();

    // True once after each change noted; always true when the system could not watch a key, so
    // that a caller who keeps what it reads reads afresh each time instead.
    bool Changed() noexcept;

private:
    friend Armed ArmedWatches() noexcept;
    friend bool WaitWatching(DWORD ms) noexcept;
    friend void NoteChanges() noexcept;
    bool Arm() noexcept;

    std::vector<UniqueKey> keys_;
    UniqueHandle event_;
    bool watching_ = false;
    bool changed_ = false;
};

// Waits up to `ms` for a message to this thread or for a watched key's change, which it notes.
// True when it returned for a change, whether or not a message is waiting too.
bool WaitWatching(DWORD ms) noexcept;

// Notes the changes signalled so far, without waiting: for the end of a modal loop of the system's
// own (a menu), which waited without taking note, before its outcome is acted on.
void NoteChanges() noexcept;

// GetMessage(msg, nullptr, 0, 0) for the user-interface thread's loops: it waits by WaitWatching,
// and notes every change signalled before a message is taken, so what the message sets off reads it.
BOOL GetMessageWatching(MSG* msg) noexcept;

}  // namespace spotlex
