#include "numbers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace veltrik {
namespace {

constexpr int kSignificantDigits = 15;

// printf into a std::string of the needed size.
template <typename... Args> std::string printed(const char *format, Args... args)
{
    const int size = std::snprintf(nullptr, 0, format, args...);
    std::string out(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, args...);
    out.resize(static_cast<size_t>(size));
    return out;
}

void dropTrailingZeros(std::string &digits)
{
    const auto point = digits.find('.');
    if (point == std::string::npos)
        return;
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.back() == '.')
        digits.pop_back();
}

} // namespace

QString formatNumber(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0)
        return QStringLiteral("0");
    // Round to 15 significant digits in scientific form, then place the decimal point by the exponent,
    // so that no exponent appears and no digit beyond the fifteenth is invented.
    const std::string scientific = printed("%.*e", kSignificantDigits - 1, std::fabs(value));
    const auto e = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    std::string written;
    if (exponent >= 0) {
        if (digits.size() < static_cast<size_t>(exponent) + 1)
            digits.append(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
        written = digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
    } else {
        written = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
    dropTrailingZeros(written);
    return QString::fromStdString(value < 0 ? "-" + written : written);
}

double roundHalfEven(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    // glibc's printf converts the exact binary value and breaks exact ties to the even neighbour.
    return std::strtod(printed("%.*f", decimals, value).c_str(), nullptr);
}

} // namespace veltrik
