#pragma once
// The monitors as the system reports them, each with its own resolution, and the settings that
// remember which monitor a display was put on.
#include <windows.h>

#include <vector>

#include "core/monitor_placement.h"
#include "core/settings.h"

namespace spotlex {

// Every monitor of the desktop, in the system's order.
std::vector<Monitor> ListMonitors();
// The resolution of `monitor`, or the screen's when the system has none per monitor.
int MonitorDpi(HMONITOR monitor) noexcept;

// The stored place with the monitor it was put on; `def` where no place is stored.
RememberedPlace ReadPlace(const NumberSetting& left, const NumberSetting& top, const MonitorSetting& monitor,
                          PixelPoint def);
void SavePlace(const NumberSetting& left, const NumberSetting& top, const MonitorSetting& monitor,
               const RememberedPlace& value);
// `place` of a window of `size` with the monitor it lies on, as SavePlace stores it.
RememberedPlace PlaceWithMonitor(PixelPoint place, SIZE size, const std::vector<Monitor>& monitors);

}  // namespace spotlex
