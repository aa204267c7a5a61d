#include "ReportQuestionLines.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"

#include <algorithm>

namespace ReportQuestionLines {

SingleColumnString line(int num, const QString &text, int messageType)
{
    SingleColumnString row;
    row.setNum(num);
    row.setStr(text);
    row.setNMessageType(messageType);
    return row;
}

QList<SingleColumnString> textLines(const QString &text, double width, const QFont &font)
{
    QList<SingleColumnString> rows;
    const QStringList lines = getWordWrappedStrings(text, width, font);
    // However long the text, its lines keep below the marker's number.
    for (int k = 0; k < lines.size(); ++k)
        rows.append(line(kTextBase + std::min(k, kMarker - kTextBase - 1), lines.at(k)));
    return rows;
}

QList<SingleColumnString> optionLines(const QStringList &options, double width, const QFont &font)
{
    QList<SingleColumnString> rows;
    for (int j = 0; j < options.size() && j < kMaxOptions; ++j) {
        const QStringList lines = getWordWrappedStrings(options.at(j), width, font);
        // An option's line number stays within its two digits of the code.
        for (int k = 0; k < lines.size(); ++k)
            rows.append(line(kOptionBase + 100 * j + std::min(k, 98), lines.at(k), j + 1));
    }
    return rows;
}

bool isTextLine(const SingleColumnString &row)
{
    return row.num() >= kTextBase && row.num() < kMarker;
}

bool isOptionLine(const SingleColumnString &row)
{
    return row.num() >= kOptionBase && row.num() < kTextBase;
}

bool startsOption(const SingleColumnString &row)
{
    return (row.num() - 1) % 100 == 0;
}

QString letterLabel(const SingleColumnString &row)
{
    return QString(QChar(u'A' + (row.num() % 1000) / 100)) + QLatin1Char('.');
}

QString csvOptionText(const SingleColumnString &row, int previousMessageType)
{
    if (row.nMessageType() == previousMessageType)
        return row.str();
    return QString(QChar(u'A' + row.nMessageType() - 1)) + QLatin1Char('.') + row.str();
}

void drawOptionLine(ReportPainter &painter, const SingleColumnString &row, double y, double letterX, double textX,
                    double tipX, const QFont &font)
{
    if (letterX >= 0 && startsOption(row))
        painter.drawText(letterLabel(row), letterX, y, font);
    const double room = painter.width() - 2 - textWidthF(QStringLiteral("A."), font);
    painter.drawText(getStringWithSuspensionPoint(row.str(), room, font), textX, y, font);
    painter.addToolTip(tipX, y, painter.width() - 2, 25, row.str());
}

void drawTextLine(ReportPainter &painter, const QString &text, double x, double y, double tipX, const QFont &font)
{
    painter.drawText(getStringWithSuspensionPoint(text, painter.width() - 2, font), x, y, font);
    painter.addToolTip(tipX, y, painter.width() - 2, 25, text);
}

} // namespace ReportQuestionLines
