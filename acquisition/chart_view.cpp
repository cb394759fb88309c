#include "chart_view.h"

int32_t ApplyScroll(ChartView &view, ScrollCode code, int32_t track) {
    view.scroll.track = track;
    const int32_t target = ScrollTarget(code, view.scroll);
    // The thumb stays inside the bar; the chart goes where the rule says, even past the thumb.
    view.scroll.position = HeldPosition(target, view.scroll);
    if (target >= 0)
        view.firstSample = target;
    return target;
}

void SetScrollRange(ChartView &view, int32_t count) {
    view.scroll.minimum = 0;
    view.scroll.maximum = count - 1;
    view.scroll.position = 0;
    view.scroll.track = 0;
}
