#include "webcomparison.h"

#include "app/appearance.h"
#include "app/form1.h"
#include "components/browserview.h"
#include "components/desktop.h"
#include "components/richeditor.h"
#include "components/twips.h"
#include "pagehtml.h"
#include "scoring.h"
#include "securitycheck.h"
#include "segmentation.h"
#include "sitereport.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

namespace veltrik {
namespace {

constexpr int kPacingIntervalMs = 1000;
constexpr double kCompactEditorHeight = 2400;
constexpr double kListHeight = 2400;
constexpr double kListWidth = 1100;

} // namespace

WebComparison::WebComparison(Form1 &form)
    : QObject(&form)
    , m_form(form)
    , m_pacing(new QTimer(this))
{
    connect(m_form.Command1, &QPushButton::clicked, this, &WebComparison::Command1_Click);
    connect(m_form.Command2, &QPushButton::clicked, this, &WebComparison::Command2_Click);
    connect(m_form.Command3, &QPushButton::clicked, this, &WebComparison::Command3_Click);
    connect(m_form.Command4, &QPushButton::clicked, this, &WebComparison::Command4_Click);
    connect(m_form.Command5, &QPushButton::clicked, this, &WebComparison::Command5_Click);
    connect(m_form.Command6, &QPushButton::clicked, this, &WebComparison::Command6_Click);
    connect(m_form.List1, &QListWidget::currentRowChanged, this, &WebComparison::List1_Click);
    connect(m_form.WebBrowser1, &BrowserView::downloadBegin, this, &WebComparison::WebBrowser1_DownloadBegin);
    connect(m_form.WebBrowser1, &BrowserView::downloadComplete, this,
            &WebComparison::WebBrowser1_DownloadComplete);
    connect(m_form.WebBrowser1, &BrowserView::newWindowRequested, this, &WebComparison::WebBrowser1_NewWindow);
    m_pacing->setObjectName(QStringLiteral("Timer2"));
    m_pacing->setInterval(kPacingIntervalMs);
    m_pacing->setTimerType(Qt::PreciseTimer);
    connect(m_pacing, &QTimer::timeout, this, &WebComparison::Timer2_Timer);
    m_pacing->start();
}

SearchEngine WebComparison::chosenEngine() const
{
    if (m_form.zhiwang->isChecked() || m_form.longyuan->isChecked())
        return SearchEngine::NoQueryForm;
    if (m_form.wenku->isChecked())
        return SearchEngine::Wenku;
    return SearchEngine::WebSearch;
}

void WebComparison::Command1_Click()
{
    m_form.List1->clear();
    m_form.Label2->setVisible(false);
    const ArticleAnalysis analysis = analyseArticle(m_form.RichTextBox1->text(), m_form.analysisOptions());
    m_form.Label1->setText(analysis.caption());
    // The status line is too narrow for the note after the caption, and the progress of the run replaces
    // the caption: the note stays at hand for the whole run.
    m_form.Label1->setToolTip(analysis.exclusionNote());
    m_form.state().startAnalysis(analysis.pieces, analysis.workText);
    m_form.RichTextBox1->setSelStart(0);
    {
        // Filling the list selects nothing: the first compare starts with row 0.
        const QSignalBlocker quiet(m_form.List1);
        m_form.List1->addItems(analysis.rows());
        m_form.List1->setCurrentRow(-1);
    }
    refreshButtonStates();
}

void WebComparison::Command2_Click()
{
    compare();
    refreshButtonStates();
}

void WebComparison::Command3_Click()
{
    AnalysisState &state = m_form.state();
    state.autoMode = 1;
    // The piece at the check has not been compared yet: the run starts with it again.
    if (m_securityCheckShown)
        state.curSentence = state.lastSentence;
    refreshButtonStates();
    compare();
    refreshButtonStates();
}

void WebComparison::Command4_Click()
{
    m_form.state().autoMode = 0;
    m_form.Command3->setVisible(true);
    m_form.Command4->setVisible(false);
    refreshButtonStates();
    // Nothing goes on by itself now: the status line says so.
    if (m_securityCheckShown)
        showSecurityCheck();
}

// The report is built afresh from the recorded items every time, on copies, so the slots stay as the
// scoring left them and every item counts once. It is written in one piece.
void WebComparison::Command5_Click()
{
    AnalysisState &state = m_form.state();
    m_form.WebBrowser1->write(siteReportHtml(similarSites(state.siteTitles, state.siteUrls)));
    state.tallyDue = 0;
}

void WebComparison::Command6_Click()
{
    m_form.openComparator();
}

void WebComparison::List1_Click()
{
    const int row = m_form.List1->currentRow();
    if (row < 0)
        return;
    AnalysisState &state = m_form.state();
    if (state.sentences && row < state.sentenceCount())
        m_form.List1->setToolTip(state.sentences->at(row));
    state.curSentence = row;
    if (state.listSync != 1)
        compare();
    state.listSync = 0;
}

// Sends the selected piece. Nested at most one level: the row selection at the end can run a compare
// for the next row, whose address then replaces this one's before anything is sent.
void WebComparison::compare()
{
    ++m_compareDepth;
    m_securityCheckShown = false;
    AnalysisState &state = m_form.state();
    state.pageHtml.clear();
    state.markedHtml.clear();
    state.pageText.clear();
    m_form.WebBrowser1->write(QString());
    if (state.listSync == 1)
        selectRow(0);
    m_form.Label2->setVisible(true);
    m_form.Command5->setEnabled(true);
    enterCompactLayout();
    state.tallyDue = 1;

    if (!showsCompareFailure()) {
        const QListWidgetItem *row = m_form.List1->currentItem();
        const QString query = buildQuery(row ? row->text() : QString());
        if (isEmptyQuery(query)) {
            if (state.curSentence != state.lastSentence) {
                state.lastSentence = state.curSentence;
                ++state.curSentence;
            }
        } else {
            if (const auto address = composeSearchUrl(chosenEngine(), m_form.services().endpoints, query))
                state.searchUrl = *address;
            m_pendingNavigation = state.searchUrl;
            m_pendingQuery = query;
            m_form.WebBrowser1->setVisible(true);
            if (state.autoMode != 1)
                m_form.Label1->setText(progressCaption(state.curSentence + 1, state.sentenceCount()));
            if (!state.workText.isEmpty())
                markPieceInEditor(state.sentences->at(state.curSentence));
            state.lastSentence = state.curSentence;
            ++state.curSentence;
            selectRow(state.lastSentence);
        }
    }

    if (--m_compareDepth == 0 && !m_pendingNavigation.isNull()) {
        m_sentQuery = m_pendingQuery;
        m_form.WebBrowser1->navigate(m_pendingNavigation);
        m_pendingNavigation = QString();
        // The next tick comes a full interval after this request, and a tick that was waiting for the
        // previous page has nothing left to wait for: at most one request a second.
        m_tickWaiting = false;
        m_pacing->start();
    }
}

// The empty editor and the end of the run end a compare with a message; true when one of them did.
bool WebComparison::showsCompareFailure()
{
    AnalysisState &state = m_form.state();
    if (m_form.RichTextBox1->text().isEmpty()) {
        inform(QStringLiteral("请先输入关键字"));
        state.autoMode = 0;
        setTwipsHeight(m_form.RichTextBox1, Form1::kEditorDesignHeight);
        setTwipsWidth(m_form.RichTextBox1, Form1::kEditorDesignWidth);
        m_form.List1->setVisible(false);
        return true;
    }
    if (!state.sentences || state.curSentence > state.sentenceCount() - 1) {
        inform(QStringLiteral("本次对比结束！"));
        Command4_Click();
        return true;
    }
    return false;
}

void WebComparison::enterCompactLayout()
{
    const double windowWidth = outerSizeInTwips(&m_form).width;
    setTwipsHeight(m_form.RichTextBox1, kCompactEditorHeight);
    setTwipsWidth(m_form.RichTextBox1, windowWidth - 1605);
    m_form.RichTextBox1->setSelColor(kPlainBlack);
    setTwipsHeight(m_form.List1, kListHeight);
    setTwipsLeft(m_form.List1, windowWidth - 1500);
    setTwipsWidth(m_form.List1, kListWidth);
    m_form.List1->setVisible(true);
}

// Every occurrence, left to right without overlap; the selection stays on the last one.
void WebComparison::markPieceInEditor(const QString &piece)
{
    if (piece.isEmpty())
        return;
    RichEditor &editor = *m_form.RichTextBox1;
    const QString text = editor.text();
    for (qsizetype at = text.indexOf(piece); at >= 0; at = text.indexOf(piece, at + piece.size())) {
        editor.setSelStart(int(at));
        editor.setSelLength(int(piece.size()));
        editor.setSelColor(kMarkRed);
    }
}

// Selecting a row from code runs the selection handling at once, and only when the row changes.
void WebComparison::selectRow(int row)
{
    if (row >= 0 && row < m_form.List1->count())
        m_form.List1->setCurrentRow(row);
}

void WebComparison::Timer2_Timer()
{
    // While a security check is shown, the user has to pass it first: nothing is sent or repeated.
    if (m_messageOpen || m_securityCheckShown)
        return;
    if (m_form.WebBrowser1->busy()) {
        m_tickWaiting = true;
        return;
    }
    continuePacing();
}

// The tick's work once the browser is idle: repeat a piece whose page did not fill the page fields, or
// send the next one.
void WebComparison::continuePacing()
{
    m_tickWaiting = false;
    AnalysisState &state = m_form.state();
    if (state.autoMode != 1)
        return;
    if (state.pageHtml.isEmpty() || state.markedHtml.isEmpty() || state.pageText.isEmpty()) {
        state.curSentence = state.lastSentence;
        // Take back the count of a page that was counted but is repeated; a page that never arrived
        // was not counted, and taking one off for it would inflate the overall figure.
        if (!state.pageHtml.isEmpty())
            --state.resultCount;
        m_form.Label1->setText(u"网络不给力，正在重新对比第 "_qs + QString::number(state.curSentence + 1) + u" 句"_qs);
    } else {
        m_form.Label1->setText(progressCaption(state.curSentence, state.sentenceCount()));
    }
    compare();
    refreshButtonStates();
}

void WebComparison::WebBrowser1_DownloadBegin()
{
    m_form.WebBrowser1->setSilent(true);
}

void WebComparison::WebBrowser1_DownloadComplete()
{
    if (!m_form.WebBrowser1->busy()) {
        const BrowserView &browser = *m_form.WebBrowser1;
        const ScoringOutcome outcome = scorePage(
            m_form.state(),
            {getPageHtml(browser, u"Body"_qs), getPageHtml(browser, u"Page"_qs), browser.url(), m_sentQuery});
        m_securityCheckShown = outcome.securityCheck;
        if (outcome.similarityCaption)
            m_form.Label2->setText(*outcome.similarityCaption);
        if (outcome.progressCaption)
            m_form.Label1->setText(*outcome.progressCaption);
    }
    m_form.WebBrowser1->setSilent(true);
    if (m_tickWaiting && !m_form.WebBrowser1->busy() && !m_messageOpen && !m_securityCheckShown)
        continuePacing();
}

// A link that asks for a new window opens in the user's default browser, as the product page does.
void WebComparison::WebBrowser1_NewWindow(const QString &address)
{
    Desktop &desktop = *m_form.services().desktop;
    if (!desktop.openAddress(address))
        desktop.alert(&m_form, QStringLiteral("调用浏览器错误！"), QStringLiteral("错误："));
}

void WebComparison::showSecurityCheck()
{
    const AnalysisState &state = m_form.state();
    m_form.Label1->setText(securityCheckCaption(state.curSentence, state.autoMode == 1));
}

void WebComparison::refreshButtonStates()
{
    const bool automatic = m_form.state().autoMode == 1;
    m_form.List1->setEnabled(!automatic);
    m_form.Command1->setEnabled(!automatic);
    m_form.Command2->setEnabled(!automatic);
    m_form.Command5->setEnabled(!automatic);
    m_form.Command5->setVisible(true);
    m_form.Command3->setVisible(!automatic);
    m_form.Command4->setVisible(automatic);
    m_form.Command6->setVisible(true);
    for (QMenu *menu : {m_form.wjcd, m_form.yinqing})
        menu->setEnabled(true);
    m_form.duibiqi->setEnabled(true);
}

void WebComparison::inform(const QString &text)
{
    m_messageOpen = true;
    m_form.services().desktop->inform(&m_form, text, Form1::kAppTitle);
    m_messageOpen = false;
}

} // namespace veltrik
