#include "GradebookStudentReport.h"

#include "core/reports/ReportPaging.h"

#include <QCoreApplication>

#include <numeric>

GradebookStudentReport::GradebookStudentReport(const GradebookReportSource &source,
                                               const QList<StudentMarkGrade> &students,
                                               const ReportFramePolicy &policy)
    : ReportDocument(policy), m_source(source), m_students(students)
{
}

void GradebookStudentReport::setRowsPerStudent(const QList<int> &rows, int rowPerPage, int signatureThreshold)
{
    m_rowsPerStudent = rows;
    m_rowPerPage = rowPerPage;
    m_signatureThreshold = signatureThreshold;
}

int GradebookStudentReport::rowCount() const
{
    return std::accumulate(m_rowsPerStudent.begin(), m_rowsPerStudent.end(), 0);
}

int GradebookStudentReport::firstRowOf(int student) const
{
    return std::accumulate(m_rowsPerStudent.begin(), m_rowsPerStudent.begin() + std::clamp(student, 0, int(m_rowsPerStudent.size())), 0);
}

QList<ReportPageSlice> GradebookStudentReport::cutPages() const
{
    return ReportPaging::cutPerOwner(m_rowsPerStudent, m_rowPerPage, m_signatureThreshold);
}

void GradebookStudentReport::paintHead(ReportPainter &painter, const ReportPageSlice &slice) const
{
    if (slice.owner >= 0 && slice.owner < m_students.size())
        paintStudentHead(painter, slice.owner);
}

ReportSideList GradebookStudentReport::sideList() const
{
    ReportSideList list;
    list.headers = {QCoreApplication::translate("Report", "Student Name"),
                    QCoreApplication::translate("Report", "Student ID")};
    for (const StudentMarkGrade &s : m_students)
        list.rows.append({s.studentName(), s.studentID()});
    return list;
}

int GradebookStudentReport::sideRowSelected(int row)
{
    if (row < 0 || row >= m_students.size())
        return 0;
    return ReportPaging::firstPageOfOwner(pages(), row);
}
