// The data files: items become samples and the text file's "%9d" CR LF lines, which read back
// as the same numbers; the raw file's name follows the chosen path; the proposed name follows
// the clock. Input: a path (up to the first NUL), then a time (6 bytes), then the items.

#include "fuzz_check.h"

#include "acquisition/data_files.h"
#include "acquisition/samples.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void checkTextFile(const std::vector<uint8_t> &items) {
    const int count = static_cast<int>(items.size() / 4);
    std::vector<int32_t> samples;
    ConvertSamples(items.data(), count, samples);
    const QByteArray text = FormatTextFile(samples);
    FUZZ_CHECK(text.size() == 11 * static_cast<qsizetype>(count));
    for (int i = 0; i < count; ++i) {
        const std::string line = text.mid(11 * i, 11).toStdString();
        FUZZ_CHECK(line[9] == '\r' && line[10] == '\n');
        // Right-aligned: blanks, then an optional minus and the digits without leading zeros.
        const size_t first = line.find_first_not_of(' ');
        FUZZ_CHECK(first < 9);
        const size_t digits = line[first] == '-' ? first + 1 : first;
        FUZZ_CHECK(line.find_first_not_of("0123456789", digits) == 9);
        FUZZ_CHECK(line[digits] != '0' || digits == 8);
        FUZZ_CHECK(std::strtol(line.c_str(), nullptr, 10) == samples[static_cast<size_t>(i)]);
    }
}

void checkPaths(const QString &path) {
    const QString folder = FolderOf(path);
    FUZZ_CHECK(path.startsWith(folder));
    FUZZ_CHECK(folder.isEmpty() || folder.endsWith(u'/'));
    FUZZ_CHECK(!path.mid(folder.size()).contains(u'/'));
    const QString raw = RawPathFor(path);
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < folder.size()) {
        FUZZ_CHECK(raw.isEmpty());
        return;
    }
    FUZZ_CHECK(raw == path.left(dot) + QStringLiteral(".bin"));
    FUZZ_CHECK(FolderOf(raw) == folder);
}

void checkBaseName(const uint8_t *time) {
    const QDate date(1000 + (time[0] << 8 | time[1]) % 9000, time[2] % 12 + 1, time[3] % 28 + 1);
    const QTime clock(time[4] % 24, time[5] % 60, (time[4] ^ time[5]) % 60);
    const QString name = DefaultBaseName(QDateTime(date, clock, Qt::UTC));
    static const QRegularExpression pattern(QStringLiteral("^ADC_\\d{8}_\\d{2}_\\d{2}_\\d{2}$"));
    FUZZ_CHECK(pattern.match(name).hasMatch());
    const QDateTime back = QDateTime::fromString(name, QStringLiteral("'ADC_'yyyyMMdd_HH_mm_ss"));
    FUZZ_CHECK(back.date() == date && back.time() == clock);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const uint8_t *end = data + size;
    const uint8_t *nul = static_cast<const uint8_t *>(std::memchr(data, 0, size));
    const uint8_t *after = nul ? nul + 1 : end;
    checkPaths(QString::fromUtf8(reinterpret_cast<const char *>(data),
                                 static_cast<qsizetype>((nul ? nul : end) - data)));
    if (end - after < 6)
        return 0;
    checkBaseName(after);
    after += 6;
    checkTextFile(std::vector<uint8_t>(after, after + (end - after) / 4 * 4));
    return 0;
}
