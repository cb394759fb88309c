#pragma once
// Control ids of the main window. Code and tests reach the controls through these.

namespace mainwindow {
constexpr int kModuleLabel = 1000;
constexpr int kModuleList = 1001;
constexpr int kDetectEvm = 1002;
constexpr int kPortLabel = 1003;
constexpr int kDataCount = 1012;
constexpr int kStartAcquisition = 1013;
constexpr int kChartArea = 1014;
constexpr int kChartScroll = 1015;
constexpr int kMinimum = 1016;
constexpr int kMaximum = 1017;
constexpr int kAverage = 1018;
constexpr int kProgress = 1019;
constexpr int kLogPathLabel = 1020;
constexpr int kLogPath = 1021;
constexpr int kSaveFile = 1022;
constexpr int kGridColor = 1023;
constexpr int kDataColor = 1024;
constexpr int kBackgroundColor = 1025;
constexpr int kScaleColor = 1026;
constexpr int kGraphType = 1131;
constexpr int kLogo = 1135;
} // namespace mainwindow
