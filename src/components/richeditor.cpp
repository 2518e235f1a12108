#include "richeditor.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace veltrik {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// The document's own separators (paragraph separator in selections) become CR LF.
QString withLineBreaks(QString text)
{
    return text.replace(QChar::ParagraphSeparator, kLineBreak);
}

// CR LF, lone CR and lone LF become the one separator the document understands.
QString withNewlines(QString text)
{
    return text.replace(kLineBreak, QStringLiteral("\n")).replace(u'\r', u'\n');
}

// Offset of a block's first character in the CR LF text: every earlier paragraph break counts one more.
int textStartOf(const QTextBlock &block)
{
    return block.position() + block.blockNumber();
}

// The first local file among dragged addresses; empty for dragged text.
QString droppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return QString();
}

bool isCtrlTab(const QKeyEvent &key)
{
    return key.key() == Qt::Key_Tab && key.modifiers() == Qt::ControlModifier;
}

} // namespace

RichEditor::RichEditor(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QTextEdit(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
    m_edit->setAcceptRichText(false);
    // Tab and Shift+Tab move on to the next control, as in the rest of the window, so that moving
    // through the window never types into the article; Ctrl+Tab types a tab character.
    m_edit->setTabChangesFocus(true);
    // The caret alone blinks out of sight half the time: the frame shows where the keyboard focus is.
    m_edit->setStyleSheet(QStringLiteral("QTextEdit { border: 1px solid palette(mid); padding: 1px; }"
                                         "QTextEdit:focus { border: 2px solid palette(highlight); padding: 0; }"));
    // The windows pop up their own menu on a right click.
    m_edit->setContextMenuPolicy(Qt::NoContextMenu);
    setFocusProxy(m_edit);
    m_edit->installEventFilter(this);
    m_edit->viewport()->installEventFilter(this);
}

QTextDocument *RichEditor::document() const
{
    return m_edit->document();
}

QString RichEditor::text() const
{
    QString joined;
    joined.reserve(document()->characterCount() + document()->blockCount());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block != document()->begin())
            joined += kLineBreak;
        joined += block.text();
    }
    return joined;
}

void RichEditor::setText(const QString &text)
{
    m_edit->setPlainText(withNewlines(text));
}

// Copied into the editor's own document: a document set from outside is laid out eagerly, which makes
// every later load many times slower. The copy is the editor's starting point, not an edit to undo.
void RichEditor::setDocumentContent(const QTextDocument &content)
{
    document()->setUndoRedoEnabled(false);
    document()->clear();
    QTextCursor cursor(document());
    cursor.insertFragment(QTextDocumentFragment(&content));
    document()->setUndoRedoEnabled(true);
    m_edit->moveCursor(QTextCursor::Start);
}

namespace {

CharFormat charFormatOf(const QTextCharFormat &format, const QFont &defaultFont)
{
    CharFormat result;
    const QStringList families = format.fontFamilies().toStringList();
    result.font = families.isEmpty() ? defaultFont.family() : families.first();
    result.pointSize = format.fontPointSize() > 0 ? format.fontPointSize() : defaultFont.pointSizeF();
    if (format.foreground().style() != Qt::NoBrush)
        result.color = format.foreground().color().rgb() & 0xFFFFFF;
    result.bold = format.fontWeight() >= QFont::Bold;
    result.italic = format.fontItalic();
    result.underline = format.fontUnderline();
    return result;
}

QTextCharFormat textCharFormatOf(const CharFormat &format)
{
    QTextCharFormat result;
    if (!format.font.isEmpty())
        result.setFontFamilies(QStringList{format.font});
    if (format.pointSize > 0)
        result.setFontPointSize(format.pointSize);
    if (format.color)
        result.setForeground(QColor::fromRgb(*format.color));
    if (format.bold)
        result.setFontWeight(QFont::Bold);
    result.setFontItalic(format.italic);
    result.setFontUnderline(format.underline);
    return result;
}

// Paragraph measures are twips in documents and document units (pixels at 96 dpi) in the editor.
constexpr double kTwipsPerUnit = 15;

double unitsOf(int twips)
{
    return twips / kTwipsPerUnit;
}

int twipsOf(double units)
{
    return int(std::lround(units * kTwipsPerUnit));
}

QTextBlockFormat textBlockFormatOf(const ParagraphFormat &format)
{
    using Alignment = ParagraphFormat::Alignment;
    QTextBlockFormat result;
    switch (format.alignment) {
    case Alignment::Left:
        result.setAlignment(Qt::AlignLeft);
        break;
    case Alignment::Center:
        result.setAlignment(Qt::AlignHCenter);
        break;
    case Alignment::Right:
        result.setAlignment(Qt::AlignRight);
        break;
    case Alignment::Justify:
        result.setAlignment(Qt::AlignJustify);
        break;
    }
    result.setTextIndent(unitsOf(format.firstLineIndent));
    result.setLeftMargin(unitsOf(format.leftIndent));
    result.setRightMargin(unitsOf(format.rightIndent));
    result.setTopMargin(unitsOf(format.spaceBefore));
    result.setBottomMargin(unitsOf(format.spaceAfter));
    return result;
}

ParagraphFormat paragraphFormatOf(const QTextBlockFormat &format)
{
    using Alignment = ParagraphFormat::Alignment;
    ParagraphFormat result;
    const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignHCenter)
        result.alignment = Alignment::Center;
    else if (horizontal & (Qt::AlignRight | Qt::AlignTrailing))
        result.alignment = Alignment::Right;
    else if (horizontal & Qt::AlignJustify)
        result.alignment = Alignment::Justify;
    result.firstLineIndent = twipsOf(format.textIndent());
    result.leftIndent = twipsOf(format.leftMargin());
    result.rightIndent = twipsOf(format.rightMargin());
    result.spaceBefore = twipsOf(format.topMargin());
    result.spaceAfter = twipsOf(format.bottomMargin());
    return result;
}

void applyParagraphFormats(QTextDocument &document, const QList<ParagraphRun> &paragraphs)
{
    QTextCursor cursor(&document);
    for (const ParagraphRun &run : paragraphs) {
        const QTextBlockFormat format = textBlockFormatOf(run.format);
        QTextBlock block = document.findBlockByNumber(int(run.first));
        for (qsizetype i = 0; i < run.count && block.isValid(); ++i, block = block.next()) {
            cursor.setPosition(block.position());
            cursor.setBlockFormat(format);
        }
    }
}

} // namespace

StyledText RichEditor::styledContent() const
{
    StyledText content;
    const QFont defaultFont = document()->defaultFont();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        CharFormat last = charFormatOf(block.charFormat(), defaultFont);
        if (block != document()->begin())
            content.appendParagraphBreak(last);
        content.setParagraphFormat(block.blockNumber(), paragraphFormatOf(block.blockFormat()));
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            last = charFormatOf(fragment.fragment().charFormat(), defaultFont);
            content.append(fragment.fragment().text(), last);
        }
    }
    return content;
}

void RichEditor::setStyledContent(const StyledText &content)
{
    adoptDocument(buildDocument(content));
}

std::unique_ptr<QTextDocument> RichEditor::buildDocument(const StyledText &content)
{
    auto built = std::make_unique<QTextDocument>();
    built->setUndoRedoEnabled(false);
    QTextCursor cursor(built.get());
    for (const FormatRun &run : content.runs) {
        const QTextCharFormat format = textCharFormatOf(run.format);
        const QStringList paragraphs = withNewlines(content.text.mid(run.start, run.length)).split(u'\n');
        for (qsizetype i = 0; i < paragraphs.size(); ++i) {
            if (i > 0)
                cursor.insertBlock(QTextBlockFormat(), format);
            cursor.insertText(paragraphs[i], format);
        }
    }
    applyParagraphFormats(*built, content.paragraphs);
    built->setUndoRedoEnabled(true);
    return built;
}

void RichEditor::adoptDocument(std::unique_ptr<QTextDocument> built)
{
    const QPointer<QTextDocument> previous = document();
    built->setDefaultFont(previous->defaultFont());
    built->setDefaultTextOption(previous->defaultTextOption());
    built->setDocumentMargin(previous->documentMargin());
    built->setParent(m_edit);
    m_edit->setDocument(built.release());
    // The editor drops a document it made itself; one adopted earlier goes here.
    delete previous.data();
    m_edit->moveCursor(QTextCursor::Start);
}

int RichEditor::documentPosition(int textOffset) const
{
    if (textOffset <= 0)
        return 0;
    // The last block whose text start is at or before the offset.
    int low = 0;
    int high = document()->blockCount() - 1;
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (textStartOf(document()->findBlockByNumber(middle)) <= textOffset)
            low = middle;
        else
            high = middle - 1;
    }
    const QTextBlock block = document()->findBlockByNumber(low);
    const int intoBlock = textOffset - textStartOf(block);
    // Past the block's end lies its CR (the document's separator); the LF maps to the next block's start.
    const int position = block.position() + std::min(intoBlock, block.length());
    return std::min(position, document()->characterCount() - 1);
}

int RichEditor::textOffset(int documentPosition) const
{
    const QTextBlock block = document()->findBlock(documentPosition);
    return documentPosition + (block.isValid() ? block.blockNumber() : document()->blockCount() - 1);
}

int RichEditor::selStart() const
{
    return textOffset(m_edit->textCursor().selectionStart());
}

void RichEditor::setSelStart(int offset)
{
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(documentPosition(offset));
    m_edit->setTextCursor(cursor);
}

int RichEditor::selLength() const
{
    const QTextCursor cursor = m_edit->textCursor();
    return textOffset(cursor.selectionEnd()) - textOffset(cursor.selectionStart());
}

void RichEditor::setSelLength(int length)
{
    const int start = selStart();
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(documentPosition(start));
    cursor.setPosition(documentPosition(start + std::max(0, length)), QTextCursor::KeepAnchor);
    m_edit->setTextCursor(cursor);
}

QString RichEditor::selText() const
{
    return withLineBreaks(m_edit->textCursor().selectedText());
}

void RichEditor::setSelText(const QString &text)
{
    QTextCursor cursor = m_edit->textCursor();
    cursor.insertText(withNewlines(text));
    m_edit->setTextCursor(cursor);
}

void RichEditor::setSelColor(const QColor &color)
{
    QTextCharFormat format;
    format.setForeground(color);
    m_edit->mergeCurrentCharFormat(format);
}

void RichEditor::setSelFontName(const QString &family)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{family});
    m_edit->mergeCurrentCharFormat(format);
}

void RichEditor::colorSpans(const QList<TextSpan> &spans, const QColor &color)
{
    QTextCharFormat format;
    format.setForeground(color);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const TextSpan &span : spans) {
        cursor.setPosition(documentPosition(int(span.start)));
        cursor.setPosition(documentPosition(int(span.start + span.length)), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(format);
    }
    cursor.endEditBlock();
}

void RichEditor::undo()
{
    m_edit->undo();
}

QColor RichEditor::colorAt(int offset) const
{
    QTextCursor cursor(document());
    cursor.setPosition(documentPosition(offset) + 1);
    return cursor.charFormat().foreground().color();
}

bool RichEditor::takeFileDrop(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QString path = droppedFile(drop->mimeData());
    if (path.isEmpty())
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        QMetaObject::invokeMethod(
            this, [this, path] { emit fileDropped(path); }, Qt::QueuedConnection);
    return true;
}

bool RichEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit->viewport() && takeFileDrop(event))
        return true;
    if (event->type() == QEvent::MouseButtonPress && watched == m_edit->viewport()) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        emit mouseDown(mouse->buttons(), mouse->modifiers(),
                       m_edit->viewport()->mapTo(this, mouse->position().toPoint()));
    } else if (event->type() == QEvent::KeyPress && watched == m_edit) {
        if (isCtrlTab(*static_cast<QKeyEvent *>(event))) {
            m_edit->insertPlainText(QStringLiteral("\t"));
            return true;
        }
    } else if (event->type() == QEvent::KeyRelease && watched == m_edit) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
            emit keyUp(key->key(), key->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace veltrik
