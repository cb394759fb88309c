#pragma once
// "Update Firmware": picks the image, runs the update under a wait cursor and shows the text of
// a result the update hands back.

class QWidget;

void RunUpdateFirmwareCommand(QWidget *owner);
