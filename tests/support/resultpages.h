#pragma once

#include <QString>

namespace veltrik::testing {

// Pieces of result pages as the search engine writes them, for tests.

// Enough double-byte text to count as a result page.
inline QString fillerText(qsizetype characters = 600)
{
    return u"<p>"_qs + u"文"_qs.repeated(characters) + u"</p>"_qs;
}

inline QString highlighted(qsizetype length, const QString &tag = u"em"_qs)
{
    return u"<"_qs + tag + u">"_qs + u"x"_qs.repeated(length) + u"</"_qs + tag + u">"_qs;
}

// A result item: the JSON attribute in single quotes, directly followed by the c-tip-icon anchor.
inline QString resultItem(const QString &title, const QString &url)
{
    return u"<div data-tools='{\"title\":\""_qs + title + u"\",\"url\":\""_qs + url +
           u"\"}'><a class=\"c-tip-icon\"></a></div>"_qs;
}

// A result page whose highlights add up to `highlightLength` characters.
inline QString resultPage(qsizetype highlightLength, const QString &items = QString())
{
    return fillerText() + u"<em>"_qs + u"匹"_qs.repeated(highlightLength) + u"</em>"_qs + items;
}

} // namespace veltrik::testing
