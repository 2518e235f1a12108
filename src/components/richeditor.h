#pragma once

#include "text/styledtext.h"
#include "text/textspan.h"

#include <QColor>
#include <QList>
#include <QWidget>

#include <memory>

class QTextDocument;
class QTextEdit;

namespace veltrik {

// The rich-text editor as the program uses it. Its text is the plain text with paragraphs joined by
// CR LF, and every offset and length it takes or gives is counted in UTF-16 code units of that text
// (CR LF counts 2). The document underneath counts a paragraph break as one position; the editor maps
// between the two exactly.
class RichEditor : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RichEditor)

public:
    explicit RichEditor(QWidget *parent = nullptr);

    // Whole content as plain text, paragraphs separated by CR LF.
    QString text() const;
    // Replaces the whole content; the new text takes the default character format. CR LF, lone CR and
    // lone LF each end a paragraph.
    void setText(const QString &text);
    // Replaces the whole content with a copy of a formatted document.
    void setDocumentContent(const QTextDocument &document);
    // The whole content with its character formatting, fonts and sizes resolved against the defaults, and
    // the alignment, indents and spacing of its paragraphs.
    StyledText styledContent() const;
    // Replaces the whole content with formatted text and formatted paragraphs; the undo history starts
    // afresh.
    void setStyledContent(const StyledText &content);
    // The document setStyledContent() shows, built apart from any editor: on any thread, and far faster
    // than filling an editor in place, whose layout follows every insertion. A document built on another
    // thread is moved to the editor's thread before it is adopted.
    static std::unique_ptr<QTextDocument> buildDocument(const StyledText &content);
    // Shows a built document in place of the content (the editor's fonts and tab stops stay); the undo
    // history starts afresh and the caret goes to the start.
    void adoptDocument(std::unique_ptr<QTextDocument> built);

    int selStart() const;
    // Moves the caret to the offset and collapses the selection.
    void setSelStart(int offset);
    int selLength() const;
    // Extends the selection from selStart() over `length` code units.
    void setSelLength(int length);
    QString selText() const;
    // Replaces the selection; the caret ends after the inserted text.
    void setSelText(const QString &text);
    // Colours the selection, or with no selection the text typed next.
    void setSelColor(const QColor &color);
    // Sets the font of the selection, or with no selection of the text typed next.
    void setSelFontName(const QString &family);
    // Colours many spans in one edit, laid out once.
    void colorSpans(const QList<TextSpan> &spans, const QColor &color);
    // Undoes the last edit; nothing happens when there is nothing to undo.
    void undo();

    // Offset mapping between the CR LF text and the document's positions.
    int documentPosition(int textOffset) const;
    int textOffset(int documentPosition) const;

    // Colour of the character at a text offset (for those who check marks).
    QColor colorAt(int textOffset) const;

signals:
    void mouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position);
    void keyUp(int key, Qt::KeyboardModifiers modifiers);
    // A file from the desktop was dropped onto the editor; the editor itself leaves its text alone. Sent
    // once the drop is over, so that opening the file does not keep the dragging program waiting.
    void fileDropped(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QTextDocument *document() const;
    // True when the event was a drag or drop of a file, which the editor takes instead of its text.
    bool takeFileDrop(QEvent *event);

    QTextEdit *m_edit;
};

} // namespace veltrik
