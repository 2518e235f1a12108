#pragma once

#include "analysisstate.h"
#include "checkresults.h"
#include "exclusions.h"
#include "query.h"
#include "securitycheck.h"

#include <QString>
#include <QStringList>

namespace veltrik {

// What a comparison run needs from the window that shows it, and what it tells that window. The main
// window binds it to its widgets; the command line answers it from files.
class RunListener {
public:
    // The article as the editor holds it now (plain text, CR LF between paragraphs).
    virtual QString articleText() const = 0;
    // The name of the file last opened into the editor or saved from it, for the check and its report;
    // empty when there is none (the editor cleared, or nothing opened yet).
    virtual QString articleFileName() const { return {}; }
    // The engine whose menu item carries the check mark.
    virtual SearchEngine chosenEngine() const = 0;
    // True while a requested page is still loading.
    virtual bool pageLoading() const = 0;

    // An analysis: the list shows these rows, none selected; the similarity label is hidden. The note
    // says what the analysis left out and why (empty when nothing was to be left out).
    virtual void showAnalysis(const QStringList &rows, const QString &exclusionNote) = 0;
    // Row `row` of the list is the selected one; `piece` is its whole text, for the list's tooltip.
    virtual void showSelectedRow(int row, const QString &piece) = 0;
    // A compare begins: the result page is blanked, the similarity label shown, the editor made compact
    // beside the list, and the previous piece's red selection turned black.
    virtual void showComparing() = 0;
    // The editor is empty: it returns to its design size and the list is hidden.
    virtual void showEditorAlone() = 0;
    // Every occurrence of the piece in the editor is coloured red.
    virtual void markPiece(const QString &piece) = 0;
    virtual void showStatus(const QString &text) = 0;  // the status line
    virtual void showFigures(const QString &text) = 0; // the similarity label
    // The buttons, the list and the menus for a manual or an automatic run.
    virtual void showRunState(bool automatic) = 0;
    // A message box that the user closes; the run waits for it.
    virtual void inform(const QString &text) = 0;
    // Loads the search address in the result view.
    virtual void send(const QString &address) = 0;
    // The pacing interval starts afresh: the next tick comes a full interval from now.
    virtual void restartPacing() = 0;
    // The result of piece `piece` (0-based) in the run's results changed, and with it the overall figures.
    virtual void pieceResultChanged(int piece) = 0;

protected:
    ~RunListener() = default;
};

// The web comparison of one article: the analysis, the compare that sends one piece, the row selection
// that ties the selected row to the position in the run, the start and stop of an automatic run and its
// pacing, and the scoring of every result page that arrives. It owns the analysis state; its listener
// shows what it decides and sends what it asks for. It never waits: the listener's timer calls
// pacingTick(), and a tick that finds a page loading resumes when that page has arrived.
//
// Beyond the run's plain rules it
// - sends one request per compare: a compare that runs a nested one (through the row selection) only
//   remembers its address, and the outermost compare sends once, the last address;
// - ignores pacing ticks while one of its message boxes is open;
// - restarts the pacing interval with every request, so that requests are a second apart at least;
// - takes a repeated piece's page off resultCount only when that page was counted;
// - does not score a security check page: the run waits until the user has passed the check, and the
//   next page that arrives is scored for the piece that was being compared; a start while a check is
//   shown sends that piece again rather than skipping it.
class ComparisonRun {
public:
    ComparisonRun(RunListener &listener, Endpoints endpoints);

    const AnalysisState &state() const { return m_state; }
    // Every piece's state, figure and items, and the overall figures, of the last analysis or restored check.
    const CheckResults &results() const { return m_results; }
    // The last page was a security check that the user has not passed yet.
    bool securityCheckShown() const { return m_securityCheckShown; }

    void analyse(const AnalysisOptions &options = {}); // 进行分析
    void compare();                                    // 手动对比
    void start();                                      // 启动自动对比
    void stop();                                       // 停止自动对比！
    void rowClicked(int row);                          // the user selected a list row
    void pacingTick();                                 // one tick of the pacing timer
    // Takes up a saved check where it was left: its pieces are listed, its figures shown, and the next
    // compare sends the piece its position names. The check's article is taken to stand in the editor.
    void restore(const CheckResults &check);
    // The page of the last request has loaded (a failed load arrives with empty HTML). The page's query
    // is taken to be the last one sent.
    void pageArrived(ResultPage page);
    // The similar-site report over every item recorded so far.
    QString siteReport() const;

private:
    void compareSelectedRow();
    bool endsCompare();
    void sendSelectedRow();
    void selectRow(int row);
    void rowSelected(int row);
    void continuePacing();
    void showSecurityCheck();
    void inform(const QString &text);
    void recordScore(const PieceScore &score);
    void recordPieceState(int piece, PieceState state);
    void recordChange(int piece);

    RunListener &m_listener;
    Endpoints m_endpoints;
    AnalysisState m_state;
    CheckResults m_results;
    // The selected list row; -1 when none is.
    int m_selectedRow = -1;
    // How many compares are running, the nested one included.
    int m_compareDepth = 0;
    // The address and query the outermost compare sends when it ends; a null address sends nothing.
    QString m_pendingAddress;
    QString m_pendingQuery;
    // The query of the last request sent, against which its page is read.
    QString m_sentQuery;
    // A check was taken up while a page was loading: that page is not scored when it arrives.
    bool m_skipLoadingPage = false;
    // A tick found the page loading and resumes once it has arrived.
    bool m_tickWaiting = false;
    // One of the run's message boxes is open.
    bool m_messageOpen = false;
    // The last page was a security check that the user has not passed yet.
    bool m_securityCheckShown = false;
};

} // namespace veltrik
