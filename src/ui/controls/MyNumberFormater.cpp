#include "MyNumberFormater.h"

QValidator::State MyNumberFormater::validate(QString &input, int &) const
{
    for (QChar c : input)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return Invalid;
    return Acceptable;
}
