#include "form2.h"

#include "appearance/appearance.h"
#include "components/desktop.h"
#include "components/outersizewatch.h"
#include "components/richeditor.h"
#include "components/twips.h"
#include "documents/documentfiles.h"
#include "editing/editcommands.h"
#include "referencepanel.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace veltrik {
namespace {

constexpr double kClientWidth = 9300;
constexpr double kClientHeight = 7200;
// The reference files' panel, right of the editors, and the window grows by as much when it first shows.
constexpr double kReferencePanelWidth = 5400;
// "添加参考文件" sits right of "多次标注", on its line.
constexpr double kAddReferencesWidth = 1260;
constexpr double kAddReferencesHeight = 300;

} // namespace

Form2::Form2(CompareTotals &totals, const QString &articleText, Desktop &desktop)
    : m_totals(totals)
    , m_desktop(desktop)
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kCaption);
    setWindowIcon(comparatorIcon());
    setupEditors();
    setupControls();
    setupMenu();
    setupReferences();
    setDesignSize();
    new OuterSizeWatch(*this, [this] { Form_Resize(); });
    RichTextBox1->setText(articleText);
    m_files = std::make_unique<DocumentFiles>(*this, *RichTextBox1, desktop);
    m_referenceFiles = std::make_unique<DocumentFiles>(*this, *RichTextBox2, desktop);
    connect(RichTextBox1, &RichEditor::fileDropped, this, [this](const QString &path) { m_files->openFile(path); });
    connect(RichTextBox2, &RichEditor::fileDropped, this,
            [this](const QString &path) { m_referenceFiles->openFile(path); });
    connect(yjcd->findChild<QAction *>(QStringLiteral("baocun")), &QAction::triggered, this, &Form2::baocun_Click);
    new EditCommands(*RichTextBox1, *yjcd);
}

Form2::~Form2() = default;

void Form2::baocun_Click()
{
    m_files->save();
}

void Form2::setupEditors()
{
    RichTextBox1 = new RichEditor(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox2 = new RichEditor(this);
    RichTextBox2->setObjectName(QStringLiteral("RichTextBox2"));
    for (RichEditor *editor : {RichTextBox1, RichTextBox2})
        editor->setFont(songTiFont(9));
    RichTextBox1->setText(QStringLiteral("你的论文"));
    RichTextBox2->setText(QStringLiteral("对比的文字"));
    setTwipsGeometry(RichTextBox1, 90, 90, 4470, 6270);
    setTwipsGeometry(RichTextBox2, 4680, 90, 4470, 6270);
}

void Form2::setupControls()
{
    Command1 = new QPushButton(QStringLiteral("对比并标注"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    setTwipsGeometry(Command1, 6435, 6705, 2670, 465);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(songTiFont(10.5));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(Label1, kMarkRed);
    setTwipsGeometry(Label1, 180, 6435, 6090, 645);
    // The counts, the share of the article and the similarity to the reference.
    fitHeightToLines(Label1, 3);

    Check1 = new QCheckBox(QStringLiteral("多次标注"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    setTwipsGeometry(Check1, 7290, 6390, 1050, 240);

    setTabOrder(RichTextBox1, RichTextBox2);
    setTabOrder(RichTextBox2, Command1);
    setTabOrder(Command1, Label1);
    setTabOrder(Label1, Check1);
}

void Form2::setupMenu()
{
    yjcd = new QMenu(QStringLiteral("菜单"), this);
    yjcd->setObjectName(QStringLiteral("yjcd"));
    const struct {
        const char *name;
        QString caption;
        QKeySequence shortcut;
    } items[] = {
        {"baocun", QStringLiteral("保存"), QKeySequence(QStringLiteral("Ctrl+S"))},
        {"cx", QStringLiteral("撤销"), QKeySequence(QStringLiteral("Ctrl+Z"))},
        {"jg1", QString(), {}},
        {"jq", QStringLiteral("剪切"), QKeySequence(QStringLiteral("Ctrl+X"))},
        {"fz", QStringLiteral("复制"), QKeySequence(QStringLiteral("Ctrl+C"))},
        {"nt", QStringLiteral("粘贴"), QKeySequence(QStringLiteral("Ctrl+V"))},
        {"sc", QStringLiteral("删除"), QKeySequence(QStringLiteral("Del"))},
        {"jg2", QString(), {}},
        {"qx", QStringLiteral("全选"), QKeySequence(QStringLiteral("Ctrl+A"))},
    };
    for (const auto &item : items) {
        QAction *action = item.caption.isEmpty() ? yjcd->addSeparator() : yjcd->addAction(item.caption);
        action->setObjectName(QString::fromLatin1(item.name));
        // The labels are shown in the menu; the editors' own keys do the work.
        action->setShortcut(item.shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
    }
}

void Form2::setupReferences()
{
    addReferences = new QToolButton(this);
    addReferences->setObjectName(QStringLiteral("addReferences"));
    addReferences->setPopupMode(QToolButton::MenuButtonPopup);
    auto *files = new QAction(QStringLiteral("添加参考文件"), addReferences);
    files->setObjectName(QStringLiteral("addReferenceFiles"));
    connect(files, &QAction::triggered, this, &Form2::addReferenceFiles);
    addReferences->setDefaultAction(files);
    referenceMenu = new QMenu(addReferences);
    referenceMenu->setObjectName(QStringLiteral("referenceMenu"));
    referenceMenu->addAction(files);
    QAction *folder = referenceMenu->addAction(QStringLiteral("添加参考文件夹（含子文件夹）"));
    folder->setObjectName(QStringLiteral("addReferenceFolder"));
    connect(folder, &QAction::triggered, this, &Form2::addReferenceFolder);
    addReferences->setMenu(referenceMenu);
    // Where the layout puts it at the designed size.
    setTwipsGeometry(addReferences, 9540 - 1390, 7870 - 1380, kAddReferencesWidth, kAddReferencesHeight);

    references = new ReferencePanel(*RichTextBox1, *Label1, this);
    references->hide();
    setTabOrder(Check1, addReferences);
}

void Form2::addReferenceFiles()
{
    showReferences(m_desktop.chooseFilesToOpen(this, QStringLiteral("请选择参考文件"), DocumentFiles::kOpenFilter));
}

void Form2::addReferenceFolder()
{
    const QString folder = m_desktop.chooseFolder(this, QStringLiteral("请选择参考文件所在的文件夹"));
    showReferences(folder.isEmpty() ? QStringList() : QStringList{folder});
}

void Form2::showReferences(const QStringList &chosen)
{
    if (chosen.isEmpty())
        return;
    showReferencePanel();
    references->addFiles(chosen);
}

void Form2::showReferencePanel()
{
    if (!references->isHidden())
        return;
    references->show();
    resize(width() + int(twipsToPixels(kReferencePanelWidth, logicalDpi(this))), height());
    Form_Resize();
}

void Form2::setDesignSize()
{
    placeCentred(this, kClientWidth, kClientHeight);
}

void Form2::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// Each step stands alone: a negative size is skipped.
void Form2::Form_Resize()
{
    const double dpi = logicalDpi(this);
    const auto [outerW, H] = outerSizeInTwips(this);
    // The editors and the bottom band keep their layout in what the reference panel leaves.
    const double W = references->isHidden() ? outerW : outerW - kReferencePanelWidth;
    setTwipsHeight(RichTextBox1, H - 1600);
    setTwipsWidth(RichTextBox1, W / 2 - 300);
    setTwipsLeft(RichTextBox2, pixelsToTwips(RichTextBox1->width(), dpi) + 300);
    setTwipsHeight(RichTextBox2, H - 1600);
    setTwipsWidth(RichTextBox2, W / 2 - 300);
    setTwipsTop(Label1, H - 1400);
    setTwipsTop(Command1, H - 1100);
    setTwipsLeft(Command1, W - 3300);
    setTwipsTop(Check1, H - 1350);
    setTwipsLeft(Check1, W - 2500);
    placeReferences(W, H);
}

void Form2::placeReferences(double W, double H)
{
    setTwipsTop(addReferences, H - 1380);
    setTwipsLeft(addReferences, W - 1390);
    if (references->isHidden())
        return;
    const double dpi = logicalDpi(this);
    const int left =
        std::max(RichTextBox2->geometry().right(), addReferences->geometry().right()) + int(twipsToPixels(90, dpi));
    references->setGeometry(left, RichTextBox2->y(), width() - left - int(twipsToPixels(90, dpi)),
                            height() - RichTextBox2->y() - int(twipsToPixels(90, dpi)));
}

void Form2::Command1_Click()
{
    const bool severalRuns = Check1->isChecked();
    if (!severalRuns) {
        RichTextBox1->setSelStart(0);
        RichTextBox1->setSelLength(int(RichTextBox1->text().size()));
        RichTextBox1->setSelColor(kPlainBlack);
    }
    const QString article = RichTextBox1->text();
    const QString reference = RichTextBox2->text();
    const MatchResult run = matchPieces(article, cutReference(reference).pieces);
    m_totals.add(run);
    // The marks come merged: overlapping places are coloured once, the same red with far fewer edits.
    RichTextBox1->colorSpans(run.marks, kMarkRed);
    if (run.lastMark) {
        // The selection stays on the last place coloured.
        RichTextBox1->setSelStart(int(run.lastMark->start));
        RichTextBox1->setSelLength(int(run.lastMark->length));
    }
    Label1->setText(compareResultText(article.size(), reference.size(), run, m_totals, Check1->isChecked()));
}

} // namespace veltrik
