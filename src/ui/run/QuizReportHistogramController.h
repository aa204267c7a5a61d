#pragma once

#include "RunChildWindow.h"

#include "core/engine/OptionHistogram.h"

class HistogramView;
class QLabel;
class QPushButton;
class QTextEdit;

// The histogram of one question ("QuizReportHistogram"): how the logged-in students answered,
// option by option, with the question text, the students attending, the points scored and their
// average. A vote shows no points.
class QuizReportHistogramController : public RunChildWindow
{
    Q_OBJECT
public:
    explicit QuizReportHistogramController(QWidget *parent = nullptr);

    int nQuestionNo() const { return m_nQuestionNo; }
    void setNQuestionNo(int q) { m_nQuestionNo = q; }
    bool bCorrectAnswer() const { return m_bCorrectAnswer; }
    void setBCorrectAnswer(bool v) { m_bCorrectAnswer = v; }
    int nActionMode() const { return m_nActionMode; }
    void setNActionMode(int v) { m_nActionMode = v; }

    // Question text and option texts, then the figures.
    void reloadData();
    void setHistogramView();
    const OptionHistogram &figures() const { return m_figures; }

    void onOK();

    QTextEdit *tvQuestionTitle = nullptr;
    HistogramView *hv = nullptr;
    QPushButton *btnOK = nullptr;
    QLabel *txtTotalPoint = nullptr, *txtTotalPointTitle = nullptr, *txtAttendPerson = nullptr,
           *txtAvgPoints = nullptr, *txtAvgPointsTitle = nullptr;

protected:
    void windowDidLoad() override;
    void teacherAction(TeacherKeyMap::Action action) override;

private:
    bool isVote() const;

    int m_nQuestionNo = 1;
    bool m_bCorrectAnswer = true;
    int m_nActionMode = 0;
    OptionHistogram m_figures;
    QStringList arrayOptionsText;
};
