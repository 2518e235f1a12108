#pragma once

#include "documents/result.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QTextDocument;
class QThread;
class QWidget;

namespace veltrik {

class Desktop;
class RichEditor;

// Opening and saving the article of one window's editor. Each window has its own, and each remembers the
// path last chosen in it and offers it in its next dialog.
class DocumentFiles {
public:
    // The open dialog lists .docx with the Word documents (preselected) and ends with every file; the
    // save dialog offers the three kinds the program has always offered.
    static inline const QString kOpenFilter =
        QStringLiteral("WORD文档(*.doc *.docx);;文本文件(*.txt);;写字板文件(*.rtf);;PDF文档(*.pdf);;所有文件(*.*)");
    static inline const QString kSaveFilter = QStringLiteral("WORD文档(*.doc);;文本文件(*.txt);;写字板文件(*.rtf)");

    // Reads a document as loadDocument() does, on a thread of its own: it touches no widget.
    using Reader = std::function<DocumentResult(const QString &path, bool wordWay, const std::atomic_bool *cancelled)>;

    DocumentFiles(QWidget &window, RichEditor &editor, Desktop &desktop, Reader reader = Reader());

    // Asks for a file and puts its text into the editor: a name ending in "doc", "DOC" or "Doc" as
    // plain text the Word way, anything else through the editor's own load (RTF keeps its formatting).
    // The file is read in the background: the window keeps painting, and when reading takes a moment a
    // busy indicator with a cancel button comes up. The editor keeps its text until the new one is ready,
    // and keeps it when the user cancels.
    // A file that cannot be opened gets a message naming it and the reason; the editor keeps its text. A
    // file that had to be mended to be read (a bad byte replaced) opens with a notice that says so.
    // Whether or not anything was read, the whole text then turns black and the caret goes to the start.
    void open();
    // Opens a file chosen elsewhere (dropped onto the editor) as open() opens a chosen one.
    void openFile(const QString &path);
    // Asks for a name, turns the selection black, and writes the whole document as RTF under that name.
    // The dialog proposes the last path with the extension .rtf, so that an opened Word document is not
    // overwritten by accident; replacing an existing file needs a Yes to a question that names it.
    void save();

    // The file name (without its folder) of the file last opened into the editor or saved from it; empty
    // until one is. When the editor gets its text another way (cleared, or a saved check's article put
    // in), the window says so with setArticleFile(): an empty path for none.
    QString articleFileName() const;
    void setArticleFile(const QString &path);

    // The name the save dialog proposes for the last path chosen.
    static QString proposedSaveName(const QString &lastPath);

private:
    struct ReadDocument {
        DocumentResult result;
        std::unique_ptr<QTextDocument> document; // what the editor shows, when read
    };
    struct ReadJob;

    // True when the editor shows the file's text (black, the caret at the start).
    bool loadInto(const QString &path);
    std::optional<ReadDocument> readInBackground(const QString &path, bool wordWay);
    static void readDocument(ReadJob &job, const Reader &reader, const QString &path, bool wordWay,
                             QThread *windowThread);
    void turnTextBlack();
    QString chooseSavePath();
    bool confirmReplace(const QString &path);

    QWidget &m_window;
    RichEditor &m_editor;
    Desktop &m_desktop;
    Reader m_reader;
    QString m_lastPath;
    QString m_articlePath;
};

} // namespace veltrik
