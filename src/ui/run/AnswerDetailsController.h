#pragma once

#include "RunChildWindow.h"

#include "core/engine/QuizParticipantData.h"

class QLabel;
class QPushButton;
class QTableWidget;

// One student's answers over the question set ("AnswerDetails"): per question the answer and
// its points by the activity's rule (Hand Raise: the points the teacher gave).
class AnswerDetailsController : public RunChildWindow
{
    Q_OBJECT
public:
    explicit AnswerDetailsController(QWidget *parent = nullptr);

    void setStudentInfo(const StudentInClassPtr &student) { m_studentInfo = student; }
    int nMode() const { return m_nMode; }
    void setNMode(int v) { m_nMode = v; }

    void onOK();

    QLabel *studentID = nullptr;
    QTableWidget *tableView = nullptr;
    QPushButton *btnOK = nullptr;

protected:
    void windowDidLoad() override;
    void teacherAction(TeacherKeyMap::Action action) override;

private:
    StudentInClassPtr m_studentInfo;
    int m_nMode = 0;
    QList<double> m_widths;
};
