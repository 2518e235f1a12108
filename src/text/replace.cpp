#include "replace.h"

namespace veltrik {

QString replaceAll(QString text, const QString &pattern, const QString &replacement)
{
    if (pattern.isEmpty())
        return text;
    return text.replace(pattern, replacement, Qt::CaseSensitive);
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
