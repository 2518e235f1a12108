#include "rtfwriter.h"

#include "text/codepage936.h"
#include "text/codepages.h"

#include <QHash>
#include <QList>

#include <cmath>

namespace veltrik {
namespace {

const QString kDefaultFont = QStringLiteral("宋体");
// By ParagraphFormat::Alignment.
const char *const kAlignmentWords[] = {"\\ql", "\\qc", "\\qr", "\\qj"};

void appendHexByte(QByteArray &out, char byte)
{
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[(static_cast<unsigned char>(byte) >> 4) & 0xF];
    out += digits[static_cast<unsigned char>(byte) & 0xF];
}

// Font names are written in code page 936, the document's code page.
QByteArray fontNameBytes(const QString &name)
{
    QByteArray out;
    for (QChar c : name) {
        if (c.unicode() < 0x80 && c != u';' && c != u'\\' && c != u'{' && c != u'}')
            out += char(c.unicode());
        else if (const auto bytes = gbkBytesOf(c.unicode()))
            for (char byte : *bytes)
                appendHexByte(out, byte);
    }
    return out;
}

class RtfWriter {
public:
    explicit RtfWriter(const StyledText &document)
        : m_document(document)
    {
        collectTables();
    }

    QByteArray run()
    {
        m_out.reserve(m_document.text.size() * 12 + 512);
        m_out += "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang2052\\uc1\n";
        writeFontTable();
        writeColorTable();
        m_out += "\\viewkind4\\pard\\plain\\f0\\fs20\n";
        startParagraph();
        for (const FormatRun &run : m_document.runs)
            writeRun(run);
        m_out += "}\n";
        return m_out;
    }

private:
    // Each font and colour once, numbered in order of first use; looked up by hash, so that a document
    // with many fonts or colours is written in linear time.
    void collectTables()
    {
        addFont(kDefaultFont);
        for (const FormatRun &run : m_document.runs) {
            addFont(fontOf(run.format));
            if (run.format.color && !m_colorNumbers.contains(*run.format.color)) {
                m_colorNumbers.insert(*run.format.color, int(m_colors.size()) + 1);
                m_colors.append(*run.format.color);
            }
        }
    }

    void addFont(const QString &font)
    {
        if (!m_fontNumbers.contains(font)) {
            m_fontNumbers.insert(font, int(m_fonts.size()));
            m_fonts.append(font);
        }
    }

    static QString fontOf(const CharFormat &format) { return format.font.isEmpty() ? kDefaultFont : format.font; }

    void writeFontTable()
    {
        m_out += "{\\fonttbl";
        for (qsizetype i = 0; i < m_fonts.size(); ++i)
            m_out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset134 " + fontNameBytes(m_fonts[i]) + ";}";
        m_out += "}\n";
    }

    void writeColorTable()
    {
        m_out += "{\\colortbl ;";
        for (quint32 color : m_colors)
            m_out += "\\red" + QByteArray::number((color >> 16) & 0xFF) + "\\green" +
                     QByteArray::number((color >> 8) & 0xFF) + "\\blue" + QByteArray::number(color & 0xFF) + ";";
        m_out += "}\n";
    }

    QByteArray groupOpening(const CharFormat &format) const
    {
        QByteArray opening = "{\\f" + QByteArray::number(m_fontNumbers.value(fontOf(format)));
        if (format.pointSize > 0)
            opening += "\\fs" + QByteArray::number(std::lround(format.pointSize * 2));
        if (format.color)
            opening += "\\cf" + QByteArray::number(m_colorNumbers.value(*format.color));
        if (format.bold)
            opening += "\\b";
        if (format.italic)
            opening += "\\i";
        if (format.underline)
            opening += "\\ul";
        opening += ' ';
        return opening;
    }

    // Paragraph properties are written outside the runs' groups, where they last until the next \pard:
    // a run's group inherits them, so the \par inside it ends the paragraph in its own format.
    void startParagraph()
    {
        const ParagraphFormat format = m_document.paragraphFormat(m_paragraph);
        if (format == m_paragraphFormat)
            return;
        m_paragraphFormat = format;
        m_out += "\\pard";
        m_out += kAlignmentWords[int(format.alignment)];
        const auto measure = [this](const char *word, int twips) {
            if (twips != 0)
                m_out += word + QByteArray::number(twips);
        };
        measure("\\fi", format.firstLineIndent);
        measure("\\li", format.leftIndent);
        measure("\\ri", format.rightIndent);
        measure("\\sb", format.spaceBefore);
        measure("\\sa", format.spaceAfter);
        m_out += '\n';
    }

    // A run is cut at each paragraph break: the group closes after \par, and the next paragraph's
    // properties come before the group opens again.
    void writeRun(const FormatRun &run)
    {
        const QByteArray opening = groupOpening(run.format);
        const QStringView text = QStringView(m_document.text).mid(run.start, run.length);
        qsizetype from = 0;
        while (from < text.size()) {
            const qsizetype lineBreak = text.indexOf(u"\r\n", from);
            const qsizetype end = lineBreak < 0 ? text.size() : lineBreak;
            m_out += opening;
            m_unicodeSkip = 1;
            writeText(text.sliced(from, end - from));
            if (lineBreak < 0) {
                m_out += "}\n";
                break;
            }
            m_out += "\\par}\n";
            ++m_paragraph;
            startParagraph();
            from = lineBreak + 2;
        }
    }

    void writeText(QStringView text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i].unicode();
            if (unit == u'\t') {
                m_out += "\\tab ";
            } else if (unit == u'\\' || unit == u'{' || unit == u'}') {
                m_out += '\\';
                m_out += char(unit);
            } else if (unit >= 0x20 && unit < 0x80) {
                m_out += char(unit);
            } else {
                writeUnicode(unit);
            }
        }
    }

    // \uN with the bytes code page 936 gives the character, for readers without Unicode.
    void writeUnicode(char16_t unit)
    {
        const QByteArray fallback = fallbackOf(unit);
        if (fallback.size() != m_unicodeSkip) {
            m_unicodeSkip = int(fallback.size());
            m_out += "\\uc" + QByteArray::number(m_unicodeSkip);
        }
        m_out += "\\u" + QByteArray::number(qint16(unit)) + ' ';
        for (char byte : fallback)
            appendHexByte(m_out, byte);
    }

    QByteArray fallbackOf(char16_t unit)
    {
        if (!isDoubleByte(unit))
            return QByteArray("?");
        auto cached = m_fallbacks.constFind(unit);
        if (cached == m_fallbacks.constEnd())
            cached = m_fallbacks.insert(unit, gbkBytesOf(unit).value_or(QByteArray("?")));
        return *cached;
    }

    const StyledText &m_document;
    QStringList m_fonts;
    QHash<QString, int> m_fontNumbers;
    QList<quint32> m_colors;
    QHash<quint32, int> m_colorNumbers;
    qsizetype m_paragraph = 0;
    ParagraphFormat m_paragraphFormat;
    QHash<char16_t, QByteArray> m_fallbacks;
    int m_unicodeSkip = 1;
    QByteArray m_out;
};

} // namespace

QByteArray writeRtf(const StyledText &document)
{
    return RtfWriter(document).run();
}

} // namespace veltrik
