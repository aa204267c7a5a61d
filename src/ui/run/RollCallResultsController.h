#pragma once

#include "RunChildWindow.h"

#include "core/engine/QuizParticipantData.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QWidget;

// The attendance result ("RollCallResults"): how many of the class are present and absent, as
// numbers and rates, with a drawer listing the absentees.
class RollCallResultsController : public RunChildWindow
{
    Q_OBJECT
public:
    explicit RollCallResultsController(QWidget *parent = nullptr);

    const QList<StudentInClassPtr> &arrayAbsentees() const { return m_absentees; }
    bool bListIsOpen() const { return m_bListIsOpen; }

    void onOK();
    // Opens or closes the absentee list.
    void onList();

    QWidget *drawer = nullptr;
    QTableWidget *tableView = nullptr;
    QLabel *numberOfParticipants = nullptr, *numberOfAttendants = nullptr, *percentageOfAttendants = nullptr,
           *numberOfAbsentees = nullptr, *percentageOfAbsentees = nullptr;
    QPushButton *btnList = nullptr, *btnOK = nullptr;

protected:
    void windowDidLoad() override;
    void teacherAction(TeacherKeyMap::Action action) override;

private:
    QList<StudentInClassPtr> m_absentees;
    bool m_bListIsOpen = false;
};
