#include "Stepper.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

Stepper::Stepper(QWidget *parent) : QWidget(parent)
{
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setFixedSize(18, 12);
        b->setFocusPolicy(Qt::NoFocus);
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, &Stepper::stepUp);
    connect(m_down, &QToolButton::clicked, this, &Stepper::stepDown);
}

void Stepper::setValue(int value)
{
    m_value = std::clamp(value, m_minimum, m_maximum);
}

void Stepper::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setValue(m_value);
}

void Stepper::stepUp()
{
    step(m_increment);
}

void Stepper::stepDown()
{
    step(-m_increment);
}

void Stepper::step(int delta)
{
    const int before = m_value;
    setValue(m_value + delta);
    if (m_value != before)
        emit valueChanged(m_value);
}
