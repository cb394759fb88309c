#include "file_dialogs.h"

#include "save_folder.h"

#include <QFileDialog>
#include <QFileInfo>

namespace platform {
namespace {
std::function<QString(const FileDialogRequest &)> &testAnswer() {
    static std::function<QString(const FileDialogRequest &)> answer;
    return answer;
}

QString runDialog(const FileDialogRequest &request) {
    QFileDialog dialog(request.owner);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    const QFileInfo proposed(request.proposedPath);
    if (!request.proposedPath.isEmpty() && proposed.isAbsolute())
        dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}
} // namespace

QString ChooseFile(const FileDialogRequest &request) {
    if (testAnswer())
        return testAnswer()(request);
    return runDialog(request);
}

QString ChooseProfileFile(QWidget *owner, const QString &defaultPath, bool save) {
    FileDialogRequest request;
    request.owner = owner;
    request.proposedPath = defaultPath;
    request.filters = {QStringLiteral("Profile Format(*.ini)"), QStringLiteral("All Format(*.*)")};
    request.defaultSuffix = QStringLiteral("ini");
    request.save = save;
    return ChooseFile(request);
}

QString ChooseSaveFile(QWidget *owner, const QString &proposedPath, const QStringList &filters,
                       const QString &defaultSuffix) {
    FileDialogRequest request;
    request.owner = owner;
    request.proposedPath = ProposedDataPath(proposedPath);
    request.filters = filters;
    request.defaultSuffix = defaultSuffix;
    request.save = true;
    const QString chosen = ChooseFile(request);
    RememberDataFolder(chosen);
    return chosen;
}

void SetFileDialogAnswer(std::function<QString(const FileDialogRequest &)> answer) {
    testAnswer() = std::move(answer);
}

} // namespace platform
