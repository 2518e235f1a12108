#include "analysis/checkstore.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

// A run killed while it goes on: the check file holds every result the run had committed, so at most the
// piece whose page was in flight is lost, and the file opens as a sound check.
TEST(CheckCrash, AKilledRunLosesAtMostThePieceInFlight)
{
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"auto.vcheck"_qs);
    constexpr int kPieces = 400;
    for (const int killAfter : {1, 37, 120}) {
        SCOPED_TRACE(killAfter);
        QProcess child;
        child.start(QStringLiteral(CHECKRUN_CHILD), {path, QString::number(kPieces), u"2"_qs});
        ASSERT_TRUE(child.waitForStarted());
        int committed = 0;
        while (committed < killAfter && child.waitForReadyRead(10000)) {
            while (child.canReadLine())
                if (child.readLine().startsWith("committed "))
                    ++committed;
        }
        child.kill();
        child.waitForFinished();
        while (child.canReadLine())
            if (child.readLine().startsWith("committed "))
                ++committed;
        ASSERT_GE(committed, killAfter);
        ASSERT_LT(committed, kPieces) << "the run ended before it was killed";

        const CheckFileRead read = readCheckFile(path);
        ASSERT_TRUE(read.check) << read.message.toStdString();
        const CheckResults &check = *read.check;
        int compared = 0;
        double sum = 0;
        for (const PieceResult &result : check.results) {
            if (result.state == PieceState::Compared) {
                ++compared;
                sum += result.similarity;
            }
        }
        // Every result the child reported is in the file; one more may have been committed unreported.
        EXPECT_GE(compared, committed);
        EXPECT_LE(compared, committed + 1);
        EXPECT_EQ(check.position, compared);
        EXPECT_DOUBLE_EQ(check.similaritySum, sum);
    }
}

} // namespace
} // namespace veltrik
