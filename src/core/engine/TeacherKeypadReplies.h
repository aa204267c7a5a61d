#pragma once

#include "core/engine/ActivityFrames.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/ReceivedFrame.h"

#include <QByteArray>
#include <QList>

#include <functional>

class PacedSequencer;
class QuizMode;

// The PC's side of what the teacher keypad asks during a run: its own login, the class and the
// run's set, the class list, the students logged in, one student's answers, the class's result,
// a question's information and text, and the names of the students who signalled a question.
// Every reply goes to the keypad that asked or to the run's teacher keypad.
//
// The run (an activity object) is read through its public state only; the class's result is the
// activity's own frame (votes and rushes send theirs), so it comes back through resultOfClass.
// GUI thread only.
class TeacherKeypadReplies
{
public:
    using Sender = std::function<bool(const QByteArray &frame)>;

    TeacherKeypadReplies(const QuizMode &run, Sender send, PacedSequencer &paced, std::function<void()> resultOfClass);

    // The teacher keypad's login frame: the run's class, mode and sums; the keypad becomes the
    // run's teacher keypad (nTeacherDeviceID).
    void sendQuizMsgToTeacher(const ReceivedFrame &f);
    // F9: E0 asks for the class, E1 (teacher only) for the question set.
    void RX_CommandOfF9(const ReceivedFrame &f);
    // F8 from the teacher keypad: the queries, by their command number.
    void RX_TeacherGetPCData(const ReceivedFrame &f);
    // A student keypad signalled a question (at most 20 are kept, each once).
    void RX_StudentHaveQuestion(int d);

    void sendReceiveState(int s);

    int nTeacherDeviceID() const { return m_nTeacherDeviceID; }
    int studentDeviceNoWantResult() const { return m_studentDeviceNoWantResult; }
    QList<int> studentsQuestioned() const { return m_studentsQuestioned; }

private:
    void RX_GetStudentIDAndName(const ReceivedFrame &f);
    void RX_GetStudentNameOfQuestioned(const ReceivedFrame &f);
    void RX_GetFirstAnswer(const ReceivedFrame &f);
    void RX_GetAnswer(const ReceivedFrame &f);
    void RX_GetHistogram(const ReceivedFrame &f);
    void RX_GetStudentLogined(const ReceivedFrame &f);
    void RX_GetTeacherQuestionInfo(const ReceivedFrame &f);
    void RX_GetSumOfStudentsInClass(const ReceivedFrame &f);
    void RX_TeacherGetQueContent(const ReceivedFrame &f);

    void sendClassMsg(ActivityFrames::KeypadAddress to);
    void sendQuizInfoToTeacher(ActivityFrames::KeypadAddress to);
    void sendQuestionInfo(ActivityFrames::KeypadAddress to, int q);
    void sendStudentLogined(int p);
    void sendStudentLoginedEnd();
    void sendResultOfStudent(int d, int k);
    void sendStudentQuestioned(int i);
    void sendStudentInClass(int i);

    ActivityFrames::KeypadAddress teacherKeypad() const;

    const QuizMode &m_run;
    Sender m_send;
    PacedSequencer &m_paced;
    std::function<void()> m_resultOfClass;

    int m_nTeacherDeviceID = 0;
    int m_studentDeviceNoWantResult = 0;
    QList<int> m_studentsQuestioned;
};
