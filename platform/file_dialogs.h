#pragma once
// Open and save file dialogs behind plain functions, so tests can answer them.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace platform {

struct FileDialogRequest {
    QWidget *owner = nullptr;
    QString proposedPath;  // pre-filled name, with its folder
    QStringList filters;   // "Name(*.ext)" entries; the first is preselected
    QString defaultSuffix; // added by the dialog to a name typed without one
    bool save = false;     // save dialogs ask before replacing an existing file
};

// The chosen path, or an empty string when the user cancelled.
QString ChooseFile(const FileDialogRequest &request);

// The profile dialog, the same for loading and saving.
QString ChooseProfileFile(QWidget *owner, const QString &defaultPath, bool save);

// A save dialog for data files (save_folder.h): it proposes proposedPath's name in the run's
// data folder, g_saveFolder, whatever folder proposedPath names (that one only while
// g_saveFolder is empty), and the folder of the file chosen becomes the data folder.
QString ChooseSaveFile(QWidget *owner, const QString &proposedPath, const QStringList &filters,
                       const QString &defaultSuffix);

// Tests: while set, every dialog is answered by this function instead of being shown. The
// answer stands for what the dialog would return (an empty string for a cancel).
void SetFileDialogAnswer(std::function<QString(const FileDialogRequest &)> answer);

} // namespace platform
