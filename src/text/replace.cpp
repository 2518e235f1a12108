#include "replace.h"

namespace veltrik {

QString replaceAll(QString text, const QString &pattern, const QString &replacement)
{
    if (pattern.isEmpty())
        return text;
    return text.replace(pattern, replacement, Qt::CaseSensitive);
}

} // namespace veltrik
