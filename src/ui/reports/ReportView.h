#pragma once

#include "core/reports/ReportToolTip.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QWidget>

class ReportDocument;

// The page on the screen: one page of a report drawn by the report itself, scaled to the
// widget's size (the zoom), with the page's captions; the same drawing as the PDF's.
class ReportView : public QWidget
{
    Q_OBJECT
public:
    ReportView(const ReportDocument *report, const QRectF &frame, QWidget *parent = nullptr);

    int page() const { return m_page; }
    // Shows page (from 1); the caption says "Page:  page/totalPage".
    void setPage(int page);
    int totalPage() const { return m_totalPage; }
    // Set before setPage: the caption changes only at the next setPage.
    void setTotalPage(int total) { m_totalPage = total; }
    // The caption at the page's foot.
    QString labelPage() const { return m_labelPage; }
    // The page's size at 100 %.
    QRectF defaultFrame() const { return m_defaultFrame; }
    void setDefaultFrame(const QRectF &frame) { m_defaultFrame = frame; }
    // Page units to screen points.
    double scale() const { return m_defaultFrame.width() > 0 ? width() / m_defaultFrame.width() : 1; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    const ReportDocument *m_report;
    QRectF m_defaultFrame;
    int m_page = 0;
    int m_totalPage = 0;
    QString m_labelPage;
    QList<ReportToolTip> m_toolTips;
};
