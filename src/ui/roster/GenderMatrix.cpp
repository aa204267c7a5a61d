#include "GenderMatrix.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>

GenderMatrix::GenderMatrix(const QString &objectName, QWidget *parent) : QWidget(parent)
{
    setObjectName(objectName);
    m_group = new QButtonGroup(this);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const QStringList titles{tr("Male"), tr("Female")};
    for (int column = 0; column < titles.size(); ++column) {
        auto *cell = new QRadioButton(titles.at(column), this);
        cell->setObjectName(QStringLiteral("%1_%2").arg(objectName).arg(column));
        m_group->addButton(cell, column);
        layout->addWidget(cell);
    }
    layout->addStretch();
    selectCellAtColumn(0);
    connect(m_group, &QButtonGroup::idClicked, this, &GenderMatrix::genderChanged);
}

int GenderMatrix::selectedColumn() const
{
    return qMax(0, m_group->checkedId());
}

void GenderMatrix::selectCellAtColumn(int column)
{
    if (QAbstractButton *cell = m_group->button(column))
        cell->setChecked(true);
}
