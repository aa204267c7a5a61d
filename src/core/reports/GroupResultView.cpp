#include "GroupResultView.h"

#include "ReportPainter.h"
#include "ReportStyle.h"

#include <QCoreApplication>

GroupResultView::GroupResultView(const GroupResultLayout &layout, const QList<GroupAndStudentsPoint> &groups)
    : m_layout(layout), m_groups(groups)
{
}

void GroupResultView::paint(ReportPainter &painter) const
{
    const double H = painter.height();
    QFont bold = ReportStyle::arial(22);
    bold.setBold(true);
    painter.titleBand(QCoreApplication::translate("Report", "REPORT"), bold);

    const QFont font = ReportStyle::arial(m_layout.textSize);
    const auto row = [&](double y, const QColor &fill, const QStringList &texts) {
        for (int c = 0; c < m_layout.columns.size(); ++c) {
            const GroupResultLayout::Column &column = m_layout.columns.at(c);
            painter.cell(column.x, y, column.width, m_layout.cellHeight, fill);
            painter.drawTextCentred(texts.value(c), column.x, column.width, y + m_layout.textLift, font);
        }
    };
    QStringList captions;
    for (const GroupResultLayout::Column &column : m_layout.columns)
        captions << QCoreApplication::translate("Report", column.caption);
    row(H - m_layout.headingDrop, ReportStyle::yellow(), captions);
    for (int i = 0; i < m_groups.size(); ++i) {
        const GroupAndStudentsPoint &g = m_groups.at(i);
        row(H - m_layout.headingDrop - m_layout.cellHeight * (i + 1), ReportStyle::paleBlue(),
            {QString::number(g.groupNo()), QString::number(g.point()), QString::number(g.appendPoint()),
             QString::number(g.totalPoint())});
    }
}
