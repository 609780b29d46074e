#include "core/monitors_win.h"

#include "core/classkit_win.h"
#include "core/unique_handle_win.h"

namespace spotlex {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM list) {
    MONITORINFOEXA info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(handle, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    reinterpret_cast<std::vector<Monitor>*>(list)->push_back({info.szDevice,
                                                              {r.left, r.top, r.right, r.bottom},
                                                              MonitorDpi(handle),
                                                              (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

}  // namespace

int MonitorDpi(HMONITOR monitor) noexcept {
    // From Windows 8.1 on; before, every monitor has the screen's resolution.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpi = [] {
        HMODULE shcore = ::LoadLibraryA("shcore.dll");
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                            reinterpret_cast<void*>(::GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    constexpr int kEffectiveDpi = 0;
    UINT x = 0, y = 0;
    if (getDpi && monitor && SUCCEEDED(getDpi(monitor, kEffectiveDpi, &x, &y)) && y > 0)
        return static_cast<int>(y);
    WindowDc screen(nullptr);
    return screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : kBaseDpi;
}

std::vector<Monitor> ListMonitors() {
    std::vector<Monitor> list;
    ::EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    return list;
}

RememberedPlace ReadPlace(const NumberSetting& left, const NumberSetting& top, const MonitorSetting& monitor,
                          PixelPoint def) {
    RememberedPlace value{{GetSetting(left, def.x), GetSetting(top, def.y)}, {}};
    value.monitor.device = GetSetting(monitor.device);
    if (!value.monitor.device.empty())
        value.monitor.area = {GetSetting(monitor.left), GetSetting(monitor.top), GetSetting(monitor.right),
                              GetSetting(monitor.bottom)};
    return value;
}

void SavePlace(const NumberSetting& left, const NumberSetting& top, const MonitorSetting& monitor,
               const RememberedPlace& value) {
    if (!goCurrentUser) throw RegistryError(kRegErrKeyNotOpen);
    // A value that holds this already is not written again. The keystroke window stores its place
    // each time a text goes, and a write makes everything kept of the key be read afresh.
    auto save = [](const auto& setting, const auto& v) {
        const RegValue now{v};
        if (goCurrentUser->Value(setting.name) != now) SaveSetting(setting, v);
    };
    save(left, value.place.x);
    save(top, value.place.y);
    save(monitor.device, value.monitor.device);
    save(monitor.left, value.monitor.area.left);
    save(monitor.top, value.monitor.area.top);
    save(monitor.right, value.monitor.area.right);
    save(monitor.bottom, value.monitor.area.bottom);
}

RememberedPlace PlaceWithMonitor(PixelPoint place, SIZE size, const std::vector<Monitor>& monitors) {
    const int on = NearestMonitor(monitors, PlacementProbe(place, size.cx, size.cy));
    if (on < 0) return {place, {}};
    return {place, {monitors[on].device, monitors[on].area}};
}

}  // namespace spotlex
