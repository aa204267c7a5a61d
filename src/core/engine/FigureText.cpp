#include "FigureText.h"

QString FigureText::average(double value)
{
    QString text = QString::asprintf("%.1f", value);
    if (text == QLatin1String("-0.0"))
        text = QStringLiteral("0.0");
    return text;
}

QString FigureText::percent(double fraction)
{
    return QString::asprintf("%.2f%%", fraction * 100.0);
}

QString FigureText::barValue(double fraction, int count)
{
    return QString::asprintf("%.2f%% %c  (%d)", fraction * 100.0, '\n', count);
}
