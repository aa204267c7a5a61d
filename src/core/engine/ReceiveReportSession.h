#pragma once

#include "core/engine/ReceivedFrame.h"
#include "core/store/QuizEntity.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

// A session recorded on a teacher keypad, as the keypad sends it (F8 frames from the teacher
// keypad: exam paper 09, session 0A, questions 0B and 0D, answers 0C, students 0E), and the
// session record it becomes. Every frame is checked whole before anything of it is kept: a text
// without its end mark, a number out of range or a short frame keeps nothing and is not
// acknowledged, so the keypad sends it again. Positions and question numbers from the keypad are
// bounded by what the keypad announced.
class ReceiveReportSession
{
public:
    struct Question
    {
        int questionType = 0;
        int optionCount = 0;
        QString answer;
    };
    // What the window shows: 0 waiting, 1 receiving, 2 session information received, 3 answers
    // received, 4 everything received.
    enum Progress { Waiting = 0, Receiving = 1, SessionInfo = 2, Answers = 3, All = 4 };
    // What a handled frame gives.
    struct Reply
    {
        QByteArray ack;      // the acknowledgement to send back, empty for none
        int progress = -1;   // a new progress state to show, -1 for none
        QString handler;     // the handler's name, for the log
    };
    // What the session record takes besides the keypad's data.
    struct Context
    {
        QString teacherName;
        QString subject;
        int deviceType = -1;
        QString now; // time stamp text of the save
    };

    // Handles one frame; frames that are not the teacher keypad's F8 give an empty reply.
    Reply handleFrame(const ReceivedFrame &frame);
    // A new session: everything but the exam paper's information is forgotten.
    void clearSessionInfo();
    void clearAll();

    // Mode byte of the keypad -> activity number; activity number -> stored activity code.
    static int deviceModeTransToHostMode(int mode);
    static int hostModeTransToDataBaseMode(int activity);
    // The progress text of a state, with the summary lines from state 2 on.
    QString progressText(int state) const;

    // The session record (students, questions, answers or the roll call).
    QuizEntity toQuizEntity(const Context &context) const;
    // Writes it through the session store under the exam title; the path written goes to *path.
    bool save(const Context &context, QString *path, QString *errorText) const;
    // The session files that already hold what was received, so that a save would make a second,
    // identical session of it (which the gradebook counts again). A file holds it when it keeps
    // the same received data: the keypad's session name, class, exam title and activity, and
    // question by question, student by student and answer by answer what the keypad sent. What
    // the computer adds is left aside: the teacher and subject picked in the window, the times
    // of saving, the receiver's model and the points the record gives each question. In path order.
    QStringList savedCopies(const Context &context) const;
    static bool holdsSameData(const QuizEntity &stored, const QuizEntity &received);

    int sumOfStudentsInClass() const { return m_sumOfStudentsInClass; }
    int sumOfQuestions() const { return m_sumOfQuestions; }
    int quizMode() const { return m_quizMode; }
    int sessionID() const { return m_sessionID; }
    int examID() const { return m_examID; }
    QString sessionName() const { return m_sessionName; }
    QString className() const { return m_className; }
    QString examTitle() const { return m_examTitle; }
    QList<bool> studentsAttend() const { return m_studentsAttend; }
    QList<Question> questions() const { return m_questions; }
    // The student ID received for position p (1-based); empty when none came.
    QString studentID(int p) const { return m_studentIDs.value(p - 1); }
    QString studentFirstName(int p) const { return m_firstNames.value(p - 1); }
    // The answer of student position p to question q; empty when none came.
    QString answer(int p, int q) const { return m_answers.value({p, q}); }
    int answerCount() const { return int(m_answers.size()); }
    // Questions that received answers.
    int answeredQuestionCount() const;

private:
    Reply RX_ExamPaperInfo(const ReceivedFrame &f);
    Reply RX_QuizInfo(const ReceivedFrame &f);
    Reply RX_QuestionInfo(const ReceivedFrame &f, const QString &name);
    Reply RX_AnswerOfStudents(const ReceivedFrame &f);
    Reply RX_StudentInfo(const ReceivedFrame &f);

    int m_sumOfStudentsInClass = 0;
    int m_quizMode = 0;
    int m_sessionID = 0;
    QString m_sessionName;
    QString m_className;
    QList<bool> m_studentsAttend;
    int m_sumOfQuestions = 0;
    int m_examID = 0;
    QString m_examTitle;
    QList<Question> m_questions;
    QStringList m_studentIDs; // by position, so a repeated or late frame moves nobody
    QStringList m_firstNames;
    QMap<QPair<int, int>, QString> m_answers; // (position, question) -> answer
};
