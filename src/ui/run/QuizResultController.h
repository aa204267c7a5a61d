#pragma once

#include "RunChildWindow.h"

#include "core/engine/ResultSummary.h"

class QLabel;
class QPushButton;
class QTextEdit;
class ResultView;

// The result summary of one question ("QuizResult"): the question text, the average answer
// time, attendance (in elimination also the students retained and eliminated) and a chart of
// correct, incorrect and no response. Its details button opens the histogram of the question.
class QuizResultController : public RunChildWindow
{
    Q_OBJECT
public:
    explicit QuizResultController(QWidget *parent = nullptr);

    int nQuestionNo() const { return m_nQuestionNo; }
    void setNQuestionNo(int q) { m_nQuestionNo = q; }
    int nQuizMode() const { return m_nQuizMode; }
    void setNQuizMode(int mode) { m_nQuizMode = mode; }

    void reloadData();
    const ResultSummary &summary() const { return m_summary; }

    void onOK();
    // Opens the histogram of the question (while the details button is enabled).
    void onDetail();

    QTextEdit *title = nullptr;
    ResultView *rv = nullptr;
    QPushButton *btnDetails = nullptr, *btnOK = nullptr;
    QLabel *txtAvgTime = nullptr, *txtAttendants = nullptr, *txtAbsentees = nullptr, *txtAbsenteesTitle = nullptr,
           *txtRetainedCount = nullptr, *txtRetainedCountTitle = nullptr, *txtEliminatedCount = nullptr,
           *txtEliminatedCountTitle = nullptr;

protected:
    void windowDidLoad() override;
    void teacherAction(TeacherKeyMap::Action action) override;

private:
    int m_nQuestionNo = 1;
    int m_nQuizMode = 0;
    ResultSummary m_summary;
};
