#pragma once

#include "GroupAndStudentsPoint.h"
#include "GroupStudentReportLayout.h"
#include "GroupStudentReportPrintDate.h"
#include "ReportDocument.h"

#include <QList>

class QuizEntity;

// "Group Student Report": each group of a group session's attending students, titled "Group 1",
// "Group 2" ... in the order of their numbers, with its members in the order of their IDs and
// the points each earned. The outline beside the pages holds a node per group and a leaf per
// member; each leads to the page holding its row.
class GroupStudentReport : public ReportDocument
{
public:
    explicit GroupStudentReport(const QuizEntity &quiz,
                                const ReportFramePolicy &policy = defaultPolicy(),
                                const GroupStudentReportLayout &viewLayout = GroupStudentReportLayout::standard());
    // The window frame, back to the page shown after a PDF, outline lines counting rows.
    static ReportFramePolicy defaultPolicy();

    QString reportName() const override { return QStringLiteral("Group Student Report"); }
    const QList<GroupStudentReportPrintDate> &printPerRowDateArray() const { return m_rows; }
    const QList<GroupAndStudentsPoint> &groupArray() const { return m_groups; }
    int totalStudent() const { return m_totalStudent; }

    QList<NodeDataPtr> outline() const override { return m_nodes; }

protected:
    int rowCount() const override { return int(m_rows.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 5; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const GroupStudentReportLayout &m_layout;
    QList<GroupAndStudentsPoint> m_groups;
    QList<GroupStudentReportPrintDate> m_rows;
    QList<NodeDataPtr> m_nodes;
    int m_totalStudent = 0;
};
