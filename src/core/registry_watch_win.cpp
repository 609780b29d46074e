#include "core/registry_watch_win.h"

namespace spotlex {

RegistryWatch::RegistryWatch(std::initializer_list<HKEY> keys, bool subtree)
    : subtree_(subtree), event_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    bool all = true;
    for (HKEY key : keys) {
        if (key) keys_.emplace_back(key);
        all = all && key;
    }
    watching_ = all && event_ && Arm();
}

bool RegistryWatch::Arm() noexcept {
    // A notification fires once: it is asked for again before the caller reads, so that a change
    // made while reading is not missed.
    for (const UniqueKey& key : keys_) {
        if (::RegNotifyChangeKeyValue(key.get(), subtree_ ? TRUE : FALSE,
                                      REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event_.get(),
                                      TRUE) != ERROR_SUCCESS)
            return false;
    }
    return true;
}

bool RegistryWatch::Changed() noexcept {
    if (!watching_) return true;
    if (::WaitForSingleObject(event_.get(), 0) != WAIT_OBJECT_0) return false;
    watching_ = Arm();
    return true;
}

}  // namespace spotlex
