#include "panel_look.h"

#include <QFontDatabase>
#include <QProxyStyle>
#include <QTabBar>

namespace panel_common {
namespace {
class CompactTabStyle : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override {
        if (metric == PM_TabBarTabHSpace)
            return 10;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};
} // namespace

QFont PanelFont() {
    QString family = QStringLiteral("Tahoma");
    if (!QFontDatabase::hasFamily(family)) {
        for (const QString &candidate :
             {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")}) {
            if (QFontDatabase::hasFamily(candidate)) {
                family = candidate;
                break;
            }
        }
    }
    QFont font(family);
    font.setPointSize(8);
    return font;
}

void MakeTabsCompact(QTabBar *tabs) {
    auto *style = new CompactTabStyle;
    style->setParent(tabs); // goes with the tab bar
    tabs->setStyle(style);
}

} // namespace panel_common
