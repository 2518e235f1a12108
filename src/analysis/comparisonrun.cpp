#include "comparisonrun.h"

#include "scoring.h"
#include "segmentation.h"
#include "sitereport.h"

#include <algorithm>
#include <utility>

namespace veltrik {

ComparisonRun::ComparisonRun(RunListener &listener, Endpoints endpoints)
    : m_listener(listener)
    , m_endpoints(std::move(endpoints))
{
}

void ComparisonRun::analyse(const AnalysisOptions &options)
{
    const ArticleAnalysis analysis = analyseArticle(m_listener.articleText(), options);
    m_state.startAnalysis(analysis.pieces, analysis.workText);
    m_results = CheckResults{};
    m_results.articleName = m_listener.articleFileName();
    m_results.article = m_listener.articleText();
    m_results.pieces = analysis.pieces;
    m_results.engine = m_listener.chosenEngine();
    m_results.results = QList<PieceResult>(analysis.pieces.size());
    m_results.similaritySum = m_state.similaritySum;
    m_results.resultCount = m_state.resultCount;
    m_results.started = QDateTime::currentDateTimeUtc();
    m_results.lastChange = m_results.started;
    m_results.options = analysis.options;
    m_results.excluded = analysis.excluded;
    m_selectedRow = -1;
    m_listener.showAnalysis(analysis.rows(), analysis.exclusionNote());
    m_listener.showStatus(analysis.caption());
    m_listener.showRunState(m_state.autoMode);
}

void ComparisonRun::compare()
{
    compareSelectedRow();
    m_listener.showRunState(m_state.autoMode);
}

void ComparisonRun::start()
{
    m_state.autoMode = true;
    // The piece at the check has not been compared yet: the run starts with it again.
    if (m_securityCheckShown)
        m_state.curSentence = m_state.lastSentence;
    m_listener.showRunState(true);
    compareSelectedRow();
    m_listener.showRunState(m_state.autoMode);
}

void ComparisonRun::stop()
{
    m_state.autoMode = false;
    m_listener.showRunState(false);
    // Nothing goes on by itself now: the status line says so.
    if (m_securityCheckShown)
        showSecurityCheck();
}

void ComparisonRun::rowClicked(int row)
{
    if (row >= 0 && row < m_state.sentenceCount())
        rowSelected(row);
}

// The report is built afresh from the recorded items every time, on copies, so the slots stay as the
// scoring left them and every item counts once.
QString ComparisonRun::siteReport() const
{
    return siteReportHtml(similarSites(m_state.siteTitles, m_state.siteUrls));
}

// Sends the selected piece. Nested at most one level: the row selection at the end can run a compare
// for the next row, whose address then replaces this one's before anything is sent.
void ComparisonRun::compareSelectedRow()
{
    ++m_compareDepth;
    m_securityCheckShown = false;
    m_state.pageHtml.clear();
    m_state.markedHtml.clear();
    m_state.pageText.clear();
    if (m_state.listSync)
        selectRow(0);
    m_listener.showComparing();
    if (!endsCompare())
        sendSelectedRow();

    if (--m_compareDepth == 0 && !m_pendingAddress.isNull()) {
        m_sentQuery = m_pendingQuery;
        m_skipLoadingPage = false;
        m_listener.send(m_pendingAddress);
        m_pendingAddress = QString();
        // The next tick comes a full interval after this request, and a tick that was waiting for the
        // previous page has nothing left to wait for: at most one request a second.
        m_tickWaiting = false;
        m_listener.restartPacing();
    }
}

// The empty editor and the end of the run end a compare with a message; true when one of them did.
bool ComparisonRun::endsCompare()
{
    if (m_listener.articleText().isEmpty()) {
        inform(QStringLiteral("请先输入关键字"));
        m_state.autoMode = false;
        m_listener.showEditorAlone();
        return true;
    }
    if (!m_state.sentences || m_state.curSentence > m_state.sentenceCount() - 1) {
        inform(QStringLiteral("本次对比结束！"));
        stop();
        return true;
    }
    return false;
}

void ComparisonRun::sendSelectedRow()
{
    const bool rowSelected = m_selectedRow >= 0 && m_selectedRow < m_state.sentenceCount();
    const QString rowText = rowSelected ? listRowText(m_selectedRow, m_state.sentences->at(m_selectedRow)) : QString();
    const QString query = buildQuery(rowText);
    if (isEmptyQuery(query)) {
        if (m_state.curSentence != m_state.lastSentence) {
            m_state.lastSentence = m_state.curSentence;
            ++m_state.curSentence;
        }
        return;
    }
    if (const auto address = composeSearchUrl(m_listener.chosenEngine(), m_endpoints, query))
        m_state.searchUrl = *address;
    m_pendingAddress = m_state.searchUrl;
    m_pendingQuery = query;
    if (!m_state.autoMode)
        m_listener.showStatus(progressCaption(m_state.curSentence + 1, m_state.sentenceCount()));
    if (!m_state.workText.isEmpty())
        m_listener.markPiece(m_state.sentences->at(m_state.curSentence));
    m_state.lastSentence = m_state.curSentence;
    ++m_state.curSentence;
    selectRow(m_state.lastSentence);
}

// Selecting a row from the run handles the selection at once, and only when the row changes.
void ComparisonRun::selectRow(int row)
{
    if (row != m_selectedRow && row >= 0 && row < m_state.sentenceCount())
        rowSelected(row);
}

void ComparisonRun::rowSelected(int row)
{
    m_selectedRow = row;
    m_listener.showSelectedRow(row, m_state.sentences->at(row));
    m_state.curSentence = row;
    if (!m_state.listSync)
        compareSelectedRow();
    m_state.listSync = false;
}

void ComparisonRun::pacingTick()
{
    // While a security check is shown, the user has to pass it first: nothing is sent or repeated.
    if (m_messageOpen || m_securityCheckShown)
        return;
    if (m_listener.pageLoading()) {
        m_tickWaiting = true;
        return;
    }
    continuePacing();
}

// The tick's work once no page is loading: repeat a piece whose page did not fill the page fields, or
// send the next one.
void ComparisonRun::continuePacing()
{
    m_tickWaiting = false;
    if (!m_state.autoMode)
        return;
    if (m_state.pageHtml.isEmpty() || m_state.markedHtml.isEmpty() || m_state.pageText.isEmpty()) {
        m_state.curSentence = m_state.lastSentence;
        // Take back the count of a page that was counted but is repeated; a page that never arrived
        // was not counted, and taking one off for it would inflate the overall figure.
        if (!m_state.pageHtml.isEmpty())
            --m_state.resultCount;
        recordPieceState(m_state.curSentence, PieceState::Repeated);
        m_listener.showStatus(u"网络不给力，正在重新对比第 "_qs + QString::number(m_state.curSentence + 1) + u" 句"_qs);
    } else {
        m_listener.showStatus(progressCaption(m_state.curSentence, m_state.sentenceCount()));
    }
    compareSelectedRow();
    m_listener.showRunState(m_state.autoMode);
}

void ComparisonRun::pageArrived(ResultPage page)
{
    // The page requested before a check was taken up belongs to another article.
    if (std::exchange(m_skipLoadingPage, false))
        return;
    page.query = m_sentQuery;
    const ScoringOutcome outcome = scorePage(m_state, page);
    m_securityCheckShown = outcome.securityCheck;
    if (outcome.pieceScore)
        recordScore(*outcome.pieceScore);
    else if (outcome.securityCheck)
        recordPieceState(m_state.curSentence - 1, PieceState::WaitingForCheck);
    if (outcome.similarityCaption)
        m_listener.showFigures(*outcome.similarityCaption);
    if (outcome.progressCaption)
        m_listener.showStatus(*outcome.progressCaption);
    if (m_tickWaiting && !m_messageOpen && !m_securityCheckShown)
        continuePacing();
}

void ComparisonRun::restore(const CheckResults &check)
{
    m_state.startAnalysis(check.pieces, analyseArticle(check.article, check.options).workText);
    for (qsizetype piece = 0; piece < check.results.size(); ++piece) {
        const QList<ResultItem> &items = check.results[piece].items;
        for (qsizetype k = 0; k < items.size() && k < AnalysisState::kSlotsPerSentence; ++k) {
            m_state.siteTitles[piece * AnalysisState::kSlotsPerSentence + k] = items[k].title;
            m_state.siteUrls[piece * AnalysisState::kSlotsPerSentence + k] = items[k].url;
        }
    }
    m_state.similaritySum = check.similaritySum;
    m_state.resultCount = check.resultCount;
    m_state.curSentence = check.position;
    m_state.lastSentence = std::max(check.position - 1, 0);
    // The position is taken as it is: the first compare does not go back to the first row.
    m_state.listSync = false;
    m_results = check;
    m_selectedRow = -1;
    m_securityCheckShown = false;
    m_pendingAddress = QString();
    m_skipLoadingPage = m_listener.pageLoading();
    m_tickWaiting = false;

    QStringList rows;
    for (qsizetype piece = 0; piece < check.pieces.size(); ++piece)
        rows << listRowText(piece, check.pieces[piece]);
    m_listener.showAnalysis(rows, QString());
    if (check.position < check.pieces.size()) {
        m_selectedRow = check.position;
        m_listener.showSelectedRow(check.position, check.pieces[check.position]);
    }
    m_listener.showStatus(progressCaption(check.position, check.pieces.size()));
    const bool lastCompared = check.position > 0 && check.position <= check.results.size() &&
                              check.results[check.position - 1].state == PieceState::Compared;
    const double pieceFigure = lastCompared ? check.results[check.position - 1].similarity : 0;
    if (const auto figures = figuresCaption(pieceFigure, check.similaritySum, check.resultCount))
        m_listener.showFigures(*figures);
    m_listener.showRunState(false);
}

// The page's figure and items become the piece's result; the next compare sends the piece after it.
void ComparisonRun::recordScore(const PieceScore &score)
{
    if (score.piece >= m_results.results.size())
        return;
    m_results.results[score.piece] = PieceResult{PieceState::Compared, score.similarity, score.items};
    m_results.position = m_state.curSentence;
    recordChange(score.piece);
}

// A piece whose page has still to come: the run goes on with it.
void ComparisonRun::recordPieceState(int piece, PieceState state)
{
    if (piece < 0 || piece >= m_results.results.size())
        return;
    m_results.results[piece].state = state;
    m_results.position = piece;
    recordChange(piece);
}

void ComparisonRun::recordChange(int piece)
{
    m_results.similaritySum = m_state.similaritySum;
    m_results.resultCount = m_state.resultCount;
    m_results.lastChange = QDateTime::currentDateTimeUtc();
    m_listener.pieceResultChanged(piece);
}

void ComparisonRun::showSecurityCheck()
{
    m_listener.showStatus(securityCheckCaption(m_state.curSentence, m_state.autoMode));
}

void ComparisonRun::inform(const QString &text)
{
    m_messageOpen = true;
    m_listener.inform(text);
    m_messageOpen = false;
}

} // namespace veltrik
