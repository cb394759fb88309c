#pragma once
// Where a scroll notification takes the line chart. The scroll bar's own range is minimum to
// maximum with a page; it holds its thumb at most at maximum - page + 1, while the chart goes
// where these rules say.

#include <cstdint>

enum class ScrollCode { LineLeft, LineRight, PageLeft, PageRight, Track, LeftEnd, RightEnd, Other };

struct ScrollModel {
    int32_t minimum = 0;
    int32_t maximum = 0; // number of samples - 1
    int32_t page = 45;
    int32_t position = 0;
    int32_t track = 0; // thumb position while dragging
};

int32_t ScrollTarget(ScrollCode code, const ScrollModel &model);

// The position the scroll bar shows for a target.
int32_t HeldPosition(int32_t target, const ScrollModel &model);
