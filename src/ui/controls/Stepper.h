#pragma once

#include <QWidget>

class QToolButton;

// A pair of small up and down arrows that step an integer value within a range, without a text
// of its own (the field beside it shows the value).
class Stepper : public QWidget
{
    Q_OBJECT
public:
    explicit Stepper(QWidget *parent = nullptr);

    int value() const { return m_value; }
    // Clamped to the range; no signal.
    void setValue(int value);
    void setRange(int minimum, int maximum);
    void setIncrement(int increment) { m_increment = increment; }
    int increment() const { return m_increment; }

    // The teacher's steps; each clamps at the ends of the range.
    void stepUp();
    void stepDown();

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

signals:
    // Only for a step the teacher made.
    void valueChanged(int value);

private:
    void step(int delta);

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 99;
    int m_increment = 1;
};
