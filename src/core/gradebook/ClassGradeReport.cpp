#include "ClassGradeReport.h"

#include "ClassGradeReportView.h"
#include "ClassGradeStatisticsReportView.h"
#include "CourseGradeCalculator.h"
#include "GradebookReportDrawing.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportCSVWriter.h"
#include "core/reports/ReportPaging.h"

#include <QCoreApplication>

#include <cmath>

namespace {
ReportFramePolicy classGradeFrame()
{
    ReportFramePolicy policy = ReportFramePolicy::gradebookFrame();
    policy.head = ReportFramePolicy::Head::Fixed;
    policy.pageSize = QSizeF(794, 1130);
    return policy;
}
} // namespace

ClassGradeReport::ClassGradeReport(const GradebookReportSource &source, const QList<StudentMarkGrade> &students,
                                   float classAvg, const ClassGradeReportLayout &layout)
    : ReportDocument(classGradeFrame()), m_layout(layout), m_source(source), m_students(students)
{
    m_head.setTitle(QCoreApplication::translate("Report", "Class Grade Report"));
    m_head.setSubjectGrade(source.subjectGrade);
    m_head.setClassName(source.className);
    m_head.setSubjectName(source.subjectName);
    m_head.setTeacherName(source.teacherName);
    m_head.setWeightTitle(source.weightTitle);
    m_head.setLetterTitle(source.letterTitle);
    // The average of nobody has no letter.
    m_head.setClassAvg(students.isEmpty() ? QStringLiteral("None")
                                          : CourseGradeCalculator::letterFor(std::trunc(classAvg), source.conversionLetterArray));
    m_head.setWeightListArray(source.sessionWeightArray);
    m_head.setLetterGradeListArray(source.conversionLetterArray);
    m_head.setGradingPeriod(source.gradingPeriod());
    buildPages();
}

QList<ReportPageSlice> ClassGradeReport::cutPages() const
{
    QList<ReportPageSlice> pages;
    if (!m_students.isEmpty())
        pages = ReportPaging::cut(int(m_students.size()), m_layout.rowPerPage);
    for (ReportPageSlice &page : pages)
        page.hasSignature = false;
    pages.append({0, int(m_students.size()), 0, false});
    return pages;
}

QRectF ClassGradeReport::headFrame(const ReportPageSlice &) const
{
    return QRectF(25, 600, 744, 520);
}

QRectF ClassGradeReport::bodyFrame(const ReportPageSlice &) const
{
    return QRectF(25, 40, 744, 550);
}

void ClassGradeReport::paintHead(ReportPainter &painter, const ReportPageSlice &) const
{
    m_head.paint(painter, m_layout.headTextWidth, m_layout.headLines);
}

void ClassGradeReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    if (isStatisticsPage(slice))
        ClassGradeStatisticsReportView(m_layout, m_students, m_source.conversionLetterArray).paint(painter);
    else
        ClassGradeReportView(m_layout, m_students.mid(slice.first, slice.count), m_source.conversionLetterArray)
            .paint(painter);
}

void ClassGradeReport::writeCSVBody(ReportCSVWriter &csv) const
{
    const QString head[][2] = {{"Class:", m_head.className()},
                               {"Subject:", m_head.subjectName()},
                               {"Teacher:", m_head.teacherName()},
                               {"Class Avg:", m_head.classAvg()},
                               {"Grading Period:", m_head.gradingPeriod()}};
    for (const auto &line : head) {
        csv.set(2, line[0]);
        csv.set(4, line[1]);
        csv.nextRow();
    }
    for (const QString &text : {m_source.weightTitle, m_head.weightText(), m_source.letterTitle, m_head.letterText()}) {
        csv.set(1, text);
        csv.nextRow();
    }
    csv.nextRow();
    csv.set(1, QStringLiteral("Report"));
    csv.nextRow();
    csv.set(1, QStringLiteral("Student Name"));
    csv.set(5, QStringLiteral("Student Points"));
    csv.set(6, QStringLiteral("Session Grade"));
    csv.nextRow();
    for (const StudentMarkGrade &student : m_students) {
        csv.set(1, student.studentName());
        csv.set(5, PrintfNumber::fixed(student.total(), 1));
        csv.set(6, student.grade());
        csv.nextRow();
    }
}

void ClassGradeReport::writeCSVFoot(ReportCSVWriter &csv, const QDate &day) const
{
    csv.footer(day);
}
