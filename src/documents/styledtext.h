#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace veltrik {

// Character formatting as the documents carry it.
struct CharFormat {
    QString font;                  // family; empty for the editor's default
    double pointSize = 0;          // 0 for the editor's default
    std::optional<quint32> color;  // 0xRRGGBB; none for the automatic colour
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

// Text with its formatting: paragraphs joined by CR LF, as the editor's text, and runs of equal
// formatting that cover it in order.
struct StyledText {
    QString text;
    QList<FormatRun> runs;

    // Appends text in a format; a run of the same format as the last one is extended.
    void append(QStringView more, const CharFormat &format);
    void appendParagraphBreak(const CharFormat &format);

    static StyledText plain(const QString &text);
    bool operator==(const StyledText &) const = default;
};

} // namespace veltrik
