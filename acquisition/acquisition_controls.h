#pragma once
// The main window's controls that the acquisition and the chart work with, handed over typed
// by whoever lays the window out. Every one is given, and every one lives as long as the
// window the controller belongs to.

class ChartArea;
class ColorSwatch;
class LogoView;
class QAbstractButton;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QScrollBar;

struct AcquisitionControls {
    QLineEdit *dataCount = nullptr;   // "Data Count"
    QAbstractButton *start = nullptr; // "Start get ADC data"
    QProgressBar *progress = nullptr; // "Collecting"
    ChartArea *chart = nullptr;       // the drawing surface, "Chart"
    QScrollBar *scrollBar = nullptr;  // the line chart's position
    QLineEdit *minimum = nullptr;
    QLineEdit *maximum = nullptr;
    QLineEdit *average = nullptr;
    QComboBox *graphType = nullptr; // "Line Chart", "Gaussian distribution"
    QLineEdit *logFilePath = nullptr;
    QAbstractButton *saveFile = nullptr;
    ColorSwatch *scaleColor = nullptr;
    ColorSwatch *gridColor = nullptr;
    ColorSwatch *dataColor = nullptr;
    ColorSwatch *backgroundColor = nullptr;
    LogoView *logo = nullptr;

    // True when no control is missing.
    bool complete() const;
};
