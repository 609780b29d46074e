#include "core/registry_watch_win.h"

namespace spotlex {
namespace {
constexpr DWORD kWhat = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
}  // namespace

RegistryWatch::RegistryWatch(HKEY key, bool subtree)
    : key_(key), subtree_(subtree), event_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (!key_ || !event_ || !Arm()) return;
    watching_ = ::RegisterWaitForSingleObject(&wait_, event_.get(), &RegistryWatch::Signalled, this, INFINITE,
                                              WT_EXECUTEINWAITTHREAD) != FALSE;
}

RegistryWatch::~RegistryWatch() {
    // Waits for a callback under way, which still uses this object.
    if (wait_) ::UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
}

bool RegistryWatch::Arm() noexcept {
    // A notification fires once: it is asked for again before the caller reads, so that a change
    // made while reading is not missed.
    return ::RegNotifyChangeKeyValue(key_.get(), subtree_ ? TRUE : FALSE, kWhat, event_.get(), TRUE) ==
           ERROR_SUCCESS;
}

void CALLBACK RegistryWatch::Signalled(void* self, BOOLEAN /*timedOut*/) noexcept {
    static_cast<RegistryWatch*>(self)->changed_.store(true, std::memory_order_release);
}

bool RegistryWatch::Changed() noexcept {
    if (!watching_) return true;
    if (!changed_.exchange(false, std::memory_order_acq_rel)) return false;
    if (!Arm()) watching_ = false;
    return true;
}

}  // namespace spotlex
