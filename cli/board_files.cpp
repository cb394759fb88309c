#include "board_files.h"

#include "capture/file_names.h"

namespace cli {

QStringList PerBoardArguments(const QStringList &arguments, const QStringList &fileOptions,
                              const QString &boardPart) {
    QStringList result = arguments;
    for (int i = 0; i < result.size(); ++i) {
        for (const QString &name : fileOptions) {
            // A value never begins with "--": the command's own check names that mistake.
            if (result[i] == name && i + 1 < result.size() &&
                !result[i + 1].startsWith(QLatin1String("--"))) {
                ++i;
                result[i] = capture::PerBoardPath(result[i], boardPart);
            } else if (result[i].startsWith(name + u'=')) {
                result[i] =
                    name + u'=' + capture::PerBoardPath(result[i].mid(name.size() + 1), boardPart);
            }
        }
    }
    return result;
}

} // namespace cli
