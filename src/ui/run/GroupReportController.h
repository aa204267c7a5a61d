#pragma once

#include "RunChildWindow.h"

#include "core/engine/GroupPoints.h"

#include <memory>

class QPushButton;
class QTableWidget;

// The report of a group run ("GroupReport"): per group its points on the question in hand and
// over the run, the extra points the teacher gives it on this question, and the final sum. Its
// detail command opens the question report in group mode. The extra points typed show at once
// and stay with OK; every other way out (Cancel, F2 on the keyboard or the teacher keypad, the
// keypad's Exit, Escape, the close box) gives them back as they were when the window opened.
class GroupReportController : public RunChildWindow
{
    Q_OBJECT
public:
    enum Column { GroupNo, CurrentPoints, TotalPoints, AppendPoints, FinallyPoints };

    explicit GroupReportController(QWidget *parent = nullptr);
    ~GroupReportController() override;

    int nQuestionNo() const { return m_nQuestionNo; }
    void setNQuestionNo(int q) { m_nQuestionNo = q; }
    int nMode() const { return m_nMode; }
    void setNMode(int v) { m_nMode = v; }

    void onOK();
    void onCancel();
    void onDetail();

    QTableWidget *tableview = nullptr;
    QPushButton *btnDetail = nullptr, *btnOK = nullptr, *btnCancel = nullptr;

protected:
    void windowDidLoad() override;
    void teacherAction(TeacherKeyMap::Action action) override;
    void done(int result) override;

private:
    void appendEdited(int row, int column);
    void refreshFinal();

    int m_nQuestionNo = 1;
    int m_nMode = 0;
    std::unique_ptr<GroupPoints> m_points;
    // Each group's extra points on the question as the window opened with them.
    QList<int> m_openedAppend;
    bool m_filling = false;
    // Closed: an edit its editor hands over as it goes changes nothing.
    bool m_done = false;
};
