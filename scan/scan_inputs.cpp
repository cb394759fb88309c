#include "scan_inputs.h"

#include <QStringList>

namespace scan {

std::vector<ScanInput> SingleEndedInputs(const MuxLayout &layout) {
    std::vector<ScanInput> inputs;
    if (layout.commonInput < 0)
        return inputs;
    for (int input = 0; input < layout.inputCount; ++input) {
        if (input != layout.commonInput)
            inputs.push_back({input, layout.commonInput});
    }
    return inputs;
}

std::vector<ScanInput> PairInputs(const MuxLayout &layout) {
    std::vector<int> plain;
    for (int input = 0; input < layout.inputCount; ++input) {
        if (input != layout.commonInput)
            plain.push_back(input);
    }
    std::vector<ScanInput> pairs;
    for (size_t i = 0; i + 1 < plain.size(); i += 2)
        pairs.push_back({plain[i], plain[i + 1]});
    return pairs;
}

std::vector<ScanInput> InputChoices(const MuxLayout &layout) {
    std::vector<ScanInput> choices;
    for (int positive = 0; positive < layout.inputCount; ++positive) {
        for (int negative = 0; negative < layout.inputCount; ++negative) {
            if (panel_common::IsInputPair(layout, positive, negative))
                choices.push_back({positive, negative});
        }
    }
    return choices;
}

QString InputLabel(const MuxLayout &layout, ScanInput input) {
    return panel_common::InputName(layout, input.positive) + u'-' +
           panel_common::InputName(layout, input.negative);
}

bool ParseInputList(const MuxLayout &layout, const QString &text, std::vector<ScanInput> &inputs,
                    QString &error) {
    inputs.clear();
    if (text.trimmed().isEmpty()) {
        error = QStringLiteral("no input pair given");
        return false;
    }
    for (const QString &item : text.split(u',')) {
        const QStringList names = item.trimmed().split(u'-');
        if (names.size() != 2) {
            error = QStringLiteral("\"%1\" is not an input pair P-N").arg(item.trimmed());
            return false;
        }
        ScanInput input;
        input.positive = panel_common::FindInput(layout, names[0].trimmed());
        input.negative = panel_common::FindInput(layout, names[1].trimmed());
        for (int i = 0; i < 2; ++i) {
            if ((i == 0 ? input.positive : input.negative) < 0) {
                error = QStringLiteral("\"%1\" is not an input of this chip").arg(names[i]);
                return false;
            }
        }
        if (!panel_common::IsInputPair(layout, input.positive, input.negative)) {
            error = QStringLiteral("AIN+ and AIN- cannot select the same channel in \"%1\"")
                        .arg(item.trimmed());
            return false;
        }
        inputs.push_back(input);
    }
    return true;
}

} // namespace scan
