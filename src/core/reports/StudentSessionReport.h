#pragma once

#include "ReportDocument.h"
#include "SelectStudents.h"
#include "StudentGradeReport.h"
#include "StudentGradeReportLayout.h"

#include <QList>

#include <functional>

class QuizEntity;

// "Student Session Report": for each ticked student, the questions answered correctly out of
// all, that share as a whole percentage, and the points earned.
class StudentSessionReport : public ReportDocument
{
public:
    using Progress = std::function<void(int done, int total)>;

    StudentSessionReport(const QuizEntity &quiz, const QList<SelectStudents> &students,
                         const ReportFramePolicy &policy = ReportFramePolicy::viewerFrame(),
                         const StudentGradeReportLayout &viewLayout = StudentGradeReportLayout::standard(),
                         const Progress &progress = {});

    // One row per ticked student in the list's order. A session without questions gives each
    // student 0 and "0/0".
    static QList<StudentGradeReport> buildRows(const QuizEntity &quiz, const QList<SelectStudents> &students,
                                               const Progress &progress = {});

    QString reportName() const override { return QStringLiteral("Student Session Report"); }
    const QList<StudentGradeReport> &rowArray() const { return m_rows; }
    // The student outlined on the pages ("" for none).
    QString studentID() const { return m_studentID; }

    ReportSideList sideList() const override;
    int sideRowSelected(int row) override;

protected:
    int rowCount() const override { return int(m_rows.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 7; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const StudentGradeReportLayout &m_layout;
    QList<StudentGradeReport> m_rows;
    QString m_studentID;
};
