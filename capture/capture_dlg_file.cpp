// The capture window's file: its name and format kept together, Browse, the state line
// before a run, and the question before a run writes over files that are there.

#include "capture_dlg.h"

#include "file_names.h"

#include "platform/question.h"

#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>

using namespace capture;

FileFormat CCaptureDlg::chosenFormat() const {
    return static_cast<FileFormat>(m_format->currentData().toInt());
}

void CCaptureDlg::followPathFormat() {
    if (const std::optional<FileFormat> named = FormatOfPath(m_path->text()))
        m_format->setCurrentIndex(m_format->findData(int(*named)));
}

bool CCaptureDlg::mayReplace(CaptureSettings &settings) {
    const QStringList existing = ExistingCaptureFiles(settings.path, settings.splitMs > 0);
    settings.force = !existing.isEmpty();
    if (existing.isEmpty())
        return true;
    const QString question =
        existing.size() == 1 ? tr("%1 is there already. Replace it?").arg(existing.front())
                             : tr("%1 files of this capture are there already (%2). Replace them?")
                                   .arg(existing.size())
                                   .arg(existing.join(QStringLiteral(", ")));
    if (platform::AskYesNo(this, question, windowTitle()))
        return true;
    setState(tr("Not started: %1 is there already; choose another file, or replace it.")
                 .arg(existing.front()));
    return false;
}

void CCaptureDlg::showIdleState() {
    if (running())
        return;
    const QString path = m_path->text().trimmed();
    setState(path.isEmpty() ? tr("Choose a file and press Start.")
                            : tr("Press Start to capture to %1.").arg(path));
}

void CCaptureDlg::OnBrowse() {
    const FileFormat format = chosenFormat();
    const QString folder = m_hooks.proposedFolder ? m_hooks.proposedFolder() : QString();
    const QString proposed = ProposedCaptureName(folder, QDateTime::currentDateTime(), format);
    const QString chosen =
        m_hooks.choosePath ? m_hooks.choosePath(this, proposed, format) : QString();
    if (!chosen.isEmpty()) {
        m_path->setText(chosen);
        followPathFormat();
    }
}
