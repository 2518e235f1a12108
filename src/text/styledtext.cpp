#include "styledtext.h"

#include <algorithm>

namespace veltrik {
namespace {

bool isHidden(QStringView text, qsizetype i)
{
    const char16_t unit = text[i].unicode();
    if (unit < 0x20)
        return unit != u'\t' && unit != u'\r' && unit != u'\n';
    if (unit == 0xFFFE || unit == 0xFFFF || (unit >= 0xFDD0 && unit <= 0xFDEF))
        return true;
    if (QChar::isHighSurrogate(unit))
        return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    if (QChar::isLowSurrogate(unit))
        return i == 0 || !text[i - 1].isHighSurrogate();
    return false;
}

bool hasHidden(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isHidden(text, i))
            return true;
    return false;
}

} // namespace

void StyledText::append(QStringView more, const CharFormat &format)
{
    if (more.isEmpty())
        return;
    if (!runs.isEmpty() && runs.last().format == format && runs.last().start + runs.last().length == text.size())
        runs.last().length += more.size();
    else
        runs.append({text.size(), more.size(), format});
    text += more;
}

void StyledText::appendParagraphBreak(const CharFormat &format)
{
    append(u"\r\n", format);
}

void StyledText::setParagraphFormat(qsizetype paragraph, const ParagraphFormat &format)
{
    if (format == ParagraphFormat())
        return;
    if (!paragraphs.isEmpty()) {
        ParagraphRun &last = paragraphs.last();
        if (last.first + last.count == paragraph && last.format == format) {
            ++last.count;
            return;
        }
    }
    paragraphs.append({paragraph, 1, format});
}

ParagraphFormat StyledText::paragraphFormat(qsizetype paragraph) const
{
    const auto startsAfter = [](qsizetype index, const ParagraphRun &run) { return index < run.first; };
    const auto after = std::upper_bound(paragraphs.begin(), paragraphs.end(), paragraph, startsAfter);
    if (after == paragraphs.begin())
        return {};
    const ParagraphRun &run = *(after - 1);
    return paragraph < run.first + run.count ? run.format : ParagraphFormat();
}

StyledText StyledText::withoutHiddenCharacters() const
{
    if (!hasHidden(text))
        return *this;
    StyledText shown;
    shown.text.reserve(text.size());
    for (const FormatRun &run : runs) {
        QString kept;
        for (qsizetype i = run.start; i < run.start + run.length; ++i)
            if (!isHidden(text, i))
                kept += text[i];
        shown.append(kept, run.format);
    }
    shown.paragraphs = paragraphs;
    return shown;
}

StyledText StyledText::plain(const QString &text)
{
    StyledText styled;
    styled.append(text, CharFormat());
    return styled;
}

} // namespace veltrik
