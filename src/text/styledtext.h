#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace veltrik {

// Character formatting as the documents carry it.
struct CharFormat {
    QString font;                 // family; empty for the editor's default
    double pointSize = 0;         // 0 for the editor's default
    std::optional<quint32> color; // 0xRRGGBB; none for the automatic colour
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const CharFormat &) const = default;
};

struct FormatRun {
    qsizetype start = 0;
    qsizetype length = 0;
    CharFormat format;

    bool operator==(const FormatRun &) const = default;
};

// Paragraph formatting as RTF carries it; lengths in twips (1/1440 inch).
struct ParagraphFormat {
    enum class Alignment { Left, Center, Right, Justify };

    Alignment alignment = Alignment::Left;
    int firstLineIndent = 0; // relative to the left indent; negative for a hanging first line
    int leftIndent = 0;
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;

    bool operator==(const ParagraphFormat &) const = default;
};

// Consecutive paragraphs (numbered from 0 in the text) of one format.
struct ParagraphRun {
    qsizetype first = 0;
    qsizetype count = 0;
    ParagraphFormat format;

    bool operator==(const ParagraphRun &) const = default;
};

// Text with its formatting: paragraphs joined by CR LF, as the editor's text, runs of equal character
// formatting that cover it in order, and runs of paragraphs whose format is not the default, in order.
struct StyledText {
    QString text;
    QList<FormatRun> runs;
    QList<ParagraphRun> paragraphs;

    // Appends text in a format; a run of the same format as the last one is extended.
    void append(QStringView more, const CharFormat &format);
    void appendParagraphBreak(const CharFormat &format);
    // Gives a paragraph its format; paragraphs are formatted in increasing order. The default format
    // needs no call.
    void setParagraphFormat(qsizetype paragraph, const ParagraphFormat &format);
    // The format of a paragraph, the default for one no run covers.
    ParagraphFormat paragraphFormat(qsizetype paragraph) const;

    // Without the characters no editor shows: control characters other than tab, CR and LF, Unicode
    // non-characters and unpaired surrogates. Formatting stays on the characters that remain.
    StyledText withoutHiddenCharacters() const;

    static StyledText plain(const QString &text);
    bool operator==(const StyledText &) const = default;
};

} // namespace veltrik
