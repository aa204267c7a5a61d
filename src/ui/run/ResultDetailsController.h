#pragma once

#include "RunChildWindow.h"

class QLabel;
class QPushButton;
class QTableWidget;

// The responses of the logged-in students to one question, 25 at a time ("ResultDetails"). On
// request it reveals the correct answer and colours each response blue (right) or red (wrong).
class ResultDetailsController : public RunChildWindow
{
    Q_OBJECT
public:
    static constexpr int kPageSize = 25;

    explicit ResultDetailsController(QWidget *parent = nullptr);

    int nQuestionNo() const { return m_nQuestionNo; }
    void setNQuestionNo(int q) { m_nQuestionNo = q; }
    QString strCorrectAnswer() const { return m_strCorrectAnswer; }
    void setStrCorrectAnswer(const QString &v) { m_strCorrectAnswer = v; }
    int nBeginNo() const { return m_nBeginNo; }
    bool bFlag() const { return m_bFlag; }

    void onOK();
    void onCorrectAnswer();
    void onPrevious();
    void onNext();

    QLabel *textfieldTitle = nullptr, *textfieldCorrectAnswer = nullptr, *textfieldCorrectAnswerTitle = nullptr;
    QTableWidget *tableview1 = nullptr, *tableview2 = nullptr;
    QPushButton *btnNext = nullptr, *btnPrevious = nullptr, *btnCorrectAnswer = nullptr, *btnOK = nullptr;

protected:
    void windowDidLoad() override;
    void teacherAction(TeacherKeyMap::Action action) override;

private:
    void reloadTable();

    int m_nQuestionNo = 1;
    QString m_strCorrectAnswer;
    int m_nBeginNo = 0;
    bool m_bFlag = false;
};
