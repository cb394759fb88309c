#pragma once
// The inputs a scan visits, as pairs of the chip's input numbers, and the sets a user picks
// from: single-ended (each input against the common one), differential pairs, or any pair the
// multiplexer can select. Names and MUX bytes come from the chip's MuxLayout. No widgets.

#include "chips/common/mux_layout.h"

#include <QString>

#include <vector>

namespace scan {

using panel_common::MuxLayout;

struct ScanInput {
    int positive = 0;
    int negative = 0;
    bool operator==(const ScanInput &) const = default;
};

// Every input but the common one, each against it; empty for a chip without a common input.
std::vector<ScanInput> SingleEndedInputs(const MuxLayout &layout);
// The inputs but the common one two by two, in order: AIN0-AIN1, AIN2-AIN3 ...
std::vector<ScanInput> PairInputs(const MuxLayout &layout);
// Every pair the multiplexer selects (AIN+ and AIN- differ), by AIN+ and then AIN-.
std::vector<ScanInput> InputChoices(const MuxLayout &layout);

// "AIN0-AINCOM": the names of AIN+ and AIN-, as the command line takes them.
QString InputLabel(const MuxLayout &layout, ScanInput input);

// Reads "P-N[,P-N...]" in the chip's input names, any letter case. False, with the reason in
// error, for an unknown name, a pair of one input, or an empty list.
bool ParseInputList(const MuxLayout &layout, const QString &text, std::vector<ScanInput> &inputs,
                    QString &error);

} // namespace scan
