// A process that runs a check the way the window does, committing each piece's result to a check file,
// for the test that kills it in the middle of the run. Usage: checkrun_child CHECKFILE PIECES PAUSE_MS
// It prints "committed N" once the result of piece N is in the file, and ends after the last piece.

#include "analysis/checkstore.h"
#include "support/resultpages.h"
#include "support/windowlessrun.h"

#include <QThread>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc != 4)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int pieces = std::atoi(argv[2]);
    const int pauseMs = std::atoi(argv[3]);

    veltrik::testing::WindowlessRun r(u"甲"_qs.repeated(38 * pieces));
    veltrik::CheckStore store;
    r.pieceChanged = [&](int piece) {
        if (!store.commitPiece(r.run.results(), piece).isEmpty())
            std::exit(3);
        std::printf("committed %d\n", piece);
        std::fflush(stdout);
    };
    r.run.analyse();
    if (!store.create(path, r.run.results()).isEmpty())
        return 3;
    r.run.start();
    for (int piece = 0; piece < pieces; ++piece) {
        r.arrive(veltrik::testing::resultPage(100 + piece % 300));
        QThread::msleep(pauseMs);
        r.run.pacingTick();
    }
    return 0;
}
