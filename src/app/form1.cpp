#include "form1.h"

#include "analysis/pagehtml.h"
#include "analysisoptionsdialog.h"
#include "appearance/appearance.h"
#include "checkkeeper.h"
#include "comparator/form2.h"
#include "components/browserview.h"
#include "components/desktop.h"
#include "components/outersizewatch.h"
#include "components/richeditor.h"
#include "components/taborder.h"
#include "components/twips.h"
#include "documents/documentfiles.h"
#include "editing/editcommands.h"
#include "engine/enginemenu.h"
#include "library/librarymenu.h"
#include "resultswindow.h"
#include "welcometext.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTimer>

namespace veltrik {
namespace {

// Design client area, in twips.
constexpr double kClientWidth = 10425;
constexpr double kClientHeight = 7290;

constexpr int kPacingIntervalMs = 1000;
// The compact layout of a compare, in twips.
constexpr double kCompactEditorHeight = 2400;
constexpr double kListHeight = 2400;
constexpr double kListWidth = 1100;

} // namespace

Form1::Form1(Form1Services services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(std::move(services))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);
    setWindowIcon(mainWindowIcon());
    setupControls();
    setupMenus();
    setupTabOrder();
    setDesignSize();
    new OuterSizeWatch(*this, [this] { Form_Resize(); });
    connectRun();
    m_engineMenu = new EngineMenu(*this, m_ui.engine, *m_services.desktop, m_services.endpoints.productPageUrl(),
                                  [this] { openComparator(); });
    connectDocumentCommands();
    connectChecks();
    Form_Load();
}

// The run goes before the controls do: nothing they raise while they are taken down may reach it.
Form1::~Form1()
{
    for (QObject *source : std::initializer_list<QObject *>{m_ui.List1, m_ui.WebBrowser1, m_pacing})
        source->blockSignals(true);
}

void Form1::setupControls()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);

    m_ui.WebBrowser1 = m_services.makeBrowser(client);
    m_ui.WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    setTwipsGeometry(m_ui.WebBrowser1, 135, 1125, 10140, 5100);

    m_ui.RichTextBox1 = new RichEditor(client);
    m_ui.RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    m_ui.RichTextBox1->setFont(songTiFont(9.75));
    setTwipsGeometry(m_ui.RichTextBox1, 135, 45, kEditorDesignWidth, kEditorDesignHeight);
    QTextDocument welcome;
    writeWelcomeText(welcome);
    m_ui.RichTextBox1->setDocumentContent(welcome);

    m_ui.WebBrowser2 = m_services.makeBrowser(client);
    m_ui.WebBrowser2->setObjectName(QStringLiteral("WebBrowser2"));
    setTwipsGeometry(m_ui.WebBrowser2, 9540, 6210, 690, 510);

    m_ui.List1 = new QListWidget(client);
    m_ui.List1->setObjectName(QStringLiteral("List1"));
    setTwipsGeometry(m_ui.List1, 9180, 45, 1095, 2760);
    m_ui.List1->hide();

    setupLabels();
    setupButtons();
}

void Form1::setupLabels()
{
    m_ui.Label1 = new QLabel(QStringLiteral("请点击“分析”开始解析论文！"), centralWidget());
    m_ui.Label1->setObjectName(QStringLiteral("Label1"));
    m_ui.Label1->setFont(songTiFont(10.5));
    // At the top of the label: its lower part lies behind the buttons below it.
    m_ui.Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(m_ui.Label1, kMarkRed);
    setTwipsGeometry(m_ui.Label1, 225, 6345, 8385, 420);

    m_ui.Label2 = new QLabel(centralWidget());
    m_ui.Label2->setObjectName(QStringLiteral("Label2"));
    m_ui.Label2->setFont(songTiFont(10.5));
    m_ui.Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(m_ui.Label2, kFigureBlue);
    setTwipsGeometry(m_ui.Label2, 5265, 6345, 4605, 780);
    // The piece's figure, an empty line and the overall figure.
    fitHeightToLines(m_ui.Label2, 3);
}

QPushButton *Form1::addButton(const QString &name, const QString &caption, QRect twips)
{
    auto *button = new QPushButton(caption, centralWidget());
    button->setObjectName(name);
    setTwipsGeometry(button, twips.x(), twips.y(), twips.width(), twips.height());
    return button;
}

void Form1::setupButtons()
{
    m_ui.Command1 = addButton(QStringLiteral("Command1"), QStringLiteral("进行分析"), {270, 6750, 2130, 420});
    m_ui.Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("手动对比"), {2970, 6750, 2130, 420});
    m_ui.Command3 = addButton(QStringLiteral("Command3"), QStringLiteral("启动自动对比"), {8145, 6750, 2130, 420});
    m_ui.Command4 = addButton(QStringLiteral("Command4"), QStringLiteral("停止自动对比！"), {8145, 6750, 2130, 420});
    m_ui.Command5 = addButton(QStringLiteral("Command5"), QStringLiteral("统计相似性网站"), {8145, 6345, 1545, 285});
    m_ui.Command6 = addButton(QStringLiteral("Command6"), QStringLiteral("对比"), {9765, 6345, 510, 285});
    m_ui.Command3->installEventFilter(this);
    m_ui.Command4->installEventFilter(this);
}

QAction *Form1::addMenuItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

void Form1::setupMenus()
{
    setupFileMenu();
    setupEditMenu();
    setupEngineMenu();
    m_ui.engine.duibiqi = menuBar()->addAction(QStringLiteral("对比器"));
    m_ui.engine.duibiqi->setObjectName(QStringLiteral("duibiqi"));
    m_jieguo = menuBar()->addAction(QStringLiteral("检测结果"));
    m_jieguo->setObjectName(QStringLiteral("jieguo"));
    connect(m_jieguo, &QAction::triggered, this, &Form1::openResults);
    m_ui.engine.gengxin = menuBar()->addAction(QStringLiteral("获取更新"));
    m_ui.engine.gengxin->setObjectName(QStringLiteral("gengxin"));
    m_ui.engine.gengxin->setVisible(false);
    // After the program's own menus, which keep their places.
    m_ui.fxxx = menuBar()->addAction(QStringLiteral("分析选项"));
    m_ui.fxxx->setObjectName(QStringLiteral("fxxx"));
    connect(m_ui.fxxx, &QAction::triggered, this, &Form1::fxxx_Click);
}

void Form1::setupFileMenu()
{
    m_ui.wjcd = menuBar()->addMenu(QStringLiteral("文件"));
    m_ui.wjcd->setObjectName(QStringLiteral("wjcd"));
    addMenuItem(m_ui.wjcd, QStringLiteral("xinjian"), QStringLiteral("新建"));
    addMenuItem(m_ui.wjcd, QStringLiteral("dakai"), QStringLiteral("打开"));
    addMenuItem(m_ui.wjcd, QStringLiteral("baocun"), QStringLiteral("保存"));
    m_ui.wjcd->addSeparator()->setObjectName(QStringLiteral("fg1"));
    QAction *exit = addMenuItem(m_ui.wjcd, QStringLiteral("tuichu"), QStringLiteral("退出"));
    connect(exit, &QAction::triggered, this, &Form1::tuichu_Click);
    setupCheckMenu();
}

// The check commands follow the file menu's own items, apart from them.
void Form1::setupCheckMenu()
{
    m_ui.wjcd->addSeparator()->setObjectName(QStringLiteral("fgjc"));
    addMenuItem(m_ui.wjcd, QStringLiteral("baocunjiance"), QStringLiteral("保存检测"));
    addMenuItem(m_ui.wjcd, QStringLiteral("dakaijiance"), QStringLiteral("打开检测"));
}

void Form1::connectChecks()
{
    m_checks = std::make_unique<CheckKeeper>(*this, *m_run, *m_services.desktop, m_services.automaticCheckFile,
                                             [this](const CheckResults &check) { takeUpCheck(check); });
    connect(m_ui.wjcd->findChild<QAction *>(QStringLiteral("baocunjiance")), &QAction::triggered, this,
            [this] { m_checks->saveCheck(); });
    connect(m_ui.wjcd->findChild<QAction *>(QStringLiteral("dakaijiance")), &QAction::triggered, this,
            [this] { m_checks->openCheck(); });
    // Asked once the window is up, not while it is being built.
    QTimer::singleShot(0, this, [this] { m_checks->offerUnfinishedCheck(); });
}

// A saved check in the window: its engine checked, its article in the editor, and the run where it was left.
void Form1::takeUpCheck(const CheckResults &check)
{
    if (state().autoMode)
        m_run->stop();
    QAction *engine = check.engine == SearchEngine::Wenku ? m_ui.engine.wenku : m_ui.engine.baidu;
    for (QAction *item : {m_ui.engine.baidu, m_ui.engine.wenku, m_ui.engine.longyuan, m_ui.engine.zhiwang})
        item->setChecked(item == engine);
    m_ui.RichTextBox1->setText(check.article);
    m_files->setArticleFile(check.articleName);
    // Analysed again, the article leaves out what the check left out, where the check says so.
    if (check.exclusionsKnown)
        m_analysisOptions = check.options;
    m_run->restore(check);
    showComparing();
}

void Form1::setupEditMenu()
{
    m_ui.yjcd = menuBar()->addMenu(QStringLiteral("编辑"));
    m_ui.yjcd->setObjectName(QStringLiteral("yjcd"));
    addMenuItem(m_ui.yjcd, QStringLiteral("cx"), QStringLiteral("撤销"));
    m_ui.yjcd->addSeparator()->setObjectName(QStringLiteral("fg2"));
    addMenuItem(m_ui.yjcd, QStringLiteral("jq"), QStringLiteral("剪切"));
    addMenuItem(m_ui.yjcd, QStringLiteral("fz"), QStringLiteral("复制"));
    addMenuItem(m_ui.yjcd, QStringLiteral("nt"), QStringLiteral("粘贴"));
    addMenuItem(m_ui.yjcd, QStringLiteral("sc"), QStringLiteral("删除"));
    m_ui.yjcd->addSeparator()->setObjectName(QStringLiteral("fg3"));
    addMenuItem(m_ui.yjcd, QStringLiteral("qx"), QStringLiteral("全选"));
}

void Form1::setupEngineMenu()
{
    m_ui.yinqing = menuBar()->addMenu(QStringLiteral("引擎选择"));
    m_ui.yinqing->setObjectName(QStringLiteral("yinqing"));
    m_ui.engine.baidu = addMenuItem(m_ui.yinqing, QStringLiteral("baidu"), QStringLiteral("百度引擎"));
    m_ui.engine.wenku = addMenuItem(m_ui.yinqing, QStringLiteral("wenku"), QStringLiteral("百度文库"));
    m_ui.engine.longyuan = addMenuItem(m_ui.yinqing, QStringLiteral("longyuan"), QStringLiteral("龙源期刊"));
    m_ui.engine.zhiwang = addMenuItem(m_ui.yinqing, QStringLiteral("zhiwang"), QStringLiteral("中国知网"));
    for (QAction *engine : {m_ui.engine.baidu, m_ui.engine.wenku, m_ui.engine.longyuan, m_ui.engine.zhiwang})
        engine->setCheckable(true);
    m_ui.engine.longyuan->setEnabled(false);
    m_ui.engine.zhiwang->setEnabled(false);
}

void Form1::setupTabOrder()
{
    m_tabOrder = std::make_unique<TabOrder>(QList<QWidget *>{
        m_ui.WebBrowser1, m_ui.RichTextBox1, m_ui.Command1, m_ui.Command2, m_ui.Label1, m_ui.WebBrowser2, m_ui.Label2,
        m_ui.List1, m_ui.Command3, m_ui.Command4, m_ui.Command5, m_ui.Command6});
}

bool Form1::focusNextPrevChild(bool next)
{
    return m_tabOrder->moveFocus(focusWidget(), next) || QMainWindow::focusNextPrevChild(next);
}

// Starting or stopping the automatic run swaps its two buttons in one place: the keyboard focus stays
// there, so that the key that started a run also stops it.
bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && (watched == m_ui.Command3 || watched == m_ui.Command4) &&
        static_cast<QWidget *>(watched)->hasFocus()) {
        QPushButton *other = watched == m_ui.Command3 ? m_ui.Command4 : m_ui.Command3;
        QTimer::singleShot(0, other, [other] {
            if (other->isVisible())
                other->setFocus(Qt::OtherFocusReason);
        });
    }
    return QMainWindow::eventFilter(watched, event);
}

// The window opens with its design client area, centred on the screen.
void Form1::setDesignSize()
{
    placeCentred(this, kClientWidth, kClientHeight, menuBar()->sizeHint().height());
}

void Form1::Form_Load()
{
    m_ui.WebBrowser1->navigate(QStringLiteral("about:blank"));
    m_ui.WebBrowser1->setVisible(false);
    m_ui.WebBrowser2->resize(0, 0);
    m_ui.WebBrowser2->navigate(m_services.endpoints.startPageUrl());
    for (QPushButton *button : {m_ui.Command3, m_ui.Command4, m_ui.Command5, m_ui.Command6})
        button->setVisible(false);
    m_ui.engine.baidu->setChecked(true);
    for (QAction *engine : {m_ui.engine.longyuan, m_ui.engine.zhiwang, m_ui.engine.wenku})
        engine->setChecked(false);
    // The buttons come back with the first refresh of their states, once the event loop runs.
    QTimer::singleShot(0, this, [this] { showRunState(state().autoMode); });
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

// Each assignment stands alone: a negative size is skipped, a negative position applied.
void Form1::Form_Resize()
{
    const auto [W, H] = outerSizeInTwips(this);

    setTwipsHeight(m_ui.WebBrowser1, H - 2890);
    setTwipsWidth(m_ui.WebBrowser1, W - 525);
    if (!state().workText.isEmpty()) {
        setTwipsHeight(m_ui.RichTextBox1, 2400);
        setTwipsWidth(m_ui.RichTextBox1, W - 1905);
    } else {
        setTwipsHeight(m_ui.RichTextBox1, H - 1890);
        setTwipsWidth(m_ui.RichTextBox1, W - 525);
    }
    setTwipsTop(m_ui.Label1, H - 1700);
    setTwipsTop(m_ui.Label2, H - 1700);
    for (QPushButton *button : {m_ui.Command1, m_ui.Command2, m_ui.Command3, m_ui.Command4})
        setTwipsTop(button, H - 1400);
    for (QPushButton *button : {m_ui.Command5, m_ui.Command6})
        setTwipsTop(button, H - 1720);
    for (QPushButton *button : {m_ui.Command3, m_ui.Command4, m_ui.Command5})
        setTwipsLeft(button, W - 2500);
    setTwipsLeft(m_ui.Command6, W - 900);
    setTwipsLeft(m_ui.List1, W - 1800);
    setTwipsWidth(m_ui.List1, 1400);
}

void Form1::tuichu_Click()
{
    if (m_services.desktop->askYesNo(this, QStringLiteral("谢谢使用！访问我的网站吗？"), kAppTitle)) {
        if (!m_services.desktop->openAddress(m_services.endpoints.productPageUrl()))
            m_services.desktop->alert(this, QStringLiteral("调用浏览器错误！"), QStringLiteral("错误："));
    }
    endProgram();
}

void Form1::connectDocumentCommands()
{
    m_files = std::make_unique<DocumentFiles>(*this, *m_ui.RichTextBox1, *m_services.desktop);
    const auto fileCommand = [this](const char *name) {
        return m_ui.wjcd->findChild<QAction *>(QString::fromLatin1(name));
    };
    connect(fileCommand("xinjian"), &QAction::triggered, this, &Form1::xinjian_Click);
    connect(fileCommand("dakai"), &QAction::triggered, this, &Form1::dakai_Click);
    connect(fileCommand("baocun"), &QAction::triggered, this, &Form1::baocun_Click);
    new EditCommands(*m_ui.RichTextBox1, *m_ui.yjcd);
    connect(m_ui.RichTextBox1, &RichEditor::keyUp, this, &Form1::RichTextBox1_KeyUp);
    connect(m_ui.RichTextBox1, &RichEditor::fileDropped, this, &Form1::RichTextBox1_FileDropped);
}

// Clears the text only: the sentence list and the analysis stay as they are.
void Form1::xinjian_Click()
{
    m_ui.RichTextBox1->setText(QString());
    m_files->setArticleFile(QString());
    showEditorAlone();
}

void Form1::dakai_Click()
{
    showEditorAlone();
    m_files->open();
}

void Form1::RichTextBox1_FileDropped(const QString &path)
{
    showEditorAlone();
    m_files->openFile(path);
}

void Form1::fxxx_Click()
{
    AnalysisOptionsDialog dialog(m_analysisOptions, this);
    if (dialog.exec() == QDialog::Accepted)
        m_analysisOptions = dialog.options();
}

void Form1::baocun_Click()
{
    m_files->save();
}

void Form1::RichTextBox1_KeyUp(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Space)
        m_ui.RichTextBox1->setSelFontName(kSongTi);
}

Form2 *Form1::comparator() const
{
    return m_comparator;
}

void Form1::openComparator()
{
    if (!m_comparator) {
        m_comparator = new Form2(m_comparatorTotals, m_ui.RichTextBox1->text(), *m_services.desktop);
        // The library chosen in one comparator window is the one the next window starts with.
        auto *library = new LibraryMenu(*m_comparator, *m_services.desktop, m_libraryLocation);
        connect(library, &LibraryMenu::locationChanged, this,
                [this](const QString &location) { m_libraryLocation = location; });
    }
    m_comparator->show();
    m_comparator->raise();
    m_comparator->activateWindow();
}

void Form1::openResults()
{
    showResults(true);
}

// A run's start shows the window beside the main window, which keeps the focus on its stop button.
void Form1::showResults(bool activate)
{
    if (!m_results) {
        m_results = std::make_unique<ResultsWindow>(*m_services.desktop);
        // A click on a piece's row does what a click on its list row does; the list is closed to clicks
        // while an automatic run goes on, and so is this way to it.
        connect(m_results.get(), &ResultsWindow::pieceClicked, this, [this](int piece) {
            if (m_ui.List1->isEnabled())
                m_ui.List1->setCurrentRow(piece);
        });
    }
    m_results->showCheck(m_run->results(), runPhase());
    m_results->setAttribute(Qt::WA_ShowWithoutActivating, !activate);
    m_results->show();
    // Not every window system honours the wish not to activate a new window.
    QWidget *active = activate ? static_cast<QWidget *>(m_results.get()) : this;
    active->raise();
    active->activateWindow();
}

void Form1::refreshResults(int piece)
{
    if (m_results && m_results->isVisible())
        m_results->refreshPiece(m_run->results(), piece, runPhase());
}

RunPhase Form1::runPhase() const
{
    if (m_run->securityCheckShown())
        return RunPhase::WaitingForCheck;
    if (state().autoMode)
        return RunPhase::Running;
    const PieceProgress progress = pieceProgress(m_run->results());
    return progress.done > 0 && progress.left == 0 ? RunPhase::Finished : RunPhase::Stopped;
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    endProgram();
}

// Ends the program at once: every window closes, nothing is saved, nothing is asked.
void Form1::endProgram()
{
    if (m_ending)
        return;
    m_ending = true;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != this)
            window->close();
    close();
    QCoreApplication::quit();
}

// The run's buttons, the list, the pacing timer and the result view lead to the comparison run.
void Form1::connectRun()
{
    m_run = std::make_unique<ComparisonRun>(static_cast<RunListener &>(*this), m_services.endpoints);
    connect(m_ui.Command1, &QPushButton::clicked, this, [this] { m_run->analyse(m_analysisOptions); });
    connect(m_ui.Command2, &QPushButton::clicked, this, [this] { m_run->compare(); });
    connect(m_ui.Command3, &QPushButton::clicked, this, [this] { m_run->start(); });
    connect(m_ui.Command3, &QPushButton::clicked, this, [this] { showResults(false); });
    connect(m_ui.Command4, &QPushButton::clicked, this, [this] { m_run->stop(); });
    connect(m_ui.Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(m_ui.Command6, &QPushButton::clicked, this, &Form1::openComparator);
    connect(m_ui.List1, &QListWidget::currentRowChanged, this, [this](int row) { m_run->rowClicked(row); });
    BrowserView *results = m_ui.WebBrowser1;
    connect(results, &BrowserView::downloadBegin, this, [results] { results->setSilent(true); });
    connect(results, &BrowserView::downloadComplete, this, &Form1::WebBrowser1_DownloadComplete);
    connect(results, &BrowserView::newWindowRequested, this, &Form1::WebBrowser1_NewWindow);
    m_pacing = new QTimer(this);
    m_pacing->setObjectName(QStringLiteral("Timer2"));
    m_pacing->setInterval(kPacingIntervalMs);
    m_pacing->setTimerType(Qt::PreciseTimer);
    connect(m_pacing, &QTimer::timeout, this, [this] { m_run->pacingTick(); });
    m_pacing->start();
}

// The report is written into the result view in one piece.
void Form1::Command5_Click()
{
    m_ui.WebBrowser1->write(m_run->siteReport());
}

void Form1::WebBrowser1_DownloadComplete()
{
    BrowserView &browser = *m_ui.WebBrowser1;
    if (!browser.busy())
        m_run->pageArrived({getPageHtml(browser, u"Body"_qs), getPageHtml(browser, u"Page"_qs), browser.url()});
    browser.setSilent(true);
}

// A link that asks for a new window opens in the user's default browser, as the product page does.
void Form1::WebBrowser1_NewWindow(const QString &address)
{
    if (!m_services.desktop->openAddress(address))
        m_services.desktop->alert(this, QStringLiteral("调用浏览器错误！"), QStringLiteral("错误："));
}

QString Form1::articleText() const
{
    return m_ui.RichTextBox1->text();
}

QString Form1::articleFileName() const
{
    return m_files->articleFileName();
}

SearchEngine Form1::chosenEngine() const
{
    if (m_ui.engine.zhiwang->isChecked() || m_ui.engine.longyuan->isChecked())
        return SearchEngine::NoQueryForm;
    if (m_ui.engine.wenku->isChecked())
        return SearchEngine::Wenku;
    return SearchEngine::WebSearch;
}

bool Form1::pageLoading() const
{
    return m_ui.WebBrowser1->busy();
}

// Filling the list selects nothing: the first compare starts with row 0.
void Form1::showAnalysis(const QStringList &rows, const QString &exclusionNote)
{
    const QSignalBlocker quiet(m_ui.List1);
    m_ui.List1->clear();
    m_ui.List1->addItems(rows);
    m_ui.List1->setCurrentRow(-1);
    m_ui.Label2->setVisible(false);
    m_ui.RichTextBox1->setSelStart(0);
    // The status line is too narrow for the note after the caption, and the progress of the run replaces
    // the caption: the note stays at hand for the whole run.
    m_ui.Label1->setToolTip(exclusionNote);
    if (m_results && m_results->isVisible())
        m_results->showCheck(m_run->results(), runPhase());
}

void Form1::showSelectedRow(int row, const QString &piece)
{
    const QSignalBlocker quiet(m_ui.List1);
    m_ui.List1->setCurrentRow(row);
    m_ui.List1->setToolTip(piece);
}

void Form1::showComparing()
{
    m_ui.WebBrowser1->write(QString());
    m_ui.Label2->setVisible(true);
    m_ui.Command5->setEnabled(true);
    const double windowWidth = outerSizeInTwips(this).width;
    setTwipsHeight(m_ui.RichTextBox1, kCompactEditorHeight);
    setTwipsWidth(m_ui.RichTextBox1, windowWidth - 1605);
    m_ui.RichTextBox1->setSelColor(kPlainBlack);
    setTwipsHeight(m_ui.List1, kListHeight);
    setTwipsLeft(m_ui.List1, windowWidth - 1500);
    setTwipsWidth(m_ui.List1, kListWidth);
    m_ui.List1->setVisible(true);
}

void Form1::showEditorAlone()
{
    setTwipsHeight(m_ui.RichTextBox1, kEditorDesignHeight);
    setTwipsWidth(m_ui.RichTextBox1, kEditorDesignWidth);
    m_ui.List1->setVisible(false);
}

// Every occurrence, left to right without overlap; the selection stays on the last one.
void Form1::markPiece(const QString &piece)
{
    if (piece.isEmpty())
        return;
    RichEditor &editor = *m_ui.RichTextBox1;
    const QString text = editor.text();
    for (qsizetype at = text.indexOf(piece); at >= 0; at = text.indexOf(piece, at + piece.size())) {
        editor.setSelStart(int(at));
        editor.setSelLength(int(piece.size()));
        editor.setSelColor(kMarkRed);
    }
}

void Form1::showStatus(const QString &text)
{
    m_ui.Label1->setText(text);
}

void Form1::showFigures(const QString &text)
{
    m_ui.Label2->setText(text);
}

void Form1::showRunState(bool automatic)
{
    m_ui.List1->setEnabled(!automatic);
    m_ui.Command1->setEnabled(!automatic);
    m_ui.Command2->setEnabled(!automatic);
    m_ui.Command5->setEnabled(!automatic);
    m_ui.Command5->setVisible(true);
    m_ui.Command3->setVisible(!automatic);
    m_ui.Command4->setVisible(automatic);
    m_ui.Command6->setVisible(true);
    for (QMenu *menu : {m_ui.wjcd, m_ui.yinqing})
        menu->setEnabled(true);
    m_ui.engine.duibiqi->setEnabled(true);
    if (m_results && m_results->isVisible())
        m_results->showPhase(runPhase());
}

void Form1::inform(const QString &text)
{
    m_services.desktop->inform(this, text, kAppTitle);
}

void Form1::send(const QString &address)
{
    m_ui.WebBrowser1->setVisible(true);
    m_ui.WebBrowser1->navigate(address);
}

void Form1::restartPacing()
{
    m_pacing->start();
}

void Form1::pieceResultChanged(int piece)
{
    m_checks->pieceResultChanged(piece);
    refreshResults(piece);
}

} // namespace veltrik
