// The "Save File" button.

#include "acquisition_controller.h"

#include "acquisition_messages.h"
#include "samples.h"

#include <QLineEdit>

void AcquisitionController::OnSaveFile() {
    m_paths.m_textPath = g_saveFolder + DefaultBaseName(now());
    const QString chosen =
        m_hooks.chooseSavePath ? m_hooks.chooseSavePath(m_window, m_paths.m_textPath) : QString();
    if (chosen.isEmpty()) {
        m_paths = SavePaths();
        m_controls.logFilePath->clear();
        return;
    }
    m_paths.m_textPath = chosen;
    const QString folder = FolderOf(chosen);
    if (!folder.isEmpty())
        g_saveFolder = folder;
    m_controls.logFilePath->setText(chosen);

    m_paths.m_rawPath = RawPathFor(chosen);
    if (m_paths.m_rawPath.isEmpty() || g_sampleRecord.empty())
        return;
    if (MoveToFreshNameIfRawExists(m_paths, g_saveFolder, now()))
        m_controls.logFilePath->setText(m_paths.m_textPath);

    // The raw data belongs to the samples shown, never to a later failed or running attempt.
    const std::vector<uint8_t> &items = g_sampleRecord.items();
    if (SaveRawFile(m_paths.m_rawPath, items.data(), static_cast<int64_t>(items.size()),
                    m_window) != 0) {
        acquisition_message::Tell(m_window, acquisition_message::SaveRawDataFailed());
        return;
    }
    if (SaveTextFile(m_paths.m_textPath, g_sampleRecord.samples(), m_window) != 0) {
        acquisition_message::Tell(m_window, acquisition_message::SaveDataFailed());
    }
}
