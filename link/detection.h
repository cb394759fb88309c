#pragma once
// Finding a board among the candidate ports: the link to the first that answers, or, when none
// does, every candidate tried and why each gave no board. Ports open through a link of this
// process are passed over, so a second board is found while the first is in use.

#include "board_link.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// A candidate that gave no board, and why: it could not be opened (cause), or its answer
// failed (result, the link's failure code).
struct PortRefusal {
    QString path;
    int result = 0;
    QString cause;
};

struct Detection {
    std::unique_ptr<BoardLink> link; // open, its chip id set; null when none answered
    int number = -1;                 // the link's place (1-based) among the candidates
    QStringList candidates;
    std::vector<PortRefusal> refused;
};

// Walks the candidates; the first whose probe returns 0 is kept open. stop (may be empty) ends
// the walk between ports.
Detection ScanPorts(const QStringList &candidates, const std::function<int(BoardLink &)> &probe,
                    const std::function<bool()> &stop = {});

// "Detect EVM": the handshake for chipId on each candidate of search, commands 240 then 10 with
// SendCommand (so a failure status is told, through sink when given). No "Can't find" here:
// whoever shows the result says it.
Detection DetectEvm(const PortSearch &search, int chipId, platform::MessageHandler sink = {});

// A board found by asking each candidate for each chip the program knows.
struct FoundBoard {
    QString path;
    int chipId = 0;
};
// Every board among the candidates, whatever its chip (the first chip that answers on a port);
// no message. Ports in use are passed over.
std::vector<FoundBoard> FindBoards(const QStringList &candidates,
                                   const std::function<bool()> &stop = {});
