#pragma once

#include "RunChildWindow.h"

#include "core/engine/QuestionReport.h"

#include <memory>

class QLabel;
class QPushButton;
class QTableWidget;

// The question report of a run ("QuizReport"): one row per logged-in student with the points of
// the question in hand, the answer time and the running total, laid out and scored by the
// activity, and the average points. A double click on a row opens the student's answers; a
// button (and teacher key F1) the result details of the question.
class QuizReportController : public RunChildWindow
{
    Q_OBJECT
public:
    explicit QuizReportController(QWidget *parent = nullptr);
    ~QuizReportController() override;

    int nQuestionNo() const { return m_nQuestionNo; }
    void setNQuestionNo(int q) { m_nQuestionNo = q; }
    int actMode() const { return m_actMode; }
    void setActMode(int v) { m_actMode = v; }
    // Opened from the group points window: closing it tells the run nothing.
    bool bIsGroupMode() const { return m_bIsGroupMode; }
    void setBIsGroupMode(bool v) { m_bIsGroupMode = v; }

    const QuestionReport *report() const { return m_report.get(); }

    // Opens the answer details of the student on that row (not in a Survey report).
    void tableViewDoubleClick(int row);
    // Opens the result details of the question (while its button is shown).
    void doHistogram();
    void doCancel();

    QLabel *textTitle = nullptr, *textAveragePointTitle = nullptr, *textAveragePoint = nullptr;
    QTableWidget *tblReport = nullptr;
    QPushButton *btnHistogram = nullptr, *btnCancel = nullptr;

protected:
    void windowDidLoad() override;
    void teacherAction(TeacherKeyMap::Action action) override;

private:
    int m_nQuestionNo = 1;
    int m_actMode = 0;
    bool m_bIsGroupMode = false;
    std::unique_ptr<QuestionReport> m_report;
    QList<QuestionReport::Column> m_columns;
};
