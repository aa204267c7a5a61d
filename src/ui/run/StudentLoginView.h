#pragma once

#include "ui/run/StudentInfo.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QWidget>

class QPushButton;
class StudentGridButton;

// The student grid of a run: one button per logged-in student, labelled with the keypad number and
// coloured by what the student did last. Buttons fill rows from the top left; the grid grows by a
// row when the next button would fall below its bottom.
//
// A class of a thousand logs in and answers within a second or two: a keypad number finds its
// buttons through an index, a button repaints only when its colour or title changes, and growing
// the grid repaints only the new row.
class StudentLoginView : public QWidget
{
    Q_OBJECT
public:
    // Button states.
    enum State {
        StateNormal = 0,
        StateAnswered = 1,
        StateAnsweredAgain = 2,
        StateRushed = 3,
        StateRushWrong = 4,
        StateEliminated = 5,
        StateEliminateWrong = 6,
        StateLogined = 7,
        StateExited = 9,
        StatePaperQuiz = 10
    };
    static constexpr int buttonWidth = 45;
    static constexpr int buttonHeight = 40;

    explicit StudentLoginView(QWidget *parent = nullptr);

    static QColor colorOfState(int state);
    static QColor colorOfGroup(int group);

    int style() const { return m_style; }
    void setLoginViewStyle(int style);
    void setLoginViewTitle(const QString &) {}
    QString title() const { return QString(); }

    bool addAStudent(const StudentInClassPtr &student);
    bool isStudentLogined(const StudentInClassPtr &student) const;
    QList<int> indexsOfStudent(int deviceNo) const;

    // Per-student marks; false when no button carries the keypad number.
    bool setStudentLogined(int deviceNo);
    bool setStudentAnswered(int deviceNo);
    bool setStudentPaperQuizAnswered(int deviceNo);
    bool setStudentRushed(int deviceNo);
    bool setStudentRushAnswered(int deviceNo, bool right);
    bool setStudentEliminateAnswered(int deviceNo, bool right);
    bool setStudentExited(int deviceNo);
    bool setStudentsNormal(int deviceNo);
    bool setStudent(int deviceNo, int questionNo, bool answered);
    bool setStudentPaperQuiz(int deviceNo, int questionNo, bool answered);
    bool setStudentChangedToGroup(int deviceNo, int group);

    // Whole-grid marks.
    bool setStudentsNormal();
    bool setStudentsNormalInMultipleMode();
    bool setStudentEliminated();
    bool clearStudentsAnswerCount();

    void setButtonWithColor(int index, const QColor &color);
    void setButtonWithQuestionNo(int index, int questionNo);

    // Read access (the window, the floating strip and tests).
    int count() const { return int(m_students.size()); }
    const QList<StudentInfo> &students() const { return m_students; }
    QList<int> studentsAnswerCount() const { return m_studentsAnswerCount; }
    QPushButton *button(int index) const;
    QColor buttonColor(int index) const;
    QPoint curPoint() const { return m_curPoint; }

    // Places every button again from the top.
    void layoutButtons();

signals:
    // Every change a copy of the grid needs: a student added, a button's colour or text changed.
    void studentAdded(const StudentInClassPtr &student);
    void buttonChanged(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    StudentGridButton *buttonToBeAdded(const StudentInClassPtr &student);
    void place(StudentGridButton *button);
    void buttonAction(QPushButton *button);
    template <typename F> bool forEachButtonOf(int deviceNo, F change);
    int questionCount() const;

    int m_style = 0;
    QPoint m_curPoint;
    QList<StudentInfo> m_students;
    QList<int> m_studentsAnswerCount;
    QList<StudentGridButton *> m_buttons;
    // Positions of the buttons by the keypad number they were given, and the students shown.
    QHash<int, QList<int>> m_indexesByDevice;
    QSet<int> m_studentNos;
    int m_deviceType = -1;
};
