#pragma once
// The look both chip panels share: their font, their size and a tab bar narrow enough for the
// 8-channel panel's seven tabs in one row.

#include <QFont>
#include <QSize>

class QTabBar;
class QWidget;

namespace panel_common {

// The panel's room left of the chart: its dialog template, 224 x 258 dialog units.
constexpr QSize kPanelSize{336, 420};

// Tahoma 8 where it is installed. Elsewhere a font with Arial's metrics, close to Tahoma's:
// the wider face fontconfig would pick instead does not fit the pages into the panel.
QFont PanelFont();

// Tabs with a narrow padding, so that the seven tabs of the 8-channel panel fit one row of the
// panel's fixed width on every platform.
void MakeTabsCompact(QTabBar *tabs);

} // namespace panel_common
