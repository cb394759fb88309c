#include "app_icon.h"

#include <QString>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initResources() {
    Q_INIT_RESOURCE(pellorin);
}

QIcon AppIcon() {
    static const bool initialised = (initResources(), true);
    (void)initialised;
    return QIcon(QStringLiteral(":/icons/pellorin.png"));
}
