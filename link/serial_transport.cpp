#include "serial_transport.h"

#include <QSerialPortInfo>

QStringList OrderPortCandidates(const QStringList &preferred, const QList<ListedPort> &listed) {
    QStringList usb;
    QStringList other;
    for (const ListedPort &port : listed)
        (port.usb ? usb : other) << port.path;
    usb.sort();
    other.sort();
    QStringList names;
    const QStringList *groups[] = {&preferred, &usb, &other};
    for (const QStringList *group : groups) {
        for (const QString &name : *group) {
            if (!names.contains(name))
                names << name;
        }
    }
    if (names.size() > kMaxPortCandidates)
        names.resize(kMaxPortCandidates);
    return names;
}

QStringList PortCandidates(const PortSearch &search) {
#ifdef Q_OS_WIN
    QStringList names = search.preferred;
    for (int n = 1; n <= kMaxPortCandidates; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        if (!names.contains(name))
            names << name;
    }
    return names.mid(0, kMaxPortCandidates);
#else
    QList<ListedPort> listed;
    if (search.scanSystem) {
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
            listed.append({info.systemLocation(), info.hasVendorIdentifier()});
    }
    return OrderPortCandidates(search.preferred, listed);
#endif
}

QString PortLabelOf(const QString &path) {
#ifdef Q_OS_WIN
    return QSerialPortInfo(path).portName();
#else
    return path;
#endif
}
