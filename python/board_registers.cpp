// The chip's registers, its commands, its conversion facts and its profile files.

#include "board.h"

#include "chips/tables/number_text.h"
#include "chips/tables/profile_transfer.h"
#include "chips/tables/register_writes.h"
#include "link/frames.h"
#include "link/protocol.h"
#include "link/register_range.h"
#include "link/result_codes.h"

namespace pellorin_py {

std::vector<uint8_t> Board::readRegisters(Interrupt &interrupt) {
    begin(interrupt);
    refreshImage(interrupt, true);
    return m_image;
}

std::vector<WrittenRegister> Board::write(const std::vector<std::pair<QString, int64_t>> &writes,
                                          Interrupt &interrupt) {
    // Every write is checked before the first goes out: a typo must not leave half a setting.
    std::vector<cli::RegisterWrite> planned;
    for (const auto &[name, value] : writes) {
        cli::RegisterWrite write;
        const QString refused = cli::CheckRegisterWrite(*m_chip, name, value, name, write);
        if (!refused.isEmpty())
            throw Value(refused);
        planned.push_back(write);
    }
    begin(interrupt);
    std::vector<WrittenRegister> done;
    for (const cli::RegisterWrite &write : planned) {
        const cli::WriteOutcome outcome = cli::WriteAndReadBack(link(), write);
        if (outcome.result != 0) {
            // What was told, before the registers are read again (which clears it); a board
            // that did not answer is not asked again: that would only wait out the limit twice.
            const QString told = interrupt.messages().text();
            if (outcome.result != result::kTimeout)
                refreshImage(interrupt, false);
            throw Exchange(told.isEmpty()
                               ? QStringLiteral("writing %1 failed (result code %2)")
                                     .arg(QLatin1String(
                                         m_chip->registerNames[static_cast<size_t>(write.address)]))
                                     .arg(outcome.result)
                               : told,
                           outcome.result);
        }
        WrittenRegister row{write.address, outcome.readBack, {}};
        if (outcome.readBack != write.value)
            row.note = cli::ReadBackNote(*m_chip, write, outcome.readBack);
        if (static_cast<size_t>(write.address) < m_image.size())
            m_image[static_cast<size_t>(write.address)] = outcome.readBack;
        done.push_back(row);
    }
    return done;
}

void Board::command(const QString &name, int argument, Interrupt &interrupt) {
    const cli::CommandEntry *entry = cli::FindCommand(*m_chip, name);
    if (!entry) {
        QStringList names;
        for (const cli::CommandEntry &known : m_chip->commands)
            names << QLatin1String(known.name);
        throw Value(QStringLiteral("%1 has no command %2 (%3)")
                        .arg(QLatin1String(m_chip->name), name, names.join(QStringLiteral(", "))));
    }
    if (argument < entry->minArgument || argument > entry->maxArgument) {
        throw Value(cli::NumberMessage(QStringLiteral("%1: the argument").arg(name),
                                       entry->minArgument, entry->maxArgument));
    }
    begin(interrupt);
    const int result = SendCommand(link(), entry->code, static_cast<uint8_t>(argument));
    if (result != 0) {
        QString text = interrupt.messages().text();
        if (entry->failureText)
            text = entry->failureText(QLatin1String(m_chip->name));
        if (result != result::kTimeout)
            refreshImage(interrupt, false);
        throw Exchange(text.isEmpty() ? QStringLiteral("%1 failed").arg(name) : text, result);
    }
    // The set-mode command leaves no trace in the registers: the facts need to know it.
    if (m_chip->lastMode > 0 && entry->code == command::kSetMode)
        m_mode = argument;
    refreshImage(interrupt, false);
}

conversion::ConversionFacts Board::facts() const {
    return cli::FactsOf(*m_chip, m_image, m_mode, m_reference);
}

conversion::ConversionFacts Board::freshFacts(Interrupt &interrupt) {
    begin(interrupt);
    refreshImage(interrupt, true);
    return facts();
}

void Board::setReference(std::optional<double> volts) {
    if (volts) {
        if (const QString refused =
                cli::ReferenceRefusal(*m_chip, QStringLiteral("reference"), *volts);
            !refused.isEmpty())
            throw Value(refused);
    }
    m_reference = volts;
}

void Board::loadProfile(const QString &path, bool lenient, Interrupt &interrupt) {
    cli::ProfileToLoad profile = cli::ReadProfileToLoad(*m_chip, path, lenient);
    if (!profile.message.isEmpty())
        throw File(path, profile.message);
    if (profile.unclearKeys)
        profile.error.reason += QStringLiteral(" (lenient=True loads them as the window does)");
    if (profile.error.failed())
        throw File(profile.error.path, profile.error.reason);
    begin(interrupt);
    std::vector<uint8_t> written(profile.image.size(), 0);
    const int result = WriteRegisterRange(link(), profile.image.data(), written.data(),
                                          static_cast<int>(profile.image.size()), nullptr);
    const QString told = interrupt.messages().text();
    refreshImage(interrupt, false);
    if (result != 0)
        throw Exchange(told, result);
}

void Board::saveProfile(const QString &path, Interrupt &interrupt) {
    if (const platform::FileError error = cli::CheckProfileSave(path); error.failed())
        throw File(error.path, error.reason);
    begin(interrupt);
    refreshImage(interrupt, true);
    if (const platform::FileError error = cli::SaveProfileOf(*m_chip, path, m_image);
        error.failed())
        throw File(error.path, error.reason);
}

} // namespace pellorin_py
