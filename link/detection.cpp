#include "detection.h"

#include "chip_catalog.h"
#include "frames.h"
#include "protocol.h"
#include "result_codes.h"

Detection ScanPorts(const QStringList &candidates, const std::function<int(BoardLink &)> &probe,
                    const std::function<bool()> &stop) {
    Detection detection;
    detection.candidates = candidates;
    for (int n = 1; n <= candidates.size(); ++n) {
        if (stop && stop())
            break;
        const QString &path = candidates.at(n - 1);
        QString problem;
        std::unique_ptr<BoardLink> link = BoardLink::open(path, &problem);
        if (!link) {
            detection.refused.push_back({path, result::kNoPort, problem});
            continue;
        }
        const int status = probe(*link);
        if (status == result::kOk) {
            detection.link = std::move(link);
            detection.number = n;
            return detection;
        }
        detection.refused.push_back({path, status, QString()});
    }
    return detection;
}

Detection DetectEvm(const PortSearch &search, int chipId, platform::MessageHandler sink) {
    return ScanPorts(PortCandidates(search), [chipId, &sink](BoardLink &link) {
        link.setChipId(chipId);
        link.setMessageSink(sink);
        int status = SendCommand(link, command::kDetectFirst, 0);
        // The second probe is not sent when the first fails.
        if (status == result::kOk)
            status = SendCommand(link, command::kDetectSecond, 0);
        return status;
    });
}

std::vector<FoundBoard> FindBoards(const QStringList &candidates,
                                   const std::function<bool()> &stop) {
    std::vector<FoundBoard> found;
    for (const QString &path : candidates) {
        if (stop && stop())
            break;
        std::unique_ptr<BoardLink> link = BoardLink::open(path);
        if (!link)
            continue;
        for (const ChipCatalogEntry *chip = g_chipCatalog; chip->valid != -1; ++chip) {
            const int status = ProbeChip(*link, chip->chipId);
            if (status == result::kOk) {
                found.push_back({path, chip->chipId});
                break;
            }
            if (status != result::kBadReply)
                break; // no board answers there at all
        }
    }
    return found;
}
