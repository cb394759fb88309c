#include "version_info.h"

#include <QDir>
#include <QFileInfo>

ProductVersion g_productVersion{};
QString g_appTitle;
QString g_exeDir;

int ReadVersionInfo(ProductVersion &version) {
    version = {PELLORIN_VERSION_MAJOR, PELLORIN_VERSION_MINOR, PELLORIN_VERSION_PATCH,
               PELLORIN_VERSION_TWEAK};
    return 0;
}

QString FormatAppTitle(const QString &appName, const ProductVersion &version) {
    return QStringLiteral("%1 v%2.%3.%4.%5")
        .arg(appName)
        .arg(version[0])
        .arg(version[1])
        .arg(version[2])
        .arg(version[3]);
}

QString AppNameFromPath(const QString &exePath) {
    return QFileInfo(exePath).completeBaseName();
}

QString ExeDirFromPath(const QString &exePath) {
    if (exePath.isEmpty())
        return QString();
    QString dir = QDir::toNativeSeparators(QFileInfo(exePath).absolutePath());
    if (!dir.endsWith(QDir::separator()))
        dir += QDir::separator();
    return dir;
}

QString ProposedFileFolder(const QString &exeDir, const QString &homeDir) {
    if (exeDir.isEmpty())
        return QString();
    if (QFileInfo(exeDir).isWritable())
        return exeDir;
    QString home = QDir::toNativeSeparators(homeDir);
    if (!home.isEmpty() && !home.endsWith(QDir::separator()))
        home += QDir::separator();
    return home;
}

void PrepareTitleAndFolder(const QString &exePath, const ProductVersion &version) {
    g_appTitle = FormatAppTitle(AppNameFromPath(exePath), version);
    g_exeDir = ExeDirFromPath(exePath);
}

QString DefaultProfilePath() {
    return ProposedFileFolder(g_exeDir, QDir::homePath()) + QStringLiteral("Pellorin.ini");
}
