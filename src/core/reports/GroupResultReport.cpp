#include "GroupResultReport.h"

#include "GroupResultView.h"
#include "ReportCSVWriter.h"
#include "ReportPaging.h"
#include "SessionGroups.h"

#include <QCoreApplication>

GroupResultReport::GroupResultReport(const QuizEntity &quiz, const ReportFramePolicy &policy,
                                     const GroupResultLayout &viewLayout)
    : ReportDocument(policy), m_layout(viewLayout)
{
    const QList<StudentIdNameAnswer> students = SessionGroups::attendingStudents(quiz);
    m_totalStudent = int(students.size());
    m_groups = SessionGroups::groups(students, quiz);
    setSessionHead(quiz);
    buildPages();
}

int GroupResultReport::rowPerPageFor(int nameLines) const
{
    return ReportPaging::rowPerPage(m_layout.rowsBase, nameLines);
}

void GroupResultReport::paintBody(ReportPainter &painter, const ReportPageSlice &slice) const
{
    GroupResultView(m_layout, m_groups.mid(slice.first, slice.count)).paint(painter);
}

ReportSideList GroupResultReport::sideList() const
{
    ReportSideList list;
    list.headers = {QCoreApplication::translate("Report", "Group No"),
                    QCoreApplication::translate("Report", "Total Points")};
    for (const GroupAndStudentsPoint &g : m_groups)
        list.rows.append({QString::number(g.groupNo()), QString::number(g.totalPoint())});
    return list;
}

int GroupResultReport::sideRowSelected(int row)
{
    return row < 0 ? 0 : ReportPaging::pageOfRow(pages(), row);
}

void GroupResultReport::writeCSVBody(ReportCSVWriter &csv) const
{
    csv.set(1, QStringLiteral("Report"));
    csv.nextRow();
    csv.set(2, QStringLiteral("Group No"));
    csv.set(3, QStringLiteral("Points"));
    csv.set(4, QStringLiteral("Extra Points"));
    csv.set(5, QStringLiteral("Total Points"));
    csv.nextRow();
    for (const GroupAndStudentsPoint &g : m_groups) {
        csv.set(2, QString::number(g.groupNo()));
        csv.set(3, QString::number(g.point()));
        csv.set(4, QString::number(g.appendPoint()));
        csv.set(5, QString::number(g.totalPoint()));
        csv.nextRow();
    }
}
