#include "PrintfNumber.h"

#include <charconv>

QString PrintfNumber::fixed(double value, int decimals)
{
    // to_chars with a precision is printf's conversion in the "C" locale; the largest double
    // takes 309 digits before the point.
    char buffer[384];
    const std::to_chars_result done =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (done.ec != std::errc())
        return QString::asprintf("%.*f", decimals, value);
    return QString::fromLatin1(buffer, done.ptr - buffer);
}
