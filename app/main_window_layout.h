#pragma once
// Builds the controls of the main window in the proportions of its 609 x 352 dialog-unit
// template: the chip panel's place on the left, the chart and its controls on the right.

#include "acquisition/acquisition_controls.h"
#include "platform/control_registry.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace mainwindow {
constexpr QSize kClientSize{915, 570};
// Where the chip panel goes, and the room kept free for it.
constexpr QPoint kPanelOrigin{15, 55};
constexpr QSize kPanelArea{340, 420};
constexpr QRect kChartRect{370, 60, 530, 340};
} // namespace mainwindow

// Creates every control on client, registers each under its id and sets the tab order.
// Returns the acquisition's controls among them, typed.
AcquisitionControls BuildMainWindowControls(QWidget *client, platform::ControlRegistry &controls);
