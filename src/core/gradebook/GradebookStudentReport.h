#pragma once

#include "GradebookReportSource.h"
#include "StudentMarkGrade.h"

#include "core/reports/ReportDocument.h"

#include <QList>

// A gradebook report with a run of pages per student under the student's own head, the students
// listed beside the pages (choosing one shows their first page), and the gradebook's CSV head
// with the subject. A report sets each student's rows with setRowsPerStudent() and then builds
// its pages.
class GradebookStudentReport : public ReportDocument
{
public:
    const GradebookReportSource &source() const { return m_source; }
    const QList<StudentMarkGrade> &students() const { return m_students; }
    // The rows of every student, counted across the students (the CSV's rows).
    int rowCount() const override;
    // The first row of student i and how many rows are theirs.
    int firstRowOf(int student) const;
    int rowCountOf(int student) const { return m_rowsPerStudent.value(student); }

    ReportSideList sideList() const override;
    int sideRowSelected(int row) override;

protected:
    GradebookStudentReport(const GradebookReportSource &source, const QList<StudentMarkGrade> &students,
                           const ReportFramePolicy &policy = ReportFramePolicy::gradebookFrame());

    // rowPerPage rows on a page; a last page holding more than signatureThreshold rows is
    // followed by a page with the signature block alone.
    void setRowsPerStudent(const QList<int> &rows, int rowPerPage, int signatureThreshold);
    QList<ReportPageSlice> cutPages() const override;
    // The head of the page's student (none on the page of a report without students).
    void paintHead(ReportPainter &painter, const ReportPageSlice &slice) const override;
    virtual void paintStudentHead(ReportPainter &painter, int student) const = 0;
    QString csvSubject() const override { return m_source.subjectName; }

private:
    GradebookReportSource m_source;
    QList<StudentMarkGrade> m_students;
    QList<int> m_rowsPerStudent;
    int m_rowPerPage = 1;
    int m_signatureThreshold = -1;
};
