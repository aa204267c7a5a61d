#pragma once

#include "RunChildWindow.h"

#include <QList>

class QLabel;
class QPushButton;

// The quick-grouping result ("QuickGroupingResult"): how many logged-in students chose each of
// the groups 1 to 7 and how many chose none.
class QuickGroupingResultController : public RunChildWindow
{
    Q_OBJECT
public:
    explicit QuickGroupingResultController(QWidget *parent = nullptr);

    void onOK();

    QList<QLabel *> groups; // group1 .. group7
    QLabel *absence = nullptr;
    QPushButton *btnOK = nullptr;

protected:
    void windowDidLoad() override;
    void teacherAction(TeacherKeyMap::Action action) override;
    TeacherKeyMap::Context teacherContext() const override { return TeacherKeyMap::Context::OkWindow; }
};
