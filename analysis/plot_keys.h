#pragma once
// The keys both plot views answer, as one map: arrows pan by a tenth of the view, + (or =) and
// - zoom about the view's centre, Home shows all. Each view moves its own axes.

#include <functional>

namespace analysis {

struct PlotMoves {
    // By fractions of the view's width and height (right and up positive).
    std::function<void(double across, double up)> pan;
    // Above 1 zooms in, about the view's centre.
    std::function<void(double factor)> zoom;
    std::function<void()> showAll;
};

// True when key is one of the plot's keys and its move was made.
bool MoveForKey(int key, const PlotMoves &moves);

} // namespace analysis
