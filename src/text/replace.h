#pragma once

#include <QString>

namespace veltrik {

// One pass over text, left to right, replacing every non-overlapping occurrence of `pattern` (exact,
// case-sensitive) by `replacement`; the result is not searched again. An empty pattern changes nothing.
QString replaceAll(QString text, const QString &pattern, const QString &replacement);

// Removes leading and trailing spaces (U+0020 only; other white space stays).
QString trimSpaces(const QString &text);

} // namespace veltrik
