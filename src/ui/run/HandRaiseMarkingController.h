#pragma once

#include "RunChildWindow.h"

#include <QList>

class QButtonGroup;
class QPushButton;
class QRadioButton;

// The points for a student who raised a hand ("HandRaiseMarking"): a column of choices from +10
// down to -10 in steps of 2, moved with the teacher keypad's Previous and Next keys and taken
// with F1. Closed any other way it gives 0.
class HandRaiseMarkingController : public RunChildWindow
{
    Q_OBJECT
public:
    static constexpr int kRows = 11;

    explicit HandRaiseMarkingController(QWidget *parent = nullptr);

    int nPoint() const { return m_nPoint; }
    int selectedRow() const;
    // Points of a row: +10 for the top row (0) down to -10 for the bottom row (10).
    static int pointsOfRow(int row) { return 10 - 2 * row; }

    void OK();
    // The row above (from the top row: the bottom one); down(): the row below, round to the top.
    void up();
    void down();

    QList<QRadioButton *> matrix;
    QPushButton *btnOK = nullptr;

protected:
    void teacherAction(TeacherKeyMap::Action action) override;
    TeacherKeyMap::Context teacherContext() const override { return TeacherKeyMap::Context::OkWindow; }

private:
    void select(int row);

    QButtonGroup *m_group = nullptr;
    int m_nPoint = 0;
};
