#pragma once
// Shows the messages of every layer as modal boxes with one OK button.

#include "platform/message_service.h"

#include <memory>

class QMessageBox;

namespace platform {

// The box a message is shown in: its text, caption and icon, its detail as the informative text
// under it, one OK button, and modal for the whole application even without an owner, so no
// second operation can start while it is open.
std::unique_ptr<QMessageBox> MakeMessageBox(const Message &message);

// Runs the box and returns when the user has answered it.
void PresentMessage(const Message &message);

// Makes PresentMessage the presenter of ShowMessage; called once at start-up.
void InstallMessagePresenter();

} // namespace platform
