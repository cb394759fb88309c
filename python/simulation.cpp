// The virtual board as a script starts it: chip, signal and pace by name.

#include "simulation.h"

#include "errors.h"

#include "simulate/simulated_board.h"

namespace pellorin_py {

sim::Pacing PacingOf(const QString &pace) {
    sim::Pacing pacing = sim::Pacing::Real;
    if (!pace.isEmpty() && !sim::ParsePacing(pace.toStdString(), pacing))
        throw Value(
            QStringLiteral("pace takes \"none\", \"wire\" or \"real\", not \"%1\"").arg(pace));
    return pacing;
}

std::vector<std::unique_ptr<sim::VirtualBoard>>
StartVirtualBoards(const QStringList &chipNames, const QString &signal, const QString &pace) {
    for (const QString &chipName : chipNames) {
        sim::Chip chip;
        if (!sim::ParseChip(chipName.toStdString(), chip))
            throw Value(
                QStringLiteral("no virtual board for %1 (VXC5480 or VXC5420)").arg(chipName));
    }
    double hz = 0, volts = 0;
    bool counting = false;
    if (signal.startsWith(QLatin1String("sine:"))) {
        if (!sim::ParseSine(signal.mid(5).toStdString(), hz, volts))
            throw Value(QStringLiteral("signal \"%1\": sine:HZ:VOLTS, a frequency above 0 and an "
                                       "amplitude of 0 or more")
                            .arg(signal));
    } else if (signal == QLatin1String("count")) {
        counting = true;
    } else if (!signal.isEmpty()) {
        throw Value(
            QStringLiteral("signal takes \"sine:HZ:VOLTS\" or \"count\", not \"%1\"").arg(signal));
    }
    const sim::Pacing pacing = PacingOf(pace);
    if (chipNames.isEmpty())
        return {};
    std::vector<std::unique_ptr<sim::VirtualBoard>> boards =
        StartSimulatedBoards(chipNames, pacing, hz, volts);
    if (boards.empty())
        throw NoBoard(QStringLiteral("the virtual board could not open a pseudo-terminal"));
    if (counting) {
        for (size_t i = 0; i < boards.size(); ++i) {
            sim::SignalModel model = sim::BoardSignal(boards[i]->chip(), static_cast<int>(i + 1));
            model.counting = true;
            boards[i]->setSignal(model);
        }
    }
    return boards;
}

std::unique_ptr<sim::VirtualBoard> StartVirtualBoard(const QString &chipName, const QString &signal,
                                                     const QString &pace) {
    return std::move(StartVirtualBoards({chipName}, signal, pace).front());
}

} // namespace pellorin_py
