#pragma once

#include "GroupAndStudentsPoint.h"
#include "GroupResultLayout.h"
#include "ReportDocument.h"

#include <QList>

class QuizEntity;

// "Group Result": one row per group of a group session's attending students, with the points its
// members earned together, the group's extra points and the total; the groups are listed beside
// the pages.
class GroupResultReport : public ReportDocument
{
public:
    explicit GroupResultReport(const QuizEntity &quiz,
                               const ReportFramePolicy &policy = ReportFramePolicy::windowFrameBackToShown(ReportFramePolicy::CsvHead::Session),
                               const GroupResultLayout &viewLayout = GroupResultLayout::standard());

    QString reportName() const override { return QStringLiteral("Group Result"); }
    // Ascending by group number.
    const QList<GroupAndStudentsPoint> &groupArray() const { return m_groups; }
    int totalStudent() const { return m_totalStudent; }

    ReportSideList sideList() const override;
    int sideRowSelected(int row) override;

protected:
    int rowCount() const override { return int(m_groups.size()); }
    int rowPerPageFor(int nameLines) const override;
    void paintBody(ReportPainter &painter, const ReportPageSlice &slice) const override;
    int csvColumns() const override { return 5; }
    void writeCSVBody(ReportCSVWriter &csv) const override;

private:
    const GroupResultLayout &m_layout;
    QList<GroupAndStudentsPoint> m_groups;
    int m_totalStudent = 0;
};
