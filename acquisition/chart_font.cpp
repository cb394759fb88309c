#include "chart_font.h"

#include <QFontMetrics>

QFont MakeChartFont() {
    // The height asked for is the whole character cell (ascent plus descent), not the em size,
    // so take the largest pixel size whose cell still fits in 15 pixels.
    constexpr int kCellHeight = 15;
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Normal);
    for (int size = kCellHeight; size > 1; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).height() <= kCellHeight)
            break;
    }
    return font;
}
