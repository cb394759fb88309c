#include "about_dlg.h"

#include "app_icon.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kVersionLine = 1004;
constexpr int kFirmwareLine = 1005;
constexpr int kNoticeLine = 1006;
constexpr int kNoticeLine2 = 1007;
constexpr int kOk = 1;
} // namespace

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Pellorin"));
    auto *icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(32, 32));
    icon->setAccessibleName(QStringLiteral("Pellorin icon"));

    // The version line is fixed text: it does not follow the product version.
    auto *version = new QLabel(QStringLiteral("Pellorin, Version 2.0.0.0"), this);
    auto *firmware = new QLabel(QStringLiteral("Firmware Version :"), this);
    auto *notice = new QLabel(QStringLiteral("Copyright (C) The Pellorin developers."), this);
    auto *notice2 =
        new QLabel(QStringLiteral("Provided as is, without warranty of any kind."), this);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(firmware, 1, 1);
    layout->addWidget(notice, 2, 1);
    layout->addWidget(notice2, 3, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
    layout->setHorizontalSpacing(16);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_controls.add(kVersionLine, version);
    m_controls.add(kFirmwareLine, firmware);
    m_controls.add(kNoticeLine, notice);
    m_controls.add(kNoticeLine2, notice2);
    m_controls.add(kOk, ok);
}
