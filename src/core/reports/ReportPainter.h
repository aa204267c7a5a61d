#pragma once

#include "ReportStyle.h"
#include "ReportToolTip.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>

class QPainter;

// Draws into one view of a report page (the head, a page view) in the views' own coordinates:
// the origin at the view's bottom left, y growing upward, a text drawn at a point having its
// bottom-left corner there. The QPainter paints the whole page in page units (794 x 1123, from
// the top left); it may be a widget's, a PDF writer's or an image's.
class ReportPainter
{
public:
    // frame: the view on the page, from the page's bottom left (as the layouts give it).
    ReportPainter(QPainter &painter, const QRectF &frame, double pageHeight, QList<ReportToolTip> *toolTips = nullptr);

    QPainter &painter() { return m_painter; }
    // A painter on a part of this view (frame from this view's bottom left), for a view drawn
    // inside another.
    ReportPainter subView(const QRectF &frame) const;
    // The view's width and height (W and H of the layouts).
    double width() const { return m_frame.width(); }
    double height() const { return m_frame.height(); }

    // ---- Shapes ----
    void fillRect(double x, double y, double w, double h, const QColor &fill);
    void strokeRect(double x, double y, double w, double h, double lineWidth, const QColor &colour);
    // A shape through points (view coordinates), filled.
    void fillPolygon(const QList<QPointF> &points, const QColor &fill);
    void drawLine(double x1, double y1, double x2, double y2, double lineWidth, const QColor &colour);
    // A framed cell (drawRectWithFillColor).
    void cell(double x, double y, double w, double h, const QColor &fill);
    // A path through points (view coordinates), closed or not, stroked.
    void strokePath(const QList<QPointF> &points, bool closed, double lineWidth = 1, const QColor &colour = Qt::black);

    // ---- Text ----
    void drawText(const QString &text, double x, double y, const QFont &font, const QColor &colour = Qt::black);
    // Ending at right: drawn at right minus its width cut to a whole number.
    void drawTextRightAligned(const QString &text, double right, double y, const QFont &font,
                              const QColor &colour = Qt::black);
    // Centred in a cell of width from x0: at x0 + (width - w) / 2, w the text's width cut to a
    // whole number and the halving an integer one.
    void drawTextCentred(const QString &text, double x0, int width, double y, const QFont &font,
                         const QColor &colour = Qt::black);
    // Centred as drawTextCentred, shortened with "..." to stay 2 points inside the cell's sides; the
    // whole text under the pointer where it was.
    void drawTextCentredWithin(const QString &text, double x0, int width, double y, const QFont &font);
    // At (x, y), shortened with "..." to room; the whole text under the pointer where it was.
    void drawTextWithin(const QString &text, double x, double y, double room, const QFont &font);
    // The place shows text when the pointer rests on it (on the screen only).
    void addToolTip(double x, double y, double w, double h, const QString &text);

    // ---- Bands every report shares ----
    // The orange title bar over the view's top (1, H - 32, W - 2, 31) with its caption ("Report"
    // on most pages) at (4, H - captionDrop).
    void titleBand(const QString &caption, const QFont &font = ReportStyle::arial(22), double captionDrop = 29);
    // The orange note bar under the title bar (1, H - 82, W - 2, 50), the note wrapped at 723.
    void noteBand(const QString &note, const QFont &font = ReportStyle::arial(22));
    // A note's lines, wrapped between words at width (getWordWrappedStrings), the first at (4, y)
    // and each further one 25 lower: every report's note is wrapped this one way, in its band or
    // in a page's own.
    void noteText(const QString &note, double y, double width, const QFont &font);
    // The yellow student bar under the note bar (1, H - 107, W - 2, 24): left text at 7, right
    // text (may be empty) ending at W - 5.
    void studentBand(const QString &left, const QString &right = QString());
    // One row of framed cells of a table at y, each cell (x, y, width, height).
    struct Cell
    {
        double x;
        double width;
    };
    void cellRow(double y, double height, const QList<Cell> &cells, const QColor &fill);
    // A row's values under columns whose captions stand at x with the given widths: each centred
    // under its caption, and shortened with "..." so that it stays between the end of the caption
    // before it and the start of the one after (the view's edges for the first and the last); the
    // whole text shows on the screen when the pointer rests on it.
    void centredValues(const QList<Cell> &captions, const QStringList &values, double y, const QFont &font);

    // "There is no record." across the middle of an empty page (bold, 30), dropped 100 above its
    // half height.
    void noRecord();

    // The note that explains the answer notation on pages showing replies.
    static QString answerNote();

    // A view inside this one (frame from this view's bottom left), drawn on the same page.
    ReportPainter child(const QRectF &frame) const;

private:
    // A rectangle of the view as the painter's page rectangle.
    QRectF pageRect(double x, double y, double w, double h) const;
    QPolygonF pagePolygon(const QList<QPointF> &points) const;
    // The pen of a stroked line, and no fill.
    void setLine(double lineWidth, const QColor &colour);

    QPainter &m_painter;
    QRectF m_frame;
    double m_pageHeight;
    QList<ReportToolTip> *m_toolTips;
};
