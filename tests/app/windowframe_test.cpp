// The windows under a real X server and window manager, which adds the frame only after a window was
// first laid out.
#include "comparator/form2.h"
#include "support/form1fixture.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

namespace veltrik {
namespace {

class WindowFrame : public ::testing::Test {
protected:
    static inline QProcess *windowManager = nullptr;

    static void SetUpTestSuite()
    {
        if (QGuiApplication::platformName() != u"xcb" || QStandardPaths::findExecutable(u"openbox"_qs).isEmpty())
            return;
        windowManager = new QProcess;
        windowManager->start(u"openbox"_qs, {});
        windowManager->waitForStarted();
        QTest::qWait(500); // until it manages new windows
    }

    static void TearDownTestSuite()
    {
        if (!windowManager)
            return;
        windowManager->terminate();
        windowManager->waitForFinished();
        delete windowManager;
        windowManager = nullptr;
    }

    void SetUp() override
    {
        if (!windowManager)
            GTEST_SKIP() << "needs an X server and the window manager openbox";
    }

    // Shows the window and waits until the window manager has framed it.
    static void showFramed(QWidget &window)
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.frameGeometry().height() > window.height(); }, 5000));
        QTest::qWait(100);
    }

    static QList<QRect> controlGeometries(const QWidget &parent)
    {
        QList<QRect> all;
        for (const QWidget *control : parent.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            all << control->geometry();
        return all;
    }
};

TEST_F(WindowFrame, TheMainWindowsFirstLayoutCountsTheFrame)
{
    testing::Form1Fixture fixture;
    Form1 &form = *fixture.form;
    showFramed(form);
    const QList<QRect> shown = controlGeometries(*form.centralWidget());
    form.Form_Resize();
    EXPECT_EQ(controlGeometries(*form.centralWidget()), shown);
}

TEST_F(WindowFrame, TheComparatorsFirstLayoutCountsTheFrame)
{
    CompareTotals totals;
    testing::FakeDesktop desktop;
    Form2 form(totals, u"文章"_qs, desktop);
    showFramed(form);
    const QList<QRect> shown = controlGeometries(form);
    form.Form_Resize();
    EXPECT_EQ(controlGeometries(form), shown);
}

} // namespace
} // namespace veltrik
