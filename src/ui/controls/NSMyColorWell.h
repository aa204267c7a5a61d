#pragma once

#include <QAbstractButton>
#include <QColor>

class QColorDialog;

// A colour well that follows the shared colour panel. Opening the panel from the well posts
// "BigQuestionBeginDoModal" (the activity window lowers itself so the panel is not hidden behind
// it) and its closing posts "BigQuestionEndDoModal", both with the well as object. While the
// well is the one that opened the panel, each colour chosen there becomes the well's colour and
// is announced with colorChanged (the well's action).
class NSMyColorWell : public QAbstractButton
{
    Q_OBJECT
public:
    explicit NSMyColorWell(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    bool isActive() const { return m_active; }
    void deactivate();

    // The one colour panel of the program.
    static QColorDialog *sharedColorPanel();

    QSize sizeHint() const override { return {44, 24}; }

signals:
    void colorChanged(const QColor &color);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void colorPanelWillClose();
    void changeColorWhenActive(const QColor &color);

    QColor m_color = Qt::black;
    bool m_active = false;
};
