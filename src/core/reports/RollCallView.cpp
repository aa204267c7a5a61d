#include "RollCallView.h"

#include "ReportDrawing.h"
#include "ReportPainter.h"
#include "ReportStyle.h"

#include "core/engine/RollCallFigures.h"

#include <QCoreApplication>

#include <algorithm>

RollCallView::RollCallView(const RollCallLayout &layout, const QList<StudentIdNameAnswer> &attendantsArray,
                           const QList<StudentIdNameAnswer> &absentArray, int numOfAttendants, int numOfAbsentees)
    : m_layout(layout), m_attendants(attendantsArray), m_absentees(absentArray), m_numOfAttendants(numOfAttendants),
      m_numOfAbsentees(numOfAbsentees)
{
}

void RollCallView::paint(ReportPainter &painter) const
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("Report", text); };
    const double W = painter.width(), H = painter.height();
    const QFont font = ReportStyle::arial(m_layout.textSize);
    painter.titleBand(tr("Report"));

    const int participants = m_numOfAbsentees + m_numOfAttendants;
    painter.cell(1, H - m_layout.summaryDrop, W - 2, m_layout.summaryHeight, ReportStyle::paleBlue());
    const struct
    {
        const char *label;
        int count;
    } counts[] = {{"Total Number Of Participants:", participants},
                  {"Number Of Absentees:", m_numOfAbsentees},
                  {"Number Of Attendants:", m_numOfAttendants}};
    for (int k = 0; k < 3; ++k) {
        const double y = H - m_layout.lineDrops[k];
        painter.drawTextRightAligned(tr(counts[k].label), m_layout.countLabelRight, y, font);
        painter.drawText(QString::number(counts[k].count), m_layout.countX, y, font);
        if (k == 0)
            continue;
        painter.drawTextRightAligned(tr(k == 1 ? "Percentage Of Absentees:" : "Percentage Of Attendants:"),
                                     m_layout.rateLabelRight, y, font);
        painter.drawText(RollCallFigures::rate(counts[k].count, participants), m_layout.rateX, y, font);
    }

    const QString absence = tr("Absence"), attendance = tr("Attendance");
    painter.cell(1, H - m_layout.headingDrop, W - 2, 25, ReportStyle::yellow());
    painter.drawText(absence, m_layout.absenceX, H - m_layout.captionDrop, font);
    painter.drawText(attendance, m_layout.attendanceX, H - m_layout.captionDrop, font);

    const int k = int(std::max(m_absentees.size(), m_attendants.size()));
    if (k > 0)
        painter.cell(1, H - m_layout.headingDrop - 25 * k, W - 2, 25 * k, ReportStyle::paleBlue());
    // Each column's names stay between left and right, centred where the layout puts them.
    const auto column = [&](const QList<StudentIdNameAnswer> &list, int x, const QString &caption, double left,
                            double right) {
        const int width = textWidth(caption, font);
        const double centre = x + width / 2;
        const double room = 2 * std::min(centre - left, right - centre);
        for (int i = 0; i < list.size(); ++i) {
            const double y = H - m_layout.firstEntryDrop - 25 * i;
            const QString &whole = list.at(i).studentName();
            const QString name = getStringWithSuspensionPoint(whole, room, font);
            painter.drawTextCentred(name, x, width, y, font);
            if (name != whole)
                painter.addToolTip(centre - room / 2, y, room, 25, whole);
        }
    };
    // The two columns meet half way between their centres.
    const double middle = (m_layout.absenteeNameX + textWidth(absence, font) / 2 + m_layout.attendantNameX
                           + textWidth(attendance, font) / 2) / 2.0;
    column(m_absentees, m_layout.absenteeNameX, absence, 5, middle - 5);
    column(m_attendants, m_layout.attendantNameX, attendance, middle + 5, W - 5);
}
