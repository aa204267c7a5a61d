#pragma once

#include <QColor>
#include <QPushButton>

// One tile of the student grid: a push button that paints itself from its colour. A class logging
// in or answering at once changes a few tiles a millisecond; a tile repaints only when its colour
// or title changes, and its rounded face comes from a few prepared pictures (one per colour), not
// from a style sheet that would re-polish the button and run the style sheet engine every paint.
class StudentGridButton : public QPushButton
{
    Q_OBJECT
public:
    explicit StudentGridButton(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    // The title's colour on a face of this colour: black or white, whichever reads better.
    static QColor textColorOn(const QColor &background);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
};
