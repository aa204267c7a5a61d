#pragma once

#include <QString>

#include <array>

// One question of the run as the keypad side needs it: text, options, answer, points and times.
class QuizQuestionsElement
{
public:
    QString strTitle() const { return m_strTitle; }
    void setStrTitle(const QString &v) { m_strTitle = v; }

    // Option k, 0 for A to 9 for J; an index outside that range reads as empty and writes nothing.
    QString strOption(int k) const;
    void setStrOption(int k, const QString &v);
    QString strOptionA() const { return strOption(0); }
    QString strOptionB() const { return strOption(1); }
    QString strOptionC() const { return strOption(2); }
    QString strOptionD() const { return strOption(3); }
    QString strOptionE() const { return strOption(4); }
    QString strOptionF() const { return strOption(5); }
    QString strOptionG() const { return strOption(6); }
    QString strOptionH() const { return strOption(7); }
    QString strOptionI() const { return strOption(8); }
    QString strOptionJ() const { return strOption(9); }
    void setStrOptionA(const QString &v) { setStrOption(0, v); }
    void setStrOptionB(const QString &v) { setStrOption(1, v); }
    void setStrOptionC(const QString &v) { setStrOption(2, v); }
    void setStrOptionD(const QString &v) { setStrOption(3, v); }
    void setStrOptionE(const QString &v) { setStrOption(4, v); }
    void setStrOptionF(const QString &v) { setStrOption(5, v); }
    void setStrOptionG(const QString &v) { setStrOption(6, v); }
    void setStrOptionH(const QString &v) { setStrOption(7, v); }
    void setStrOptionI(const QString &v) { setStrOption(8, v); }
    void setStrOptionJ(const QString &v) { setStrOption(9, v); }

    QString strStandard() const { return m_strStandard; }
    void setStrStandard(const QString &v) { m_strStandard = v; }
    QString strStandardTitle() const { return m_strStandardTitle; }
    void setStrStandardTitle(const QString &v) { m_strStandardTitle = v; }
    QString strAnswer() const { return m_strAnswer; }
    void setStrAnswer(const QString &v) { m_strAnswer = v; }

    int nPoint() const { return m_nPoint; }
    void setNPoint(int v) { m_nPoint = v; }
    int nQuizTime() const { return m_nQuizTime; }
    void setNQuizTime(int v) { m_nQuizTime = v; }
    int nRushPoint() const { return m_nRushPoint; }
    void setNRushPoint(int v) { m_nRushPoint = v; }
    int nRushTime() const { return m_nRushTime; }
    void setNRushTime(int v) { m_nRushTime = v; }
    int nActionMode() const { return m_nActionMode; }
    void setNActionMode(int v) { m_nActionMode = v; }
    int nQuestionType() const { return m_nQuestionType; }
    void setNQuestionType(int v) { m_nQuestionType = v; }
    int nOptionNum() const { return m_nOptionNum; }
    void setNOptionNum(int v) { m_nOptionNum = v; }
    int nDiffcult() const { return m_nDiffcult; }
    void setNDiffcult(int v) { m_nDiffcult = v; }

private:
    QString m_strTitle;
    std::array<QString, 10> m_strOptions;
    QString m_strStandard;
    QString m_strStandardTitle;
    QString m_strAnswer;
    int m_nPoint = 10;
    int m_nQuizTime = 30;
    int m_nRushPoint = 10;
    int m_nRushTime = 30;
    int m_nActionMode = 0;
    int m_nQuestionType = 0;
    int m_nOptionNum = 0;
    int m_nDiffcult = 0;
};
