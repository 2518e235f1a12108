#pragma once

#include <QString>

#include <random>

namespace veltrik::testing {

// `length` units drawn from `alphabet`; a unit that stands in it twice comes up twice as often.
inline QString randomText(std::mt19937 &random, const QString &alphabet, int length)
{
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text += alphabet[int(random() % alphabet.size())];
    return text;
}

} // namespace veltrik::testing
