// The capture analysis window's file dialogs and exports: each plot's numbers as CSV, through
// the platform's whole-file writer, off the window's thread.

#include "run_analysis_dlg.h"

#include "analysis/note_label.h"
#include "platform/file_dialogs.h"
#include "platform/message_service.h"
#include "platform/off_thread.h"
#include "platform/save_folder.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include <cstdio>

namespace {

// The whole run's overview: about 4096 columns (minimum and maximum of each) from the pyramid,
// or every sample of a short run; less the drift line (plus the mean) when it is removed.
std::string OverviewCsv(capture::CaptureRun &run, const analysis::MinMaxPyramid &pyramid,
                        double rate, const analysis::DriftLine *detrend) {
    std::string out = "first_sample,time_s,samples,minimum,maximum\n";
    char line[128];
    auto row = [&](uint64_t runIndex, uint64_t count, double lo, double hi) {
        const double t = (static_cast<double>(runIndex) + static_cast<double>(count) / 2) / rate;
        const double shift = detrend ? detrend->at(t) - detrend->meanCodes : 0.0;
        const int n = std::snprintf(line, sizeof line, "%llu,%.9g,%llu,%.9g,%.9g\n",
                                    static_cast<unsigned long long>(runIndex),
                                    static_cast<double>(runIndex) / rate,
                                    static_cast<unsigned long long>(count), lo - shift, hi - shift);
        out.append(line, static_cast<size_t>(n));
    };
    for (const analysis::SamplePiece &piece : run.pieces()) {
        const size_t columns = std::max<size_t>(
            1, static_cast<size_t>(4096.0 * double(piece.count) / double(run.count())));
        const auto found = pyramid.columns(piece.first, piece.first + piece.count, columns);
        for (const analysis::MinMaxColumn &c : found)
            row(piece.runFirst + (c.first - piece.first), c.count, c.minimum, c.maximum);
        if (!found.empty())
            continue;
        std::vector<int32_t> codes(static_cast<size_t>(piece.count));
        if (!run.read(piece.first, codes, {}))
            return {};
        for (size_t i = 0; i < codes.size(); ++i)
            row(piece.runFirst + i, 1, codes[i], codes[i]);
    }
    return out;
}

const char *Suffix(CRunAnalysisDlg::Export what) {
    switch (what) {
    case CRunAnalysisDlg::Export::Overview:
        return "_overview.csv";
    case CRunAnalysisDlg::Export::Density:
        return "_density.csv";
    case CRunAnalysisDlg::Export::Allan:
        return "_allan.csv";
    case CRunAnalysisDlg::Export::Histogram:
        break;
    }
    return "_histogram.csv";
}

} // namespace

QString capture::ChooseCaptureFile(QWidget *owner) {
    return platform::ChooseFile(
        {owner,
         g_saveFolder.isEmpty() ? QDir::homePath() : g_saveFolder,
         {QObject::tr("Capture files(*.h5 *.hdf5 *.csv)"), QObject::tr("All Format(*.*)")},
         QString(),
         false});
}

void CRunAnalysisDlg::OnExport(Export what) {
    if (!m_run)
        return;
    const QFileInfo first(m_run->parts().front()->path());
    const QString proposed =
        first.dir().filePath(first.completeBaseName() + QLatin1String(Suffix(what)));
    const QString path = platform::ChooseSaveFile(
        this, proposed, {tr("CSV file(*.csv)"), tr("All Format(*.*)")}, QStringLiteral("csv"));
    if (!path.isEmpty())
        ExportTo(what, path);
}

bool CRunAnalysisDlg::ExportTo(Export what, const QString &path) {
    if (!m_run || !m_summary || (what != Export::Overview && !m_analysis))
        return false;
    const double lsb = m_run->facts().claimedVoltsPerCode();
    const bool perSample = !(m_run->sampleRateHz() > 0);
    if (what == Export::Density) {
        // Written as it is made: the density of a long run has millions of bins.
        const analysis::NoiseDensity &density = m_analysis->density;
        return finishExport(
            path, platform::WriteWholeFilesOffThread({platform::FileContents{
                      path, QByteArray(), [&density, lsb, perSample](const auto &sink) {
                          return analysis::WriteNoiseDensityCsv(density, lsb, perSample, sink);
                      }}}));
    }
    std::string text;
    switch (what) {
    case Export::Overview:
        text = OverviewCsv(*m_run, *m_pyramid, rate(),
                           m_removeDrift->isChecked() ? &m_summary->drift : nullptr);
        break;
    case Export::Density:
        break;
    case Export::Allan:
        text = analysis::AllanCsv(m_analysis->allan, lsb, perSample);
        break;
    case Export::Histogram:
        text = analysis::HistogramCsv(m_analysis->histogram);
        break;
    }
    if (text.empty()) {
        platform::ShowMessage(this, tr("The capture cannot be read."), tr("Export"),
                              platform::MessageIcon::Warning,
                              QString::fromStdString(m_run->errorText()));
        return false;
    }
    return finishExport(path, platform::WriteWholeFileOffThread(
                                  path, QByteArray(text.data(), qsizetype(text.size()))));
}

bool CRunAnalysisDlg::finishExport(const QString &path, const platform::FileError &error) {
    if (error.failed()) {
        platform::ShowFileError(this, error);
        return false;
    }
    ShowNote(m_state, tr("Exported to %1.").arg(QDir::toNativeSeparators(path)), tr("State"));
    return true;
}
