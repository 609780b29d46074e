#include "core/animated_rect.h"

namespace spotlex {

ZoomRect CollapseToMiddle(ZoomRect r) noexcept {
    const int middle = r.left + (r.right - r.left) / 2;
    r.left = middle;
    r.right = middle;
    return r;
}

ZoomPlan PlanZoom(ZoomRect from, bool fromIsTray, ZoomRect to, bool toIsTray, bool opening) noexcept {
    ZoomPlan plan;
    plan.start = fromIsTray ? CollapseToMiddle(from) : from;
    plan.end = toIsTray ? CollapseToMiddle(to) : to;
    plan.drawForDestination = opening;
    return plan;
}

}  // namespace spotlex
