#include "FigureText.h"

#include "core/base/PrintfNumber.h"

QString FigureText::average(double value)
{
    QString text = PrintfNumber::fixed(value, 1);
    if (text == QLatin1String("-0.0"))
        text = QStringLiteral("0.0");
    return text;
}

QString FigureText::percent(double fraction)
{
    return PrintfNumber::fixed(fraction * 100.0, 2) + QLatin1Char('%');
}

QString FigureText::barValue(double fraction, int count)
{
    return percent(fraction) + QStringLiteral(" \n  (%1)").arg(count);
}
