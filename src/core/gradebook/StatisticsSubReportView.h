#pragma once

#include <QList>
#include <QStringList>

class ReportPainter;

// The legend of the grade statistics: per letter its bar's colour, the letter and its count, then
// the total.
class StatisticsSubReportView
{
public:
    StatisticsSubReportView(const QStringList &stringArray, const QList<int> &countArray);

    void paint(ReportPainter &painter) const;

private:
    QStringList m_stringArray;
    QList<int> m_countArray;
};
