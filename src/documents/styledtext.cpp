#include "styledtext.h"

namespace veltrik {

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

StyledText StyledText::plain(const QString &text)
{
    StyledText styled;
    styled.append(text, CharFormat());
    return styled;
}

} // namespace veltrik
