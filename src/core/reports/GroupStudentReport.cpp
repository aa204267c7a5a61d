#include "GroupStudentReport.h"

#include "GroupStudentReportView.h"
#include "ReportCSVWriter.h"
#include "ReportPaging.h"
#include "SessionGroups.h"

GroupStudentReport::GroupStudentReport(const QuizEntity &quiz, const ReportFramePolicy &policy,
                                       const GroupStudentReportLayout &viewLayout)
    : ReportDocument(policy), m_layout(viewLayout)
{
    QList<StudentIdNameAnswer> students = SessionGroups::attendingStudents(quiz);
    m_totalStudent = int(students.size());
    SessionGroups::sortById(students);
    m_groups = SessionGroups::groups(students, quiz);

    // Titles count the groups (1, 2 ...), whatever their numbers; nodes lead to their rows.
    for (int k = 1; k <= m_groups.size(); ++k) {
        const QString title = QStringLiteral("Group %1").arg(k);
        GroupStudentReportPrintDate titleRow;
        titleRow.setFlag(GroupStudentReportPrintDate::GroupTitle);
        titleRow.setTitle(title);
        m_rows.append(titleRow);
        const NodeDataPtr group = NodeData::create(title);
        group->setLine(int(m_rows.size()));
        GroupStudentReportPrintDate heads;
        heads.setFlag(GroupStudentReportPrintDate::ColumnHeads);
        m_rows.append(heads);
        for (const StudentIdNameAnswer &member : m_groups.at(k - 1).studentPointArray()) {
            GroupStudentReportPrintDate row;
            row.setFlag(GroupStudentReportPrintDate::Member);
            row.setStudentName(member.studentName());
            row.setPoint(QString::number(member.totalPoint()));
            m_rows.append(row);
            group->addChild(member.studentName(), true, int(m_rows.size()));
        }
        m_nodes.append(group);
    }
    setSessionHead(quiz);
    buildPages();
}

ReportFramePolicy GroupStudentReport::defaultPolicy()
{
    ReportFramePolicy policy = ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::Session);
    policy.outlineLine = ReportFramePolicy::OutlineLine::Row;
    return policy;
}

int GroupStudentReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void GroupStudentReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    GroupStudentReportView(m_layout, m_rows.mid(slice.first, slice.count)).paint(painter);
}

void GroupStudentReport::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.set(1, QStringLiteral("Report"));
    csv.nextRow();
    for (const GroupStudentReportPrintDate &row : m_rows) {
        switch (row.flag()) {
        case GroupStudentReportPrintDate::GroupTitle:
            csv.set(1, row.title());
            break;
        case GroupStudentReportPrintDate::ColumnHeads:
            csv.set(3, QStringLiteral("Student"));
            csv.set(5, QStringLiteral("Points"));
            break;
        default:
            csv.set(3, row.studentName());
            csv.set(5, row.point());
            break;
        }
        csv.nextRow();
    }
}
