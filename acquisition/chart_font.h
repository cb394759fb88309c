#pragma once
// The label font of both charts: Arial with a character cell 15 pixels high.

#include <QFont>

QFont MakeChartFont();
