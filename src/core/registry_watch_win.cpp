#include "core/registry_watch_win.h"

#include <algorithm>
#include <array>

namespace spotlex {
namespace {
// The watches alive, all made and looked at on the user-interface thread. Never destroyed: a
// watch held by a global may end after every function's statics.
std::vector<RegistryWatch*>& Live() {
    static auto* const live = new std::vector<RegistryWatch*>;
    return *live;
}
}  // namespace

RegistryWatch::RegistryWatch(std::initializer_list<HKEY> keys)
    : event_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    bool all = true;
    for (HKEY key : keys) {
        if (key) keys_.emplace_back(key);
        all = all && key;
    }
    watching_ = all && event_ && Arm();
    Live().push_back(this);
}

RegistryWatch::~RegistryWatch() {
    std::vector<RegistryWatch*>& live = Live();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

bool RegistryWatch::Arm() noexcept {
    // A notification fires once: it is asked for again before the caller reads, so that a change
    // made while reading is not missed.
    for (const UniqueKey& key : keys_) {
        if (::RegNotifyChangeKeyValue(key.get(), TRUE,
                                      REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event_.get(),
                                      TRUE) != ERROR_SUCCESS)
            return false;
    }
    return true;
}

bool RegistryWatch::Changed() noexcept {
    if (!watching_) return true;
    if (!changed_) return false;
    changed_ = false;
    watching_ = Arm();
    return true;
}

// The events of the watches that are armed, beside their watches.
struct Armed {
    std::array<HANDLE, MAXIMUM_WAIT_OBJECTS - 1> events{};
    std::array<RegistryWatch*, MAXIMUM_WAIT_OBJECTS - 1> watches{};
    DWORD count = 0;
};

Armed ArmedWatches() noexcept {
    Armed armed;
    for (RegistryWatch* watch : Live()) {
        if (!watch->watching_ || armed.count == armed.events.size()) continue;
        armed.events[armed.count] = watch->event_.get();
        armed.watches[armed.count++] = watch;
    }
    return armed;
}

bool WaitWatching(DWORD ms) noexcept {
    Armed armed = ArmedWatches();
    const DWORD r =
        ::MsgWaitForMultipleObjectsEx(armed.count, armed.events.data(), ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (r >= WAIT_OBJECT_0 + armed.count) return false;
    armed.watches[r - WAIT_OBJECT_0]->changed_ = true;
    return true;
}

void NoteChanges() noexcept {
    // The events alone: a wait that also takes messages may answer for a waiting message first.
    Armed armed = ArmedWatches();
    while (armed.count) {
        const DWORD r = ::WaitForMultipleObjects(armed.count, armed.events.data(), FALSE, 0);
        if (r >= WAIT_OBJECT_0 + armed.count) break;
        armed.watches[r - WAIT_OBJECT_0]->changed_ = true;
    }
}

BOOL GetMessageWatching(MSG* msg) noexcept {
    // Changes signalled before a message are noted before it is taken, so another program that
    // writes a setting and then sends us input finds the input handled with the new setting.
    // Woken for a message, the wait has nothing to note: a change made before the message would
    // have ended the wait first. The look costs a trip to the system, which a key press then saves.
    bool wokenForMessage = false;
    for (;;) {
        if (!wokenForMessage) NoteChanges();
        if (::PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE)) break;
        wokenForMessage = !WaitWatching(INFINITE);
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

}  // namespace spotlex
