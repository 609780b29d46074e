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

bool WaitWatching(DWORD ms) noexcept {
    std::array<HANDLE, MAXIMUM_WAIT_OBJECTS - 1> events{};
    std::array<RegistryWatch*, MAXIMUM_WAIT_OBJECTS - 1> watches{};
    DWORD count = 0;
    for (RegistryWatch* watch : Live()) {
        if (!watch->watching_ || count == events.size()) continue;
        events[count] = watch->event_.get();
        watches[count++] = watch;
    }
    const DWORD r = ::MsgWaitForMultipleObjectsEx(count, events.data(), ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (r >= WAIT_OBJECT_0 + count) return false;
    watches[r - WAIT_OBJECT_0]->changed_ = true;
    return true;
}

BOOL GetMessageWatching(MSG* msg) noexcept {
    // The wait comes first even when a message is waiting: it returns at once, but only after
    // noting a change signalled before it. Another program that writes a setting and then sends
    // us input finds the input handled with the new setting.
    do {
        while (WaitWatching(INFINITE)) {
        }
    } while (!::PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE));
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

}  // namespace spotlex
