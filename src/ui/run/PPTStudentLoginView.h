#pragma once

#include "ui/run/StudentInfo.h"

#include <QWidget>

class QScrollArea;
class QTimer;
class StudentLoginView;

// The student strip of a run over a slide show (and of a free-style run): a band as wide as the
// main screen at its top, above the show, holding the run's student grid. It is small (a 20-point
// line), normal (two rows) or large (every row, from 52 students on, sized for at most 400); with
// many students it scrolls by itself, one 41-point row a second, down to the last row and back.
class PPTStudentLoginView : public QWidget
{
    Q_OBJECT
public:
    // The large strip needs this many accepted students; a row holds 26.
    static constexpr int kLargeFrom = 52;
    static constexpr int kPerRow = 26;
    static constexpr int kLargeCap = 400;
    static constexpr int kRowStep = 41;

    explicit PPTStudentLoginView(QWidget *parent = nullptr);
    ~PPTStudentLoginView() override;

    StudentLoginView *studentLoginView = nullptr;
    QScrollArea *LoginSV = nullptr;

    void setNMode(int mode) { nMode = mode; }
    // Shows what another grid shows from now on: its students and every mark it makes (the
    // free-style run's strip follows the run window's grid).
    void follow(StudentLoginView *grid);
    void addAStudent(const StudentInClassPtr &student);
    bool setWindowToSmall();
    bool setWindowToNormal();
    bool setWindowToLarge();
    void setViewMove(bool on);
    // One step of the auto-scroll (the timer's, once a second).
    void startMove();

    bool bIsViewNormalState() const { return m_bIsViewNormalState; }
    void setBIsViewNormalState(bool v) { m_bIsViewNormalState = v; }
    int nLoginStudentSum() const { return m_nLoginStudentSum; }
    int nMoveHeight() const { return m_nMoveHeight; }
    bool isLarge() const { return bInLagerState; }
    bool isMoving() const;
    // Where the grid was last scrolled to (its vertical offset), for the tests' eyes.
    int scrollOffset() const { return m_scrolledTo; }
    // The height of the rows a large strip shows for a number of students.
    static int largeGridHeight(int students);

    // Passed on to the grid unchanged.
    void clearStudentsAnswerCount();
    bool setStudent(int deviceNo, int group);
    bool setStudentPaperQuiz(int deviceNo, int questionNo, int state);
    bool setStudent(int deviceNo, int questionNo, int state);
    bool setStudentPaperQuizAnswered(int deviceNo);
    void setLoginViewTitle(const QString &title);
    bool setStudentExited(int deviceNo);
    bool setStudentAnswered(int deviceNo);
    void setLoginViewStyle(int style);
    bool setStudentRushAnswered(int deviceNo, bool result);
    void setStudentsRush(int deviceNo);
    bool setStudentEliminateAnswered(int deviceNo, bool result);
    void setStudentEliminated();
    bool setStudentLogined(int deviceNo);
    bool setStudentsNormalInMultipleMode();
    bool setStudentsNormal(int deviceNo);
    void setStudentsNormal();

private:
    void setStrip(int windowHeight, int gridHeight);
    void scrollTo(int offset);
    QSize screenSize() const;

    int m_nLoginStudentSum = 0;
    int m_nMoveHeight = 0;
    bool bMoveDown = true;
    QTimer *moveTimer = nullptr;
    bool bInLagerState = false;
    int nMode = 0;
    bool m_bIsViewNormalState = false;
    int m_scrolledTo = -1;
};
