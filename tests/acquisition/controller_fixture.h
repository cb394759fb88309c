#pragma once
// A stand-in main window: the acquisition's controls handed over typed, as the window's layout
// does (the chart area, swatches and logo are the acquisition's own widgets), and hooks the test
// answers.

#include "acquisition/acquisition_controller.h"
#include "acquisition/chart_area.h"
#include "acquisition/color_swatch.h"
#include "acquisition/logo_view.h"
#include "acquisition/samples.h"
#include "link/board_session.h"
#include "platform/busy_flags.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

#include <memory>

struct FakeMainWindow {
    FakeMainWindow() {
        window.resize(900, 500);
        controls.dataCount = new QLineEdit(&window);
        controls.start = new QPushButton(&window);
        controls.chart = new ChartArea(&window);
        controls.chart->setGeometry(300, 10, 560, 360);
        controls.scrollBar = new QScrollBar(Qt::Horizontal, &window);
        controls.minimum = new QLineEdit(&window);
        controls.maximum = new QLineEdit(&window);
        controls.average = new QLineEdit(&window);
        controls.logFilePath = new QLineEdit(&window);
        controls.progress = new QProgressBar(&window);
        controls.saveFile = new QPushButton(&window);
        for (ColorSwatch **swatch : {&controls.scaleColor, &controls.gridColor, &controls.dataColor,
                                     &controls.backgroundColor}) {
            *swatch = new ColorSwatch(&window);
            (*swatch)->resize(27, 16);
        }
        controls.graphType = new QComboBox(&window);
        controls.graphType->addItems({"Line Chart", "Gaussian distribution"});
        controls.logo = new LogoView(&window);

        AcquisitionHooks hooks;
        hooks.panelExists = [this] { return panel; };
        hooks.board = [this] { return board; };
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
        hooks.now = [this] { return clock; };
        controller = new AcquisitionController(&window, controls, hooks);
        controller->ResetChartView();
        window.show();
    }

    QWidget window;
    AcquisitionControls controls;
    AcquisitionController *controller = nullptr;
    bool panel = true;
    // The board the chip panel drives; none unless a test gives one.
    std::shared_ptr<BoardSession> board;
    int refreshes = 0;
    QStringList proposals;
    std::function<QString(const QString &)> answerSave;
    QColor answerColor;
    QDateTime clock{QDate(2026, 1, 2), QTime(13, 5, 9)};
};
