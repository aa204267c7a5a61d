#include "StudentPointsList.h"

#include "ReportCSVWriter.h"
#include "ReportPaging.h"
#include "StudentIdOrder.h"
#include "StudentPointsListView.h"

#include "core/store/GlobalFunctions.h"
#include "core/store/QuizEntity.h"

#include <algorithm>

StudentPointsList::StudentPointsList(const QuizEntity &quiz, const ReportFramePolicy &policy,
                                     const StudentPointsListLayout &viewLayout)
    : ReportDocument(policy), m_layout(viewLayout), m_rows(buildRows(quiz))
{
    setSessionHead(quiz);
    buildPages();
}

QList<StudentGradeReport> StudentPointsList::buildRows(const QuizEntity &quiz)
{
    QList<StudentGradeReport> rows;
    for (const StudentEntity &student : quiz.allStudents()) {
        StudentGradeReport row;
        row.setStudentNo(student.no());
        row.setStudentID(student.id().isNull() ? QStringLiteral("") : student.id());
        row.setStudentName(student.firstName().isNull() ? QStringLiteral("") : student.firstName());
        row.setTotalPoints(GlobalFunctions::intValue(student.totalMark()));
        rows.append(row);
    }
    sortByStudentId(rows);
    return rows;
}

int StudentPointsList::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void StudentPointsList::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    StudentPointsListView(m_layout, m_rows.mid(slice.first, slice.count)).paint(painter);
}

void StudentPointsList::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.set(2, QStringLiteral("Student Name"));
    csv.set(4, QStringLiteral("Student Points"));
    csv.nextRow();
    for (const StudentGradeReport &row : m_rows) {
        csv.set(2, row.studentName());
        csv.set(4, QString::number(row.totalPoints()));
        csv.nextRow();
    }
}
