#include "form1.h"

#include "analysis/webcomparison.h"
#include "analysisoptionsdialog.h"
#include "comparator/form2.h"
#include "documents/documentfiles.h"
#include "editing/editcommands.h"
#include "engine/enginemenu.h"
#include "components/browserview.h"
#include "components/desktop.h"
#include "components/outersizewatch.h"
#include "components/richeditor.h"
#include "components/taborder.h"
#include "components/twips.h"
#include "appearance.h"
#include "welcometext.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

namespace veltrik {
namespace {

// Design client area, in twips.
constexpr double kClientWidth = 10425;
constexpr double kClientHeight = 7290;
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
    m_comparison = new WebComparison(*this);
    m_engineMenu = new EngineMenu(*this);
    connectDocumentCommands();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::setupControls()
{
    auto *client = new QWidget(this);
    setCentralWidget(client);

    WebBrowser1 = m_services.makeBrowser(client);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    setTwipsGeometry(WebBrowser1, 135, 1125, 10140, 5100);

    RichTextBox1 = new RichEditor(client);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setFont(songTiFont(9.75));
    setTwipsGeometry(RichTextBox1, 135, 45, kEditorDesignWidth, kEditorDesignHeight);
    QTextDocument welcome;
    writeWelcomeText(welcome);
    RichTextBox1->setDocumentContent(welcome);

    WebBrowser2 = m_services.makeBrowser(client);
    WebBrowser2->setObjectName(QStringLiteral("WebBrowser2"));
    setTwipsGeometry(WebBrowser2, 9540, 6210, 690, 510);

    List1 = new QListWidget(client);
    List1->setObjectName(QStringLiteral("List1"));
    setTwipsGeometry(List1, 9180, 45, 1095, 2760);
    List1->hide();

    setupLabels();
    setupButtons();
}

void Form1::setupLabels()
{
    Label1 = new QLabel(QStringLiteral("请点击“分析”开始解析论文！"), centralWidget());
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(songTiFont(10.5));
    // At the top of the label: its lower part lies behind the buttons below it.
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(Label1, kMarkRed);
    setTwipsGeometry(Label1, 225, 6345, 8385, 420);

    Label2 = new QLabel(centralWidget());
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(songTiFont(10.5));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(Label2, kFigureBlue);
    setTwipsGeometry(Label2, 5265, 6345, 4605, 780);
    // The piece's figure, an empty line and the overall figure.
    fitHeightToLines(Label2, 3);
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
    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral("进行分析"), {270, 6750, 2130, 420});
    Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("手动对比"), {2970, 6750, 2130, 420});
    Command3 = addButton(QStringLiteral("Command3"), QStringLiteral("启动自动对比"), {8145, 6750, 2130, 420});
    Command4 = addButton(QStringLiteral("Command4"), QStringLiteral("停止自动对比！"), {8145, 6750, 2130, 420});
    Command5 = addButton(QStringLiteral("Command5"), QStringLiteral("统计相似性网站"), {8145, 6345, 1545, 285});
    Command6 = addButton(QStringLiteral("Command6"), QStringLiteral("对比"), {9765, 6345, 510, 285});
    Command3->installEventFilter(this);
    Command4->installEventFilter(this);
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
    duibiqi = menuBar()->addAction(QStringLiteral("对比器"));
    duibiqi->setObjectName(QStringLiteral("duibiqi"));
    gengxin = menuBar()->addAction(QStringLiteral("获取更新"));
    gengxin->setObjectName(QStringLiteral("gengxin"));
    gengxin->setVisible(false);
    // After the program's own menus, which keep their places.
    fxxx = menuBar()->addAction(QStringLiteral("分析选项"));
    fxxx->setObjectName(QStringLiteral("fxxx"));
    connect(fxxx, &QAction::triggered, this, &Form1::fxxx_Click);
}

void Form1::setupFileMenu()
{
    wjcd = menuBar()->addMenu(QStringLiteral("文件"));
    wjcd->setObjectName(QStringLiteral("wjcd"));
    addMenuItem(wjcd, QStringLiteral("xinjian"), QStringLiteral("新建"));
    addMenuItem(wjcd, QStringLiteral("dakai"), QStringLiteral("打开"));
    addMenuItem(wjcd, QStringLiteral("baocun"), QStringLiteral("保存"));
    wjcd->addSeparator()->setObjectName(QStringLiteral("fg1"));
    QAction *exit = addMenuItem(wjcd, QStringLiteral("tuichu"), QStringLiteral("退出"));
    connect(exit, &QAction::triggered, this, &Form1::tuichu_Click);
}

void Form1::setupEditMenu()
{
    yjcd = menuBar()->addMenu(QStringLiteral("编辑"));
    yjcd->setObjectName(QStringLiteral("yjcd"));
    addMenuItem(yjcd, QStringLiteral("cx"), QStringLiteral("撤销"));
    yjcd->addSeparator()->setObjectName(QStringLiteral("fg2"));
    addMenuItem(yjcd, QStringLiteral("jq"), QStringLiteral("剪切"));
    addMenuItem(yjcd, QStringLiteral("fz"), QStringLiteral("复制"));
    addMenuItem(yjcd, QStringLiteral("nt"), QStringLiteral("粘贴"));
    addMenuItem(yjcd, QStringLiteral("sc"), QStringLiteral("删除"));
    yjcd->addSeparator()->setObjectName(QStringLiteral("fg3"));
    addMenuItem(yjcd, QStringLiteral("qx"), QStringLiteral("全选"));
}

void Form1::setupEngineMenu()
{
    yinqing = menuBar()->addMenu(QStringLiteral("引擎选择"));
    yinqing->setObjectName(QStringLiteral("yinqing"));
    baidu = addMenuItem(yinqing, QStringLiteral("baidu"), QStringLiteral("百度引擎"));
    wenku = addMenuItem(yinqing, QStringLiteral("wenku"), QStringLiteral("百度文库"));
    longyuan = addMenuItem(yinqing, QStringLiteral("longyuan"), QStringLiteral("龙源期刊"));
    zhiwang = addMenuItem(yinqing, QStringLiteral("zhiwang"), QStringLiteral("中国知网"));
    for (QAction *engine : {baidu, wenku, longyuan, zhiwang})
        engine->setCheckable(true);
    longyuan->setEnabled(false);
    zhiwang->setEnabled(false);
}

void Form1::setupTabOrder()
{
    m_tabOrder = std::make_unique<TabOrder>(QList<QWidget *>{WebBrowser1, RichTextBox1, Command1, Command2,
                                                             Label1, WebBrowser2, Label2, List1, Command3,
                                                             Command4, Command5, Command6});
}

bool Form1::focusNextPrevChild(bool next)
{
    return m_tabOrder->moveFocus(focusWidget(), next) || QMainWindow::focusNextPrevChild(next);
}

// Starting or stopping the automatic run swaps its two buttons in one place: the keyboard focus stays
// there, so that the key that started a run also stops it.
bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && (watched == Command3 || watched == Command4) &&
        static_cast<QWidget *>(watched)->hasFocus()) {
        QPushButton *other = watched == Command3 ? Command4 : Command3;
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
    WebBrowser1->navigate(QStringLiteral("about:blank"));
    WebBrowser1->setVisible(false);
    WebBrowser2->resize(0, 0);
    WebBrowser2->navigate(m_services.endpoints.startPageUrl());
    for (QPushButton *button : {Command3, Command4, Command5, Command6})
        button->setVisible(false);
    baidu->setChecked(true);
    for (QAction *engine : {longyuan, zhiwang, wenku})
        engine->setChecked(false);
    m_state.listSync = 1;
    // The buttons come back with the first refresh of their states, once the event loop runs.
    QTimer::singleShot(0, m_comparison, &WebComparison::refreshButtonStates);
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

    setTwipsHeight(WebBrowser1, H - 2890);
    setTwipsWidth(WebBrowser1, W - 525);
    if (!m_state.workText.isEmpty()) {
        setTwipsHeight(RichTextBox1, 2400);
        setTwipsWidth(RichTextBox1, W - 1905);
    } else {
        setTwipsHeight(RichTextBox1, H - 1890);
        setTwipsWidth(RichTextBox1, W - 525);
    }
    setTwipsTop(Label1, H - 1700);
    setTwipsTop(Label2, H - 1700);
    for (QPushButton *button : {Command1, Command2, Command3, Command4})
        setTwipsTop(button, H - 1400);
    for (QPushButton *button : {Command5, Command6})
        setTwipsTop(button, H - 1720);
    for (QPushButton *button : {Command3, Command4, Command5})
        setTwipsLeft(button, W - 2500);
    setTwipsLeft(Command6, W - 900);
    setTwipsLeft(List1, W - 1800);
    setTwipsWidth(List1, 1400);
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
    m_files = std::make_unique<DocumentFiles>(*this, *RichTextBox1, *m_services.desktop);
    connect(wjcd->findChild<QAction *>(QStringLiteral("xinjian")), &QAction::triggered, this, &Form1::xinjian_Click);
    connect(wjcd->findChild<QAction *>(QStringLiteral("dakai")), &QAction::triggered, this, &Form1::dakai_Click);
    connect(wjcd->findChild<QAction *>(QStringLiteral("baocun")), &QAction::triggered, this, &Form1::baocun_Click);
    new EditCommands(*RichTextBox1, *yjcd);
    connect(RichTextBox1, &RichEditor::keyUp, this, &Form1::RichTextBox1_KeyUp);
    connect(RichTextBox1, &RichEditor::fileDropped, this, &Form1::RichTextBox1_FileDropped);
}

// Clears the text only: the sentence list and the analysis stay as they are.
void Form1::xinjian_Click()
{
    RichTextBox1->setText(QString());
    setTwipsHeight(RichTextBox1, kEditorDesignHeight);
    setTwipsWidth(RichTextBox1, kEditorDesignWidth);
    List1->setVisible(false);
}

void Form1::returnEditorToDesignSize()
{
    setTwipsHeight(RichTextBox1, kEditorDesignHeight);
    setTwipsWidth(RichTextBox1, kEditorDesignWidth);
    List1->setVisible(false);
}

void Form1::dakai_Click()
{
    returnEditorToDesignSize();
    m_files->open();
}

void Form1::RichTextBox1_FileDropped(const QString &path)
{
    returnEditorToDesignSize();
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
        RichTextBox1->setSelFontName(kSongTi);
}

Form2 *Form1::comparator() const
{
    return m_comparator;
}

void Form1::openComparator()
{
    if (!m_comparator)
        m_comparator = new Form2(m_comparatorTotals, RichTextBox1->text(), *m_services.desktop);
    m_comparator->show();
    m_comparator->raise();
    m_comparator->activateWindow();
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

} // namespace veltrik
