#pragma once

#include <QtGlobal>

namespace veltrik {

// A run of text: offset and length in UTF-16 code units.
struct TextSpan {
    qsizetype start = 0;
    qsizetype length = 0;

    bool operator==(const TextSpan &) const = default;
};

} // namespace veltrik
