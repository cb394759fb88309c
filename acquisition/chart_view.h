#pragma once
// What the chart shows and where its scroll bar stands, kept once: every handler of the chart
// reads and writes this record, and the scroll bar only displays it.

#include "scroll.h"

#include <cstdint>

struct ChartView {
    enum class Graph { Line, Distribution };
    Graph graph = Graph::Line; // the picture on show
    int32_t firstSample = 0;   // first sample the line chart draws
    ScrollModel scroll;        // the scroll bar's range and page, and where its thumb is held
};

// One scroll notification (track: the thumb's position for a drag or a jump). The thumb goes to
// its held position; a target that is not negative becomes the line chart's first sample.
// Returns the target.
int32_t ApplyScroll(ChartView &view, ScrollCode code, int32_t track);

// A new acquisition of count items: the range covers them and the thumb goes home.
void SetScrollRange(ChartView &view, int32_t count);
