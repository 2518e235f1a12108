#include "replace.h"

#include <QStringMatcher>

namespace veltrik {

QString replaceAll(QString text, const QString &pattern, const QString &replacement)
{
    if (pattern.isEmpty())
        return text;
    const QStringMatcher matcher(pattern);
    qsizetype found = matcher.indexIn(text);
    if (found < 0)
        return text;
    QString replaced;
    replaced.reserve(text.size() + std::max<qsizetype>(0, replacement.size() - pattern.size()) * 16);
    qsizetype from = 0;
    while (found >= 0) {
        replaced += QStringView(text).mid(from, found - from);
        replaced += replacement;
        from = found + pattern.size();
        found = matcher.indexIn(text, from);
    }
    replaced += QStringView(text).mid(from);
    return replaced;
}

QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace veltrik
