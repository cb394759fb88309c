#pragma once
// The register transfers of both panel hosts and the messages that go with them.

#include "chips/common/register_profile.h"

#include <QString>

#include <cstdint>
#include <functional>

class PanelBoard;
class QWidget;

namespace panel_common {

// Runs transfer as one register operation: nothing at all while an acquisition or another
// register operation runs on the board; otherwise its registerBusy flag is held and button
// disabled meanwhile.
void RunRegisterOperation(PanelBoard &board, QWidget *button,
                          const std::function<void()> &transfer);

// Reads registers 0 to count - 1 into current, in order. At the first failure tells the user
// ("Read Register Address %02X Failed !") and returns its status; the bytes before it keep their
// new values, the rest their old ones.
int ReadRegistersOrTell(PanelBoard &board, QWidget *owner, uint8_t *current, int count);

// Writes registers 0 to count - 1 from pending, in order, confirming each into current. At the
// first failure tells the user ("Write Register Address %02X Failed !") and stops there.
int WriteRegistersOrTell(PanelBoard &board, QWidget *owner, const uint8_t *pending,
                         uint8_t *current, int count);

// "AIN+ and AIN- cannot select the same channel !"
void TellSameChannel(QWidget *owner);

// Saves current; when the file cannot be read or written, tells the user "Save Profile Failed !"
// with the file's path and the cause as the box's detail, and returns -1, otherwise 0.
int SaveProfileOrTell(QWidget *owner, const QString &path, const ProfileLayout &layout,
                      const uint8_t *current);

// Loads into pending; a profile of another chip, or of none, is refused with the
// invalid-profile message and false; a file that cannot be read, with the file's path and the
// cause.
bool LoadProfileOrTell(QWidget *owner, const QString &path, const ProfileLayout &layout,
                       uint8_t *pending);

} // namespace panel_common
