#include "MyComboBox.h"

#include <QAbstractItemView>
#include <QFontMetrics>

#include <algorithm>

MyComboBox::MyComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // Items may come from a model of their own: measure whenever it changes.
    connect(this, &QComboBox::currentIndexChanged, this, [this] { setFit(); });
}

void MyComboBox::setFit()
{
    const QFontMetrics metrics(font());
    int w = 0;
    for (int i = 0; i < count(); ++i)
        w = std::max(w, metrics.boundingRect(itemText(i)).width());
    m_fWidth = w + 50;
}

int MyComboBox::listWidth() const
{
    return std::max(m_fWidth, width()) - 1;
}

void MyComboBox::showPopup()
{
    setFit();
    view()->setMinimumWidth(listWidth());
    QComboBox::showPopup();
}

void MyComboBox::hidePopup()
{
    QComboBox::hidePopup();
    emit comboBoxSelectionDidChange(this);
}
