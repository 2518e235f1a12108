#include "rtfwriter.h"

#include "text/codepages.h"
#include "text/codepage936.h"

#include <QHash>
#include <QList>

#include <cmath>

namespace veltrik {
namespace {

const QString kDefaultFont = QStringLiteral("宋体");

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
    explicit RtfWriter(const StyledText &document) : m_document(document) { collectTables(); }

    QByteArray run()
    {
        m_out.reserve(m_document.text.size() * 12 + 512);
        m_out += "{\\rtf1\\ansi\\ansicpg936\\deff0\\deflang2052\\uc1\n";
        writeFontTable();
        writeColorTable();
        m_out += "\\viewkind4\\pard\\plain\\f0\\fs20\n";
        for (const FormatRun &run : m_document.runs)
            writeRun(run);
        m_out += "}\n";
        return m_out;
    }

private:
    void collectTables()
    {
        m_fonts.append(kDefaultFont);
        for (const FormatRun &run : m_document.runs) {
            const QString font = run.format.font.isEmpty() ? kDefaultFont : run.format.font;
            if (!m_fonts.contains(font))
                m_fonts.append(font);
            if (run.format.color && !m_colors.contains(*run.format.color))
                m_colors.append(*run.format.color);
        }
    }

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
            m_out += "\\red" + QByteArray::number((color >> 16) & 0xFF) + "\\green" + QByteArray::number((color >> 8) & 0xFF) +
                     "\\blue" + QByteArray::number(color & 0xFF) + ";";
        m_out += "}\n";
    }

    void writeRun(const FormatRun &run)
    {
        const CharFormat &format = run.format;
        const QString font = format.font.isEmpty() ? kDefaultFont : format.font;
        m_out += "{\\f" + QByteArray::number(m_fonts.indexOf(font));
        if (format.pointSize > 0)
            m_out += "\\fs" + QByteArray::number(std::lround(format.pointSize * 2));
        if (format.color)
            m_out += "\\cf" + QByteArray::number(m_colors.indexOf(*format.color) + 1);
        if (format.bold)
            m_out += "\\b";
        if (format.italic)
            m_out += "\\i";
        if (format.underline)
            m_out += "\\ul";
        m_out += ' ';
        m_unicodeSkip = 1;
        writeText(QStringView(m_document.text).mid(run.start, run.length));
        m_out += "}\n";
    }

    void writeText(QStringView text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t unit = text[i].unicode();
            if (unit == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                m_out += "\\par\n";
                ++i;
            } else if (unit == u'\t') {
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
    QList<quint32> m_colors;
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
