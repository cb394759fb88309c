#pragma once
// The window's command menu: About, the profile commands and "Update Firmware", with their
// texts, order and command ids, on a menu bar of the main window.

#include <functional>

class QMenuBar;
class QWidget;

namespace syscmd {
constexpr int kAbout = 0x10;
constexpr int kLoadProfile = 0x110;
constexpr int kSaveProfile = 0x120;
constexpr int kUpdateFirmware = 0x130;
// Command ids are compared after masking, as the system reserves the low four bits.
constexpr int kMask = 0xFFF0;
} // namespace syscmd

// Each item calls dispatch with its command id.
QMenuBar *BuildSystemMenuBar(QWidget *parent, const std::function<void(int)> &dispatch);
