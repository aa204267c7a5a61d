#include "AttendanceReport.h"

#include "ReportCSVWriter.h"
#include "ReportPaging.h"
#include "RollCallView.h"
#include "StudentIdOrder.h"

#include "core/base/CommonFunc.h"
#include "core/engine/RollCallFigures.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/QuizEntity.h"

#include <algorithm>

AttendanceReport::AttendanceReport(const QuizEntity &quiz, const ReportFramePolicy &policy,
                                   const RollCallLayout &viewLayout)
    : ReportDocument(policy), m_layout(viewLayout), m_totalStudent(int(quiz.allStudents().size()))
{
    for (const StudentEntity &s : quiz.allStudents()) {
        StudentIdNameAnswer row;
        row.setStudentID(s.id().isNull() ? QStringLiteral("") : s.id());
        row.setStudentName(mergeFirstLastString(s.firstName(), s.lastName()));
        row.setStudentNo(s.no());
        m_students.append(row);
    }
    for (const RollCallEntity &rollCall : quiz.allRollCall()) {
        for (const QString &id : rollCall.AbsenceStu().split(QLatin1Char('|'))) {
            if (id.isEmpty())
                continue;
            const auto student = std::find_if(m_students.begin(), m_students.end(),
                                              [&id](const StudentIdNameAnswer &s) { return s.studentID() == id; });
            if (student == m_students.end() || student->isAbsence())
                continue;
            student->setIsAbsence(true);
            m_absentees.append(*student);
        }
    }
    for (const StudentIdNameAnswer &s : m_students)
        if (!s.isAbsence())
            m_attendants.append(s);
    sortByStudentId(m_absentees);
    sortByStudentId(m_attendants);
    setSessionHead(quiz);
    buildPages();
}

ReportFramePolicy AttendanceReport::frame()
{
    return ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::SessionWithReportRow);
}

int AttendanceReport::rowCount() const
{
    return int(std::max(m_absentees.size(), m_attendants.size()));
}

int AttendanceReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void AttendanceReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    RollCallView(m_layout, m_attendants.mid(slice.first, rowPerPage()), m_absentees.mid(slice.first, rowPerPage()),
                 int(m_attendants.size()), int(m_absentees.size()))
        .paint(painter);
}

void AttendanceReport::writeCSVBody(ReportCSVWriter &csv) const
{
    const int absent = int(m_absentees.size()), present = int(m_attendants.size());
    csv.set(2, QStringLiteral("Total Number Of Participants:"));
    csv.set(4, QString::number(participants()));
    csv.nextRow();
    csv.set(2, QStringLiteral("Number Of Absentees:"));
    csv.set(4, QString::number(absent));
    csv.set(5, QStringLiteral("Percentage Of Absentees:"));
    csv.set(7, RollCallFigures::rate(absent, participants()));
    csv.nextRow();
    csv.set(2, QStringLiteral("Number Of Attendants:"));
    csv.set(4, QString::number(present));
    csv.set(5, QStringLiteral("Percentage Of Attendants:"));
    csv.set(7, RollCallFigures::rate(present, participants()));
    csv.nextRow(2);
    csv.set(2, QStringLiteral("Absence"));
    csv.set(5, QStringLiteral("Attendance"));
    csv.nextRow();
    for (int i = 0; i < rowCount(); ++i) {
        if (i < absent)
            csv.set(2, m_absentees.at(i).studentName());
        if (i < present)
            csv.set(5, m_attendants.at(i).studentName());
        csv.nextRow();
    }
}
