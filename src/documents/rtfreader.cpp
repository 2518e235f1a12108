#include "rtfreader.h"

#include "text/codepages.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <cctype>

namespace veltrik {
namespace {

constexpr int kDeepestGroup = 4096;
constexpr int kDefaultCodePage = 1252;
constexpr double kDefaultPointSize = 12;
// Word's own bound for indents and spacing: 22 inches.
constexpr int kLargestTwips = 31680;

// SkipObject is an object's content: skipped, but for the result the object shows.
enum class Destination { Body, Skip, SkipObject, FontTable, ColorTable };

// Text after \dbch is double-byte text and takes the associated properties (\af, \afs, \ab, \ai) where
// they are given, as LibreOffice and Word write Chinese runs (a \f after \dbch names its font too, as Word
// writes it); \loch and \hich return to the others.
struct AssociatedFormat {
    bool active = false;
    std::optional<int> fontNumber;
    std::optional<double> pointSize;
    std::optional<bool> bold;
    std::optional<bool> italic;
};

struct GroupState {
    Destination destination = Destination::Body;
    CharFormat format;
    int fontNumber = -1;
    AssociatedFormat associated;
    ParagraphFormat paragraph;
    int unicodeSkip = 1;
};

struct FontEntry {
    QString name;
    std::optional<int> codePage;
};

// Destinations whose content is not body text.
bool isSkippedDestination(const QByteArray &word)
{
    static const QList<QByteArray> skipped = {"stylesheet",
                                              "info",
                                              "pict",
                                              "header",
                                              "headerl",
                                              "headerr",
                                              "headerf",
                                              "footer",
                                              "footerl",
                                              "footerr",
                                              "footerf",
                                              "footnote",
                                              "annotation",
                                              "shp",
                                              "shpinst",
                                              "shprslt",
                                              "nonshppict",
                                              "fldinst",
                                              "xe",
                                              "tc",
                                              "txe",
                                              "listtable",
                                              "listoverridetable",
                                              "revtbl",
                                              "rsidtbl",
                                              "filetbl",
                                              "themedata",
                                              "colorschememapping",
                                              "latentstyles",
                                              "datastore",
                                              "xmlnstbl",
                                              "generator",
                                              "pgdsctbl",
                                              "userprops",
                                              "template",
                                              "docvar",
                                              "bkmkstart",
                                              "bkmkend"};
    return skipped.contains(word);
}

// Control words that stand for one character.
std::optional<QString> specialCharacter(const QByteArray &word)
{
    static const QHash<QByteArray, QString> characters = {
        {"tab", u"\t"_qs},           {"cell", u"\t"_qs},       {"nestcell", u"\t"_qs},    {"emdash", u"\u2014"_qs},
        {"endash", u"\u2013"_qs},    {"lquote", u"\u2018"_qs}, {"rquote", u"\u2019"_qs},  {"ldblquote", u"\u201C"_qs},
        {"rdblquote", u"\u201D"_qs}, {"bullet", u"\u2022"_qs}, {"emspace", u"\u2003"_qs}, {"enspace", u"\u2002"_qs},
        {"qmspace", u"\u2005"_qs},   {"zwj", u"\u200D"_qs},    {"zwnj", u"\u200C"_qs},    {"ltrmark", u"\u200E"_qs},
        {"rtlmark", u"\u200F"_qs}};
    const auto found = characters.find(word);
    return found == characters.end() ? std::nullopt : std::optional(*found);
}

bool isParagraphBreak(const QByteArray &word)
{
    return word == "par" || word == "line" || word == "row" || word == "sect" || word == "page" || word == "nestrow";
}

class RtfParser {
public:
    explicit RtfParser(QByteArrayView bytes)
        : m_in(bytes)
    {
    }

    DocumentResult run();

private:
    GroupState &state() { return m_groups.last(); }
    bool atEnd() const { return m_pos >= m_in.size(); }

    bool openGroup();
    bool closeGroup();
    void controlWord();
    void controlSymbol();
    void textByte(char byte);
    void hexByte();
    void bodyWord(const QByteArray &word, bool hasParameter, int parameter);
    void formatWord(const QByteArray &word, bool hasParameter, int parameter);
    bool paragraphWord(const QByteArray &word, int parameter);
    void endParagraph();
    void fontTableWord(const QByteArray &word, int parameter);
    void colorTableWord(const QByteArray &word, int parameter);
    bool consumesSkip();

    void output(const QString &text);
    void flushBytes();
    bool associatedWord(const QByteArray &word, bool on, int parameter);
    int effectiveFontNumber();
    CharFormat effectiveFormat();
    int codePageOfState();
    void finishFontName();

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    QList<GroupState> m_groups;
    bool m_nextIsOptionalDestination = false;
    bool m_atGroupStart = false;
    int m_documentCodePage = kDefaultCodePage;
    int m_defaultFont = 0;
    int m_skipRemaining = 0;
    QByteArray m_pendingBytes;
    QHash<int, FontEntry> m_fonts;
    int m_fontBeingDefined = -1;
    QByteArray m_fontNameBytes;
    QList<std::optional<quint32>> m_colors;
    quint32 m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorHasComponents = false;
    StyledText m_out;
    qsizetype m_paragraph = 0;
    ParagraphFormat m_lastTextParagraph;
    bool m_damaged = false;
};

DocumentResult RtfParser::run()
{
    if (!looksLikeRtf(m_in))
        return DocumentResult::failure(DocumentResult::Status::NotThisFormat, u"不是 RTF 文件"_qs);
    GroupState outside;
    outside.format.pointSize = kDefaultPointSize;
    m_groups.append(outside);
    while (!atEnd() && !m_damaged) {
        const char byte = m_in[m_pos++];
        if (byte == '{') {
            if (!openGroup())
                return DocumentResult::failure(DocumentResult::Status::Damaged, u"RTF 文件已损坏（嵌套过深）"_qs);
        } else if (byte == '}') {
            if (!closeGroup())
                break;
        } else if (byte == '\\') {
            if (!atEnd() && (std::isalpha(static_cast<unsigned char>(m_in[m_pos]))))
                controlWord();
            else
                controlSymbol();
        } else if (byte != '\r' && byte != '\n') {
            textByte(byte);
        }
    }
    flushBytes();
    m_out.setParagraphFormat(m_paragraph, m_lastTextParagraph);
    if (m_damaged)
        return DocumentResult::ok(std::move(m_out),
                                  u"RTF 文件已损坏：二进制数据超出了文件末尾，只读出了它前面的内容"_qs);
    return DocumentResult::ok(std::move(m_out));
}

bool RtfParser::openGroup()
{
    flushBytes();
    if (m_groups.size() >= kDeepestGroup)
        return false;
    m_groups.append(m_groups.last());
    m_skipRemaining = 0;
    m_atGroupStart = true;
    m_nextIsOptionalDestination = false;
    return true;
}

// False once the outermost group is closed: what follows is not part of the document.
bool RtfParser::closeGroup()
{
    flushBytes();
    if (state().destination == Destination::FontTable && m_fontBeingDefined >= 0 && !m_fontNameBytes.isEmpty())
        finishFontName();
    m_groups.removeLast();
    m_skipRemaining = 0;
    m_atGroupStart = false;
    return m_groups.size() > 1;
}

void RtfParser::controlWord()
{
    const qsizetype start = m_pos;
    while (!atEnd() && std::isalpha(static_cast<unsigned char>(m_in[m_pos])))
        ++m_pos;
    const QByteArray word = m_in.sliced(start, m_pos - start).toByteArray();
    bool negative = false;
    if (!atEnd() && m_in[m_pos] == '-') {
        negative = true;
        ++m_pos;
    }
    const qsizetype digits = m_pos;
    qint64 value = 0;
    while (!atEnd() && std::isdigit(static_cast<unsigned char>(m_in[m_pos])) && m_pos - digits < 10)
        value = value * 10 + (m_in[m_pos++] - '0');
    const bool hasParameter = m_pos > digits;
    if (!atEnd() && m_in[m_pos] == ' ')
        ++m_pos;
    const int parameter = int(std::clamp<qint64>(negative ? -value : value, -2147483647, 2147483647));

    const bool groupStart = m_atGroupStart;
    m_atGroupStart = false;
    if (word == "bin") {
        // Raw bytes follow; they are never text.
        const qsizetype length = hasParameter && parameter > 0 ? parameter : 0;
        if (length > m_in.size() - m_pos)
            m_damaged = true;
        m_pos = std::min(m_in.size(), m_pos + length);
        return;
    }
    if (consumesSkip())
        return;
    if (groupStart || m_nextIsOptionalDestination) {
        const bool optional = m_nextIsOptionalDestination;
        m_nextIsOptionalDestination = false;
        if (word == "fonttbl") {
            state().destination = Destination::FontTable;
            return;
        }
        if (word == "colortbl") {
            state().destination = Destination::ColorTable;
            return;
        }
        // A field's result shows where the field stands; an object's result shows in its place.
        if (word == "fldrslt")
            return;
        if (word == "result") {
            if (state().destination == Destination::SkipObject)
                state().destination = Destination::Body;
            return;
        }
        if (word == "object") {
            flushBytes();
            state().destination = Destination::SkipObject;
            return;
        }
        if (optional || isSkippedDestination(word)) {
            flushBytes();
            state().destination = Destination::Skip;
            return;
        }
    }
    switch (state().destination) {
    case Destination::Skip:
    case Destination::SkipObject:
        return;
    case Destination::FontTable:
        fontTableWord(word, parameter);
        return;
    case Destination::ColorTable:
        colorTableWord(word, parameter);
        return;
    case Destination::Body:
        bodyWord(word, hasParameter, parameter);
        return;
    }
}

void RtfParser::controlSymbol()
{
    if (atEnd())
        return;
    const char symbol = m_in[m_pos++];
    m_atGroupStart = m_atGroupStart && symbol == '*';
    if (symbol == '*') {
        m_nextIsOptionalDestination = true;
        return;
    }
    if (symbol == '\'') {
        hexByte();
        return;
    }
    if (consumesSkip())
        return;
    if (symbol == '\\' || symbol == '{' || symbol == '}') {
        textByte(symbol);
        return;
    }
    if (state().destination != Destination::Body)
        return;
    if (symbol == '~')
        output(u"\u00A0"_qs);
    else if (symbol == '_')
        output(u"\u2011"_qs);
    else if (symbol == '\r' || symbol == '\n')
        endParagraph();
    else if (symbol == '\t')
        output(u"\t"_qs);
}

// Inside a \uN fallback every character, \'hh and control word counts as one and is dropped.
bool RtfParser::consumesSkip()
{
    if (m_skipRemaining <= 0)
        return false;
    --m_skipRemaining;
    return true;
}

void RtfParser::textByte(char byte)
{
    m_atGroupStart = false;
    if (consumesSkip())
        return;
    if (state().destination == Destination::Body || state().destination == Destination::FontTable) {
        if (byte == '\t' && state().destination == Destination::Body) {
            output(u"\t"_qs);
            return;
        }
        if (state().destination == Destination::FontTable && byte == ';') {
            finishFontName();
            return;
        }
        if (state().destination == Destination::FontTable)
            m_fontNameBytes += byte;
        else
            m_pendingBytes += byte;
    } else if (state().destination == Destination::ColorTable && byte == ';') {
        m_colors.append(m_colorHasComponents ? std::optional<quint32>((m_red << 16) | (m_green << 8) | m_blue)
                                             : std::nullopt);
        m_red = m_green = m_blue = 0;
        m_colorHasComponents = false;
    }
}

void RtfParser::hexByte()
{
    auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    int value = 0;
    int digits = 0;
    for (; digits < 2 && !atEnd(); ++digits) {
        const int nibble = hexValue(m_in[m_pos]);
        if (nibble < 0)
            break;
        value = value * 16 + nibble;
        ++m_pos;
    }
    if (consumesSkip())
        return;
    // A broken escape (\'z, \'4 at the end) stands for no byte at all.
    if (digits < 2)
        return;
    if (state().destination == Destination::FontTable)
        m_fontNameBytes += char(value);
    else if (state().destination == Destination::Body)
        m_pendingBytes += char(value);
}

void RtfParser::bodyWord(const QByteArray &word, bool hasParameter, int parameter)
{
    if (word == "u" && hasParameter) {
        flushBytes();
        // A signed or unsigned 16-bit code unit; anything else is no character at all.
        if (parameter >= -32768 && parameter <= 65535)
            output(QString(QChar(char16_t(parameter < 0 ? parameter + 65536 : parameter))));
        m_skipRemaining = state().unicodeSkip;
        return;
    }
    if (word == "uc") {
        state().unicodeSkip = std::max(0, parameter);
        return;
    }
    if (isParagraphBreak(word)) {
        endParagraph();
        return;
    }
    if (const auto character = specialCharacter(word)) {
        output(*character);
        return;
    }
    if (word == "ansicpg" && hasParameter) {
        m_documentCodePage = parameter;
        return;
    }
    if (word == "mac")
        m_documentCodePage = 10000;
    else if (word == "pc")
        m_documentCodePage = 437;
    else if (word == "pca")
        m_documentCodePage = 850;
    else if (word == "deff")
        m_defaultFont = parameter;
    else
        formatWord(word, hasParameter, parameter);
}

void RtfParser::formatWord(const QByteArray &word, bool hasParameter, int parameter)
{
    const bool on = !hasParameter || parameter != 0;
    CharFormat &format = state().format;
    flushBytes();
    if (associatedWord(word, on, parameter) || paragraphWord(word, parameter))
        return;
    if (word == "plain") {
        format = CharFormat();
        format.pointSize = kDefaultPointSize;
        state().fontNumber = m_defaultFont;
        state().associated = AssociatedFormat();
        format.font = m_fonts.value(m_defaultFont).name;
    } else if (word == "b") {
        format.bold = on;
    } else if (word == "i") {
        format.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw") {
        format.underline = on;
    } else if (word == "ulnone") {
        format.underline = false;
    } else if (word == "cf") {
        format.color = parameter > 0 && parameter < m_colors.size() ? m_colors[parameter] : std::nullopt;
    } else if (word == "f") {
        state().fontNumber = parameter;
        format.font = m_fonts.value(parameter).name;
        // Word writes "\dbch\f31505": after \dbch, \f names the double-byte font as \af does.
        if (state().associated.active)
            state().associated.fontNumber = parameter;
    } else if (word == "fs" && parameter > 0) {
        format.pointSize = parameter / 2.0;
    }
}

bool RtfParser::paragraphWord(const QByteArray &word, int parameter)
{
    using Alignment = ParagraphFormat::Alignment;
    ParagraphFormat &paragraph = state().paragraph;
    const int twips = std::clamp(parameter, -kLargestTwips, kLargestTwips);
    if (word == "pard")
        paragraph = ParagraphFormat();
    else if (word == "ql")
        paragraph.alignment = Alignment::Left;
    else if (word == "qc")
        paragraph.alignment = Alignment::Center;
    else if (word == "qr")
        paragraph.alignment = Alignment::Right;
    else if (word == "qj" || word == "qd")
        paragraph.alignment = Alignment::Justify;
    else if (word == "fi")
        paragraph.firstLineIndent = twips;
    else if (word == "li" || word == "lin")
        paragraph.leftIndent = twips;
    else if (word == "ri" || word == "rin")
        paragraph.rightIndent = twips;
    else if (word == "sb")
        paragraph.spaceBefore = std::max(0, twips);
    else if (word == "sa")
        paragraph.spaceAfter = std::max(0, twips);
    else
        return false;
    return true;
}

// A paragraph takes the format in effect where it ends.
void RtfParser::endParagraph()
{
    if (state().destination != Destination::Body)
        return;
    output(u"\r\n"_qs);
    m_out.setParagraphFormat(m_paragraph++, state().paragraph);
    m_lastTextParagraph = ParagraphFormat();
}

bool RtfParser::associatedWord(const QByteArray &word, bool on, int parameter)
{
    AssociatedFormat &associated = state().associated;
    if (word == "dbch")
        associated.active = true;
    else if (word == "loch" || word == "hich")
        associated.active = false;
    else if (word == "af")
        associated.fontNumber = parameter;
    else if (word == "afs" && parameter > 0)
        associated.pointSize = parameter / 2.0;
    else if (word == "ab")
        associated.bold = on;
    else if (word == "ai")
        associated.italic = on;
    else
        return false;
    return true;
}

int RtfParser::effectiveFontNumber()
{
    const AssociatedFormat &associated = state().associated;
    return associated.active && associated.fontNumber ? *associated.fontNumber : state().fontNumber;
}

CharFormat RtfParser::effectiveFormat()
{
    CharFormat format = state().format;
    const AssociatedFormat &associated = state().associated;
    if (!associated.active)
        return format;
    if (associated.fontNumber)
        format.font = m_fonts.value(*associated.fontNumber).name;
    format.pointSize = associated.pointSize.value_or(format.pointSize);
    format.bold = associated.bold.value_or(format.bold);
    format.italic = associated.italic.value_or(format.italic);
    return format;
}

void RtfParser::fontTableWord(const QByteArray &word, int parameter)
{
    if (word == "f") {
        m_fontBeingDefined = parameter;
        m_fontNameBytes.clear();
    } else if (word == "fcharset" && m_fontBeingDefined >= 0) {
        m_fonts[m_fontBeingDefined].codePage = codePageOfCharset(parameter);
    } else if (word == "cpg" && m_fontBeingDefined >= 0) {
        m_fonts[m_fontBeingDefined].codePage = parameter;
    }
}

void RtfParser::colorTableWord(const QByteArray &word, int parameter)
{
    const quint32 component = quint32(std::clamp(parameter, 0, 255));
    if (word == "red")
        m_red = component;
    else if (word == "green")
        m_green = component;
    else if (word == "blue")
        m_blue = component;
    else
        return;
    m_colorHasComponents = true;
}

void RtfParser::finishFontName()
{
    if (m_fontBeingDefined < 0)
        return;
    FontEntry &font = m_fonts[m_fontBeingDefined];
    font.name = decodeCodePage(m_fontNameBytes, font.codePage.value_or(m_documentCodePage)).trimmed();
    m_fontNameBytes.clear();
    m_fontBeingDefined = -1;
}

int RtfParser::codePageOfState()
{
    const auto font = m_fonts.constFind(effectiveFontNumber());
    if (font != m_fonts.constEnd() && font->codePage)
        return *font->codePage;
    return m_documentCodePage;
}

// Bytes are collected until something else comes, so that the two bytes of a double-byte character
// are decoded together.
void RtfParser::flushBytes()
{
    if (m_pendingBytes.isEmpty())
        return;
    if (state().destination == Destination::Body) {
        m_out.append(decodeCodePage(m_pendingBytes, codePageOfState()), effectiveFormat());
        m_lastTextParagraph = state().paragraph;
    }
    m_pendingBytes.clear();
}

void RtfParser::output(const QString &text)
{
    flushBytes();
    if (state().destination == Destination::Body) {
        m_out.append(text, effectiveFormat());
        m_lastTextParagraph = state().paragraph;
    }
}

} // namespace

bool looksLikeRtf(QByteArrayView bytes)
{
    return bytes.startsWith("{\\rtf");
}

DocumentResult readRtf(QByteArrayView bytes)
{
    return RtfParser(bytes).run();
}

} // namespace veltrik
