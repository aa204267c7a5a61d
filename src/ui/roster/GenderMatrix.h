#pragma once

#include <QWidget>

class QButtonGroup;
class QRadioButton;

// One row of two radio cells, as the roster windows choose a gender: column 0 stands for the
// stored code 1 (male), column 1 for 2 (female).
class GenderMatrix : public QWidget
{
    Q_OBJECT
public:
    explicit GenderMatrix(const QString &objectName, QWidget *parent = nullptr);

    int selectedColumn() const;
    void selectCellAtColumn(int column);
    // The stored code: selected column + 1.
    int gender() const { return selectedColumn() + 1; }
    // A stored code; anything but 2 shows as column 0.
    void setGender(int gender) { selectCellAtColumn(gender == 2 ? 1 : 0); }

signals:
    // The teacher clicked a cell.
    void genderChanged();

private:
    QButtonGroup *m_group = nullptr;
};
