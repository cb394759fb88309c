#include "plot_keys.h"

#include <Qt>

namespace analysis {

bool MoveForKey(int key, const PlotMoves &moves) {
    constexpr double kPanShare = 0.1;
    constexpr double kZoomStep = 1.25;
    switch (key) {
    case Qt::Key_Left:
        moves.pan(-kPanShare, 0);
        return true;
    case Qt::Key_Right:
        moves.pan(kPanShare, 0);
        return true;
    case Qt::Key_Up:
        moves.pan(0, kPanShare);
        return true;
    case Qt::Key_Down:
        moves.pan(0, -kPanShare);
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        moves.zoom(kZoomStep);
        return true;
    case Qt::Key_Minus:
        moves.zoom(1 / kZoomStep);
        return true;
    case Qt::Key_Home:
        moves.showAll();
        return true;
    default:
        return false;
    }
}

} // namespace analysis
