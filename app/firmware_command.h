#pragma once
// "Update Firmware": picks the image, runs the update under a wait cursor and shows the text of
// a failure the update left to it.

class QWidget;

void RunUpdateFirmwareCommand(QWidget *owner);
