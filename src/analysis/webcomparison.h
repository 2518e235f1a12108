#pragma once

#include "query.h"

#include <QObject>
#include <QString>

class QTimer;

namespace veltrik {

class Form1;

// The web comparison of the main window: the analysis, the compare that sends one piece, the list
// selection that ties the selected row to the position in the run, the start and stop of an automatic
// run and its pacing, the button states, and the scoring of every result page that arrives.
//
// Unlike a literal reading of the run's rules, it
// - sends one request per compare: a compare that runs a nested one (through the list selection) only
//   remembers its address, and the outermost compare navigates once, to the last address;
// - refreshes the buttons when the run state changes instead of polling;
// - lets a pacing tick that finds the browser busy wait without spinning: it resumes as soon as the
//   page's completion has been handled;
// - ignores pacing ticks while one of its message boxes is open;
// - starts the pacing interval afresh with every request, so that requests are a second apart at least;
// - takes a repeated piece's page off resultCount only when that page was counted;
// - does not score a security check page: the run waits until the user has passed the check, and the
//   next page that arrives is scored for the piece that was being compared; a start while a check is
//   shown sends that piece again rather than skipping it;
// - opens a link that asks for a new window (the report's rows, hits on a result page) in the user's
//   default browser.
class WebComparison : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebComparison)

public:
    explicit WebComparison(Form1 &form);

    void Command1_Click(); // 进行分析
    void Command2_Click(); // 手动对比
    void Command3_Click(); // 启动自动对比
    void Command4_Click(); // 停止自动对比！
    void List1_Click();
    void Timer2_Timer();
    void Command5_Click(); // 统计相似性网站
    void Command6_Click(); // 对比
    void WebBrowser1_DownloadBegin();
    void WebBrowser1_DownloadComplete();
    void WebBrowser1_NewWindow(const QString &address);
    void refreshButtonStates();

    // The engine whose menu item carries the check mark.
    SearchEngine chosenEngine() const;

private:
    void compare();
    bool showsCompareFailure();
    void enterCompactLayout();
    void markPieceInEditor(const QString &piece);
    void selectRow(int row);
    void continuePacing();
    void showSecurityCheck();
    void inform(const QString &text);

    Form1 &m_form;
    QTimer *m_pacing;
    int m_compareDepth = 0;
    QString m_pendingNavigation;
    QString m_pendingQuery;
    // The query of the last request sent, against which its page is read.
    QString m_sentQuery;
    bool m_tickWaiting = false;
    bool m_messageOpen = false;
    bool m_securityCheckShown = false;
};

} // namespace veltrik
