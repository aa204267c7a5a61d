#include "StudentSessionReport.h"

#include "ReportCSVWriter.h"
#include "ReportPaging.h"
#include "StudentGradeReportView.h"

#include "core/engine/AnswerScoring.h"
#include "core/engine/StoredAnswers.h"
#include "core/store/QuizEntity.h"

#include <QCoreApplication>

StudentSessionReport::StudentSessionReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                           const ReportFramePolicy &policy, const StudentGradeReportLayout &viewLayout,
                                           const Progress &progress)
    : ReportDocument(policy), m_layout(viewLayout), m_rows(buildRows(quiz, students, progress))
{
    setSessionHead(quiz);
    buildPages();
}

QList<StudentGradeReport> StudentSessionReport::buildRows(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                                          const Progress &progress)
{
    const int questions = int(quiz.allQuestions().size());
    const StoredAnswers stored(quiz);
    QList<StudentGradeReport> rows;
    for (int i = 0; i < students.size(); ++i) {
        if (progress)
            progress(i + 1, int(students.size()));
        const SelectStudents &student = students.at(i);
        if (!student.isSelected())
            continue;
        int points = 0;
        const int right = AnswerScoring::storedRightCount(quiz, stored, student.studentID(), &points);
        StudentGradeReport row;
        row.setStudentNo(student.studentNo());
        row.setStudentID(student.studentID());
        row.setStudentName(student.studentName());
        row.setCorrect(questions > 0 ? right * 100 / questions : 0);
        row.setCorrectRatio(QStringLiteral("%1/%2").arg(right).arg(questions));
        row.setTotalPoints(points);
        rows.append(row);
    }
    return rows;
}

int StudentSessionReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void StudentSessionReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    StudentGradeReportView(m_layout, m_rows.mid(slice.first, slice.count), m_studentID).paint(painter);
}

ReportSideList StudentSessionReport::sideList() const
{
    ReportSideList list;
    list.headers = {QCoreApplication::translate("Report", "Student ID"),
                    QCoreApplication::translate("Report", "Student Name")};
    for (const StudentGradeReport &row : m_rows)
        list.rows.append({row.studentID(), row.studentName()});
    return list;
}

int StudentSessionReport::sideRowSelected(int row)
{
    if (row < 0 || row >= m_rows.size()) {
        m_studentID.clear();
        return 0;
    }
    m_studentID = m_rows.at(row).studentID();
    // The first row of that student (IDs may repeat in a list).
    for (int j = 0; j < m_rows.size(); ++j)
        if (m_rows.at(j).studentID() == m_studentID)
            return ReportPaging::pageOfRow(pages(), j);
    return 0;
}

void StudentSessionReport::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.set(1, QStringLiteral("Student ID"));
    csv.set(3, QStringLiteral("Student Name"));
    csv.set(5, QStringLiteral("Correct Ratio"));
    csv.set(6, QStringLiteral("Correct(%)"));
    csv.set(7, QStringLiteral("Total Point"));
    csv.nextRow();
    for (const StudentGradeReport &row : m_rows) {
        csv.set(1, row.studentID());
        csv.set(3, row.studentName());
        QString ratio = row.correctRatio();
        csv.set(5, ratio.replace(QLatin1Char('/'), QLatin1Char('|')));
        csv.set(6, QString::number(row.correct()));
        csv.set(7, QString::number(row.totalPoints()));
        csv.nextRow();
    }
}
