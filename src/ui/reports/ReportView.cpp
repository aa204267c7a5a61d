#include "ReportView.h"

#include "core/reports/ReportDocument.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

ReportView::ReportView(const ReportDocument *report, const QRectF &frame, QWidget *parent)
    : QWidget(parent), m_report(report), m_defaultFrame(frame)
{
    setObjectName(QStringLiteral("reportView"));
    setGeometry(frame.toRect());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReportView::setPage(int page)
{
    m_page = page;
    m_labelPage = ReportDocument::pageCaption(m_page, m_totalPage);
    update();
}

void ReportView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.scale(width() / m_defaultFrame.width(), height() / m_defaultFrame.height());
    m_toolTips.clear();
    if (m_report)
        m_report->paintPage(painter, m_page, &m_toolTips);
    else
        painter.fillRect(QRectF(QPointF(0, 0), m_defaultFrame.size()), Qt::white);
}

bool ReportView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QPointF at = QPointF(help->pos()) / scale();
        for (const ReportToolTip &tip : m_toolTips)
            if (tip.rect.contains(at)) {
                QToolTip::showText(help->globalPos(), tip.text, this, tip.rect.toRect());
                return true;
            }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}
