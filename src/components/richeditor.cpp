#include "richeditor.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

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

} // namespace

RichEditor::RichEditor(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QTextEdit(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
    m_edit->setAcceptRichText(false);
    m_edit->setTabChangesFocus(false);
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

void RichEditor::setDocumentContent(const QTextDocument &content)
{
    m_edit->setDocument(content.clone(m_edit));
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

bool RichEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && watched == m_edit->viewport()) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        emit mouseDown(mouse->buttons(), mouse->modifiers(), mouse->position().toPoint());
    } else if (event->type() == QEvent::KeyRelease && watched == m_edit) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
            emit keyUp(key->key(), key->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace veltrik
