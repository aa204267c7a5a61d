#pragma once

#include "core/presentation/ScreenShotSelection.h"

#include <QImage>
#include <QWidget>

// The dimming curtain over a picture of the screen: the teacher marks a rectangle (drawn new,
// moved with the hand, resized by its eight handles), a double click inside takes it, a right
// click drops it or, with nothing marked, gives up. Either end posts "MESSAGESCREENSHOTCAPTION"
// {"image", "flag"}: the marked part and 1, or an empty image and 0.
class ScreenShotCurtain : public QWidget
{
    Q_OBJECT
public:
    explicit ScreenShotCurtain(QWidget *parent = nullptr);

    void setImage(const QImage &picture) { m_image = picture; }
    const ScreenShotSelection &selection() const { return m_selection; }
    // The rectangle in this widget's coordinates.
    QRect markedRect() const;
    void sendMessageImage(const QImage &image, bool flag);

signals:
    // The capture is over, taken or given up.
    void ended();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPointF up(const QPointF &p) const { return {p.x(), height() - p.y()}; }
    QImage marked() const;
    void updateCursor();

    QImage m_image;
    ScreenShotSelection m_selection;
    bool m_over = false;
};
