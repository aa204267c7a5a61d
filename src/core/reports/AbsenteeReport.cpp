#include "AbsenteeReport.h"

#include "AbsenteeReportView.h"
#include "ReportCSVWriter.h"
#include "ReportPaging.h"
#include "StudentIdOrder.h"

#include "core/base/CommonFunc.h"
#include "core/store/DataManager.h"

AbsenteeReport::AbsenteeReport(const QuizEntity &quiz, const ReportFramePolicy &policy,
                               const AbsenteeReportLayout &viewLayout)
    : ReportDocument(policy), m_layout(viewLayout)
{
    for (const StudentEntity &s : DataManager::getAbsentStudentInfoInOneQuiz(quiz)) {
        StudentGradeReport row;
        row.setStudentNo(s.no());
        row.setStudentID(s.id());
        row.setStudentName(mergeFirstLastString(s.firstName(), s.lastName()));
        m_rows.append(row);
    }
    sortByStudentId(m_rows);
    setSessionHead(quiz);
    buildPages();
}

int AbsenteeReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void AbsenteeReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    AbsenteeReportView(m_layout, m_rows.mid(slice.first, slice.count)).paint(painter);
}

void AbsenteeReport::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.set(1, QStringLiteral("Absentee List"));
    csv.nextRow();
    csv.set(3, QStringLiteral("Student ID"));
    csv.set(5, QStringLiteral("Student Name"));
    csv.nextRow();
    if (m_rows.isEmpty()) {
        csv.noRecord(3);
        return;
    }
    for (const StudentGradeReport &row : m_rows) {
        csv.set(3, row.studentID());
        csv.set(5, row.studentName());
        csv.nextRow();
    }
}
