#include "ReportCardReport.h"

#include "GradebookReportDrawing.h"
#include "ReportCardView.h"

#include "core/base/PrintfNumber.h"
#include "core/reports/ReportCSVWriter.h"
#include "core/reports/ReportPaging.h"

#include <QCoreApplication>

namespace {
ReportFramePolicy reportCardFrame()
{
    ReportFramePolicy policy = ReportFramePolicy::gradebookFrame();
    policy.pdf = ReportFramePolicy::Pdf::AllPagesBackToFirst;
    return policy;
}
} // namespace

ReportCardReport::ReportCardReport(const QList<CourseGradeEntity> &courseGradeList,
                                   const QList<SelectStudents> &studentList, const ReportCardLayout &layout)
    : ReportDocument(reportCardFrame()), m_layout(layout)
{
    for (const SelectStudents &row : studentList) {
        if (!row.isSelected())
            continue;
        ReportCard card;
        card.setStudentNum(row.studentNo());
        card.setStudentId(row.studentID());
        card.setStudentName(row.studentName());
        for (const CourseGradeEntity &grade : courseGradeList)
            for (const CourseGradeDetail &detail : grade.allGradeDetails())
                if (detail.studentID() == card.studentId()) {
                    SubjectMark line;
                    line.setSubjectName(grade.subjectName());
                    line.setMark(detail.mark());
                    line.setLetter(detail.letterGrade());
                    card.subjectMarkArray() << line;
                }
        m_lines << card.subjectMarkArray();
        m_cards << card;
    }
    if (!courseGradeList.isEmpty())
        m_gradingPeriod = courseGradeList.first().period().unique_title();
    buildPages();
}

int ReportCardReport::rowCount() const
{
    return int(m_lines.size());
}

QList<ReportPageSlice> ReportCardReport::cutPages() const
{
    QList<int> lines;
    for (const ReportCard &card : m_cards)
        lines << int(card.subjectMarkArray().size());
    return ReportPaging::cutPerOwner(lines, m_layout.linesPerPage);
}

QRectF ReportCardReport::headFrame(const ReportPageSlice &) const
{
    return QRectF(25, 923, 744, 140);
}

QRectF ReportCardReport::bodyFrame(const ReportPageSlice &) const
{
    return QRectF(25, 70, 744, 840);
}

ReportCardHeadView ReportCardReport::headView(const ReportPageSlice &slice) const
{
    ReportCardHeadView head;
    head.setTitle(QCoreApplication::translate("Report", "Report Card"));
    if (slice.owner >= 0 && slice.owner < m_cards.size())
        head.setStudentName(m_cards.at(slice.owner).studentName());
    head.setGradingPeriod(m_gradingPeriod);
    return head;
}

void ReportCardReport::paintHead(ReportPainter &painter, const ReportPageSlice &slice) const
{
    headView(slice).paint(painter);
}

void ReportCardReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    ReportCardView(m_layout, m_lines.mid(slice.first, slice.count)).paint(painter);
}

ReportSideList ReportCardReport::sideList() const
{
    ReportSideList list;
    list.headers = {QCoreApplication::translate("Report", "Student Name"),
                    QCoreApplication::translate("Report", "Student ID")};
    for (const ReportCard &card : m_cards)
        list.rows.append({card.studentName(), card.studentId()});
    return list;
}

int ReportCardReport::sideRowSelected(int row)
{
    if (row < 0 || row >= m_cards.size())
        return 0;
    for (int i = 0; i <= row; ++i)
        if (m_cards.at(i).studentId() == m_cards.at(row).studentId())
            return ReportPaging::firstPageOfOwner(pages(), i);
    return 0;
}

void ReportCardReport::writeCSVBody(ReportCSVWriter &csv) const
{
    for (int i = 0; i < m_cards.size(); ++i) {
        const ReportCard &card = m_cards.at(i);
        if (i > 0)
            csv.nextRow(2);
        csv.set(2, QStringLiteral("Student:"));
        csv.set(4, card.studentName());
        csv.nextRow();
        csv.set(2, QStringLiteral("Grading Period:"));
        csv.set(4, m_gradingPeriod);
        csv.nextRow();
        csv.set(1, QStringLiteral("Subject"));
        csv.set(4, QStringLiteral("Points"));
        csv.set(5, QStringLiteral("Student Grade"));
        csv.nextRow();
        for (const SubjectMark &line : card.subjectMarkArray()) {
            csv.set(1, line.subjectName());
            csv.set(4, PrintfNumber::fixed(line.mark(), 1));
            csv.set(5, line.letter());
            csv.nextRow();
        }
    }
}
