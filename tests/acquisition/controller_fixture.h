#pragma once
// A stand-in main window: the acquisition's controls under their ids, laid out as the window
// does (the chart area, swatches and logo are the acquisition's own widgets), and hooks the test
// answers.

#include "acquisition/acquisition_controller.h"
#include "acquisition/chart_area.h"
#include "acquisition/color_swatch.h"
#include "acquisition/logo_view.h"
#include "acquisition/samples.h"
#include "platform/busy_flags.h"

#include <QComboBox>
#include <QFrame>
#include <QHash>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

#include <memory>

struct FakeMainWindow {
    FakeMainWindow() {
        window.resize(900, 500);
        add<QLineEdit>(mainwindow::kDataCount);
        add<QPushButton>(mainwindow::kStartAcquisition);
        auto *chart = add<ChartArea>(mainwindow::kChartArea);
        chart->setGeometry(300, 10, 560, 360);
        auto *scroll = add<QScrollBar>(mainwindow::kChartScroll);
        scroll->setOrientation(Qt::Horizontal);
        for (int id : {mainwindow::kMinimum, mainwindow::kMaximum, mainwindow::kAverage,
                       mainwindow::kLogPath})
            add<QLineEdit>(id);
        add<QProgressBar>(mainwindow::kProgress);
        add<QPushButton>(mainwindow::kSaveFile);
        for (int id : {mainwindow::kGridColor, mainwindow::kDataColor, mainwindow::kBackgroundColor,
                       mainwindow::kScaleColor})
            add<ColorSwatch>(id)->resize(27, 16);
        auto *graphType = add<QComboBox>(mainwindow::kGraphType);
        graphType->addItems({"Line Chart", "Gaussian distribution"});
        add<LogoView>(mainwindow::kLogo);

        AcquisitionHooks hooks;
        hooks.panelExists = [this] { return panel; };
        hooks.refreshFromChip = [this] { ++refreshes; };
        hooks.chooseSavePath = [this](QWidget *, const QString &proposed) {
            proposals << proposed;
            return answerSave ? answerSave(proposed) : QString();
        };
        hooks.chooseColor = [this](QWidget *, QColor &color) {
            if (!answerColor.isValid())
                return false;
            color = answerColor;
            return true;
        };
        hooks.pumpEvents = [this] {
            if (onPump)
                onPump();
        };
        hooks.now = [this] { return clock; };
        controller = new AcquisitionController(
            &window, [this](int id) { return controls.value(id); }, hooks);
        controller->ResetChartView();
        window.show();
    }

    template <typename T> T *add(int id) {
        auto *widget = new T(&window);
        controls.insert(id, widget);
        return widget;
    }
    template <typename T> T *get(int id) const { return qobject_cast<T *>(controls.value(id)); }

    QWidget window;
    QHash<int, QWidget *> controls;
    AcquisitionController *controller = nullptr;
    bool panel = true;
    int refreshes = 0;
    QStringList proposals;
    std::function<QString(const QString &)> answerSave;
    QColor answerColor;
    std::function<void()> onPump;
    QDateTime clock{QDate(2026, 1, 2), QTime(13, 5, 9)};
};
