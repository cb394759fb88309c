// "Export...": the samples as CSV and each plot as a PNG beside it.

#include "analysis/analysis_dlg.h"

#include "analysis/note_label.h"
#include "analysis/plot_view.h"
#include "analysis/record_csv.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"
#include "platform/off_thread.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>

#include <vector>

void CAnalysisDlg::OnExport() {
    if (m_samples.empty()) {
        platform::ShowMessage(this, tr("There are no samples to export yet."), tr("Export"));
        return;
    }
    // The platform's data dialog puts the name in the run's data folder; the home folder
    // stands in only while there is none (the window on its own).
    const QString proposed =
        QDir(QDir::homePath())
            .filePath(
                QStringLiteral("ADC_noise_%1.csv")
                    .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"))));
    const QString path = platform::ChooseSaveFile(
        this, proposed, {tr("CSV file(*.csv)"), tr("All Format(*.*)")}, QStringLiteral("csv"));
    if (!path.isEmpty())
        ExportTo(path);
}

bool CAnalysisDlg::ExportTo(const QString &csvPath) {
    const std::string csv = analysis::RecordCsv(m_samples, sampleRate(), lsbVolts());
    std::vector<platform::FileContents> files{
        {csvPath, QByteArray(csv.data(), qsizetype(csv.size()))}};
    const QFileInfo info(csvPath);
    const QString stem = info.dir().filePath(info.completeBaseName());
    const std::pair<PlotView *, const char *> plots[] = {{m_recordPlot, "_record.png"},
                                                         {m_histogramPlot, "_histogram.png"},
                                                         {m_spectrumPlot, "_spectrum.png"}};
    for (const auto &[plot, suffix] : plots) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        plot->grab().save(&buffer, "PNG");
        files.push_back({stem + QLatin1String(suffix), png});
    }
    // The four files as one: all of them written, or none changed.
    const platform::FileError error = platform::WriteWholeFilesOffThread(files);
    if (error.failed()) {
        platform::ShowFileError(this, error);
        return false;
    }
    ShowNote(
        m_state,
        tr("Exported to %1 and its three plots beside it.").arg(QDir::toNativeSeparators(csvPath)),
        tr("State"));
    return true;
}
