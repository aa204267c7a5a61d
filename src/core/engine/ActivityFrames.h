#pragma once

#include "core/engine/ReceivedFrame.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// The frames an activity sends to the keypads during a run, one function each, built from the
// values given (addresses, run and question IDs, names, counts) and nothing else, so each can be
// checked byte for byte. Every frame ends with its check byte; a frame the builder refuses (data
// over 64 bytes) comes back empty and must not be sent (FrameBuilder).
namespace ActivityFrames {

// Two address bytes, low first.
struct KeypadAddress
{
    uint8_t lo = 0;
    uint8_t hi = 0;

    // The keypad that sent a frame.
    static KeypadAddress of(const ReceivedFrame &frame) { return {frame.addrLo(), frame.addrHi()}; }
    // The low two bytes of a number: a device number, the run's ID.
    static KeypadAddress word(int value) { return {uint8_t(value & 0xFF), uint8_t((value >> 8) & 0xFF)}; }
    // The teacher keypad: the low byte of the run's teacher ID, then EF.
    static KeypadAddress teacher(int randomTeacherID) { return {uint8_t(randomTeacherID & 0xFF), 0xEF}; }
    // Every keypad.
    static KeypadAddress everyone() { return {0x00, 0xC0}; }
};

// --- Mode bytes.
// The student keypads' mode for an activity number: 1 and 2 -> 2, 3 -> 3, 4 -> 4, 5 -> 12, 7 -> 9,
// 8 -> 8, any other -> 1.
int studentMode(int activity);
// The teacher keypad's mode: 0 to 4 as they are, 5 -> 12, 6 -> 7, 7 -> 8, 8 -> 9; in participation
// mode 2 the free-style activity decides (9 to 11 -> 5, 12 -> 8).
int teacherMode(int activity, int participationMode, int freeMode);
// A multiple-mode question's byte by its action mode: 3 (rush) -> 0D, 4 (elimination) -> 04, else 01.
uint8_t multipleQuestionByte(int actionMode);

// --- To the student keypads.
QByteArray wake();               // F4 00 C0 01 35
QByteArray studentLogoutClass(); // F6 00 00 03 01 FF FF F4: every keypad logs out
QByteArray openReceiveArvel();   // 5A 80 DA (small family)
QByteArray closeReceiveArvel();  // 5B 80 DB (small family)
// The class announcement: F9 00 A L, class EE, teacher EE, class size; A is C0 on Dravel, else 00.
QByteArray studentLoginClass(int deviceType, const QString &className, const QString &teacherName, int classSize);
QByteArray agreeToSend(KeypadAddress keypad);       // F3 .. E0
QByteArray stuToWaitForStart(KeypadAddress keypad); // F3 .. E2
// Login accepted: FE, the keypad's address, L, [F7 on Corvel], the device number, [the mode byte on
// Corvel and Dravel], the run's ID, [the student ID echoed from the login frame's data on Corvel
// (from data[1]) and Dravel (from data[0]), up to its first zero byte], check.
QByteArray quizMsgToStudent(int deviceType, KeypadAddress keypad, int deviceNo, uint8_t modeByte, int quizID,
                            const QByteArray &loginData);
// Login refused: FE, address, L, [F7 on Corvel], 00 FF FF, the run's ID, the ID echo from data[0].
QByteArray wrongIDToStudent(int deviceType, KeypadAddress keypad, int quizID, const QByteArray &loginData);
// Whether both answers to this login frame's data (accepted, refused) hold its ID echo within a
// frame: a keypad can send an ID longer than an answer can give back.
bool loginAnswerable(int deviceType, const QByteArray &loginData);
// The paper-quiz information: F7, the device number as address, L, FE, question count (at most
// 99), test ID mod 100, test ID div 100, test name EE ("Null" when empty). Empty (nothing to send)
// when the set has no question.
QByteArray stdExamInfoToStudent(int deviceNo, int questionCount, int testID, const QString &testName);

// What the state frame of a running question tells.
struct AnnouncedQuestion
{
    int questionNo = 0;
    int type = 0;        // the question type; short answer goes out as cloze, and true-or-false
                         // as single answer except on Brevel
    int optionCount = 0;
    uint8_t modeByte = 0;
    QString answer;      // the correct answer, sent by Brevel only
};
// F5, the run's ID, L, state; state 2 (no question) adds 00 00 00 00, state 3 the question.
QByteArray pcState(int deviceType, int quizID, int state, const AnnouncedQuestion &question = {});

// A Brevel question as its type and permit frames carry it.
struct BrevelQuestion
{
    int questionNo = 0;  // counted without teaching-plan pages
    int type = 0;
    int optionCount = 0;
    int mode = 0;
    QString answer;      // empty or a single blank: none
};
// F7 00 00 L, F5 r0 r1 03 m t o c FF answer, check.
QByteArray questionType(uint8_t r0, uint8_t r1, const BrevelQuestion &question);
// F5 r0 r1 L, 03 m t o c FF answer, check.
QByteArray permitStuAns(uint8_t r0, uint8_t r1, const BrevelQuestion &question);

// Frame text n (1-based) of a question's texts to every keypad: F7 00 C0 L, 01, text count, n,
// the question's number among the questions, the low byte of the question ID, the lines of 21
// bytes, check. Empty when n is outside the texts.
QByteArray questionFrame(const QStringList &texts, int n, int questionNo, int questionID);

// --- To the teacher keypad.
QByteArray receiveState(KeypadAddress teacher, int state); // F3 T EF state
// The teacher's login reply: F9, address, L, class EE, teacher EE, mode, class size, logged-in
// count, the teacher ID's low byte, [F7 on Corvel, F5 on Brevel], check.
QByteArray quizMsgToTeacher(int deviceType, KeypadAddress keypad, const QString &className, const QString &teacherName,
                            int mode, int classSize, int loggedIn, uint8_t teacherLow);
QByteArray classMsg(KeypadAddress keypad, const QString &className, const QString &teacherName, int classSize);
// FA, address, L, question count (at most 99), test ID mod 100, div 100, all-answered, name EE.
QByteArray quizInfoToTeacher(KeypadAddress keypad, int questionCount, int testID, bool allAnswered,
                             const QString &testName);
QByteArray sumOfStudentsInClass(KeypadAddress keypad, int classSize, int loggedIn); // F8 .. 06 FF FF ..
// FA, address, L, q, type (true-or-false as 0), option count, mode, answer ("True" as "A" and
// "False" as "B" for types 0 and 5, "nocorrect" as "NoAnswer", none as 01), EE.
QByteArray questionInfo(KeypadAddress keypad, int q, int type, int optionCount, int mode, const QString &answer);
QByteArray questionInfoEnd(KeypadAddress keypad, int questionCount); // FF .. 03 E1 count
// A page of logged-in students: FF T EF L, page + 1, two bytes per entry.
QByteArray studentLogined(KeypadAddress teacher, int page, const QList<int> &entries);
QByteArray studentLoginedEnd(KeypadAddress teacher, int loggedIn); // FF T EF 03 E0 count
// A student's answer to the k-th asked question: F7 T EF L, device number, mark, k, answer. The
// mark is "T" for a right answer to a question with points, "N" for none, else "F"; k 0 (no
// question asked yet) sends "F" and "_N".
QByteArray resultOfStudent(KeypadAddress teacher, int deviceNo, int k, const QString &answer,
                           const QString &correctAnswer, int points);
QByteArray studentQuestioned(KeypadAddress teacher, const QString &studentName); // FC T EF L name EE
// F8 T EF L, index, ID length, ID, EE, name length (of the whole name), name (cut), EE.
QByteArray studentInClass(KeypadAddress teacher, int index, const QString &studentID, const QString &studentName);
// Frame text f of question q for the teacher keypad: FA, address, L, E0, text count, f, q, the
// question ID's low byte, the lines with only printable ASCII kept, check.
QByteArray questionFrameToTeacher(KeypadAddress keypad, const QStringList &texts, int f, int q, int questionID);

// A question's histogram as the teacher keypad shows it.
struct ClassResult
{
    int questionType = 0;
    QString correctAnswer;
    int students = 0;         // the students it counts: logged in, or still in the elimination
    int rightAnswers = 0;     // multiple answer, cloze, short answer
    struct Option
    {
        int count = 0;
        int rate = 0;
    };
    QList<Option> options;    // single answer and true-or-false: per option, "A" first
    Option noAnswer;
};
// FD T EF L, then for types 1 to 3: 00 00 00, students, right answers, their percentage; for types
// 0 and 5: answer kind (1 and the right letter, or 2 and "X" when there is none), option count + 1,
// students, per option count and rate, then no-answer count and rate; other types: no data.
QByteArray resultOfClass(KeypadAddress teacher, const ClassResult &result);

} // namespace ActivityFrames
