#include "EngineFixture.h"

#include "core/engine/ActivityFrames.h"

// Each frame built from given values alone, checked against the byte layouts of the keypad
// protocol (command, address, length, data, XOR check byte).

using namespace ActivityFrames;

namespace {
constexpr int kCorvel = 2;
constexpr int kDravel = 3;
constexpr int kBrevel = 4;

const KeypadAddress kKeypad{0x34, 0x12};
const KeypadAddress kTeacher = KeypadAddress::teacher(0x3456); // 56 EF

// "Class 7B" EE "Ms Smith" EE
const char *kNames = "43 6C 61 73 73 20 37 42 EE 4D 73 20 53 6D 69 74 68 EE";

QByteArray frame(const QByteArray &hexWithoutCheck)
{
    return frameHex(hexWithoutCheck.constData());
}

QByteArray withNames(const char *head, const char *tail)
{
    return frame(QByteArray(head) + ' ' + kNames + ' ' + tail);
}
} // namespace

TEST(ActivityFrames, ModeBytes)
{
    const QList<int> student{1, 2, 2, 3, 4, 12, 1, 9, 8, 1, 1, 1, 1, 1, 1};
    for (int activity = 0; activity < student.size(); ++activity)
        EXPECT_EQ(studentMode(activity), student[activity]) << activity;
    EXPECT_EQ(teacherMode(3, 0, 0), 3);
    EXPECT_EQ(teacherMode(5, 0, 0), 12);
    EXPECT_EQ(teacherMode(6, 0, 0), 7);
    EXPECT_EQ(teacherMode(8, 0, 0), 9);
    // Free style (participation mode 2): the free-style activity decides.
    EXPECT_EQ(teacherMode(0, 2, 10), 5);
    EXPECT_EQ(teacherMode(7, 2, 12), 8);
    EXPECT_EQ(teacherMode(5, 2, 0), 12);
    EXPECT_EQ(multipleQuestionByte(0), 0x01);
    EXPECT_EQ(multipleQuestionByte(3), 0x0D);
    EXPECT_EQ(multipleQuestionByte(4), 0x04);
    EXPECT_EQ(multipleQuestionByte(1), 0x01);
}

TEST(ActivityFrames, AnnouncementsToEveryKeypad)
{
    EXPECT_EQ(wake(), hexBytes("F4 00 C0 01 35"));
    EXPECT_EQ(studentLogoutClass(), hexBytes("F6 00 00 03 01 FF FF F4"));
    EXPECT_EQ(openReceiveArvel(), hexBytes("5A 80 DA"));
    EXPECT_EQ(closeReceiveArvel(), hexBytes("5B 80 DB"));
    // The class announcement reaches every Dravel keypad (00 C0); Corvel keypads take 00 00.
    EXPECT_EQ(studentLoginClass(kDravel, "Class 7B", "Ms Smith", 3), withNames("F9 00 C0 14", "03 00"));
    EXPECT_EQ(studentLoginClass(kCorvel, "Class 7B", "Ms Smith", 300), withNames("F9 00 00 14", "2C 01"));
    // A name of 15 characters goes out as 12 and "..": 14 bytes.
    EXPECT_EQ(studentLoginClass(kDravel, "Mathematics 101", "T", 1),
              frame("F9 00 C0 13 4D 61 74 68 65 6D 61 74 69 63 73 20 2E 2E EE 54 EE 01 00"));
    EXPECT_EQ(agreeToSend({0x05, 0x00}), frame("F3 05 00 E0"));
    EXPECT_EQ(stuToWaitForStart({0x05, 0x00}), frame("F3 05 00 E2"));
}

TEST(ActivityFrames, LoginRepliesPerModel)
{
    // Corvel logs in with F8 F7 "S001" 00 "Ann" x; Dravel with FE "S001" 00 "Ann" x.
    const QByteArray corvelLogin = hexBytes("F7 53 30 30 31 00 41 6E 6E 99");
    const QByteArray dravelLogin = hexBytes("53 30 30 31 00 41 6E 6E 99");
    EXPECT_EQ(quizMsgToStudent(kCorvel, kKeypad, 3, 0x01, 0x1234, corvelLogin),
              frame("FE 34 12 0A F7 03 00 01 34 12 53 30 30 31"));
    EXPECT_EQ(quizMsgToStudent(kDravel, kKeypad, 3, 0x81, 0x1234, dravelLogin),
              frame("FE 34 12 09 03 00 81 34 12 53 30 30 31"));
    EXPECT_EQ(quizMsgToStudent(kBrevel, kKeypad, 3, 0x81, 0x1234, dravelLogin), frame("FE 34 12 04 03 00 34 12"));
    // An ID without a zero after it is echoed whole.
    EXPECT_EQ(quizMsgToStudent(kDravel, kKeypad, 300, 0x01, 0x1234, "S1"), frame("FE 34 12 07 2C 01 01 34 12 53 31"));
    // The refusal echoes the data from its first byte on every model, Corvel's F7 included.
    EXPECT_EQ(wrongIDToStudent(kCorvel, kKeypad, 0x1234, corvelLogin),
              frame("FE 34 12 0B F7 00 FF FF 34 12 F7 53 30 30 31"));
    EXPECT_EQ(wrongIDToStudent(kDravel, kKeypad, 0x1234, dravelLogin), frame("FE 34 12 09 00 FF FF 34 12 53 30 30 31"));
}

TEST(ActivityFrames, PaperQuizInformation)
{
    // Test ID 1234 goes out as 34 and 12; more than 99 questions are announced as 99.
    EXPECT_EQ(stdExamInfoToStudent(5, 120, 1234, "Unit 3"), frame("F7 05 00 0B FE 63 22 0C 55 6E 69 74 20 33 EE"));
    EXPECT_EQ(stdExamInfoToStudent(0x0102, 2, 7, QString()), frame("F7 02 01 09 FE 02 07 00 4E 75 6C 6C EE"));
    EXPECT_TRUE(stdExamInfoToStudent(5, 0, 1234, "Only pages").isEmpty()) << "a set of teaching-plan pages only";
}

TEST(ActivityFrames, StateFramesPerModel)
{
    EXPECT_EQ(pcState(kDravel, 0x1234, 2), frame("F5 34 12 05 02 00 00 00 00"));
    AnnouncedQuestion q{2, 5, 2, 0x01, "True"};
    // True-or-false goes out as single answer except on Brevel, which also gets the answer.
    EXPECT_EQ(pcState(kCorvel, 0x1234, 3, q), frame("F5 34 12 05 03 02 00 02 01"));
    EXPECT_EQ(pcState(kBrevel, 0x1234, 3, q), frame("F5 34 12 0A 03 02 05 02 01 FF 54 72 75 65"));
    q.type = 3; // short answer goes out as cloze
    q.questionNo = 0x105;
    EXPECT_EQ(pcState(kDravel, 0x1234, 3, q), frame("F5 34 12 05 03 05 02 02 01"));
    EXPECT_EQ(pcState(kDravel, 0x1234, 4, q), frame("F5 34 12 01 04"));
}

TEST(ActivityFrames, BrevelQuestionTypeAndPermission)
{
    BrevelQuestion q{1, 0, 4, 1, "B"};
    EXPECT_EQ(questionType(0xAB, 0xCD, q), frame("F7 00 00 0A F5 AB CD 03 01 00 04 01 FF 42"));
    q.mode = 3;
    q.answer = " "; // no answer: one zero byte
    EXPECT_EQ(permitStuAns(0xAB, 0xCD, q), frame("F5 AB CD 07 03 01 00 04 03 FF 00"));
    q.answer.clear();
    EXPECT_EQ(permitStuAns(0xAB, 0xCD, q), frame("F5 AB CD 07 03 01 00 04 03 FF 00"));
}

TEST(ActivityFrames, QuestionTextFrames)
{
    const QStringList texts{QStringLiteral("What is 2+2?") + QChar(0x7F) + QStringLiteral("A.It\u2019s four"),
                            QStringLiteral("B.Caf\u00e9") + QChar(0x7F)};
    const QByteArray line1 = QByteArray("What is 2+2?").leftJustified(21, '\0');
    const QByteArray line2 = QByteArray("A.It's four").leftJustified(21, '\0');
    EXPECT_EQ(questionFrame(texts, 1, 3, 0x177), withXor(hexBytes("F7 00 C0 2F 01 02 01 03 77") + line1 + line2));
    // The last text's line end adds no empty line; the keypads get the low byte of each character.
    EXPECT_EQ(questionFrame(texts, 2, 3, 0x77),
              withXor(hexBytes("F7 00 C0 1A 01 02 02 03 77") + QByteArray("B.Caf\xE9").leftJustified(21, '\0')));
    EXPECT_TRUE(questionFrame(texts, 3, 3, 0x77).isEmpty());
    EXPECT_TRUE(questionFrame(texts, 0, 3, 0x77).isEmpty());
    // The teacher keypad gets printable ASCII only.
    EXPECT_EQ(questionFrameToTeacher({0x01, 0xEF}, texts, 2, 4, 0x77),
              withXor(hexBytes("FA 01 EF 1A E0 02 02 04 77") + QByteArray("B.Caf\0", 6).leftJustified(21, '\0')));
    const QByteArray teacherLine2 = QByteArray("A.It\0s four", 11).leftJustified(21, '\0');
    EXPECT_EQ(questionFrameToTeacher({0x01, 0xEF}, texts, 1, 4, 0x77),
              withXor(hexBytes("FA 01 EF 2F E0 02 01 04 77") + line1 + teacherLine2));
}

TEST(ActivityFrames, TeacherLoginAndRunInformation)
{
    EXPECT_EQ(receiveState(kTeacher, 0xE1), frame("F3 56 EF E1"));
    const KeypadAddress teacherKeypad{0x01, 0xEF};
    EXPECT_EQ(quizMsgToTeacher(kCorvel, teacherKeypad, "Class 7B", "Ms Smith", 4, 3, 2, 0x56),
              withNames("F9 01 EF 19", "04 03 00 02 00 56 F7"));
    EXPECT_EQ(quizMsgToTeacher(kBrevel, teacherKeypad, "Class 7B", "Ms Smith", 4, 3, 2, 0x56),
              withNames("F9 01 EF 19", "04 03 00 02 00 56 F5"));
    EXPECT_EQ(quizMsgToTeacher(kDravel, teacherKeypad, "Class 7B", "Ms Smith", 12, 3, 2, 0x56),
              withNames("F9 01 EF 18", "0C 03 00 02 00 56"));
    EXPECT_EQ(classMsg({0x07, 0x00}, "Class 7B", "Ms Smith", 3), withNames("F9 07 00 14", "03 00"));
    EXPECT_EQ(quizInfoToTeacher(teacherKeypad, 0, 7, false, QString()), frame("FA 01 EF 09 00 07 00 00 4E 75 6C 6C EE"));
    EXPECT_EQ(quizInfoToTeacher(teacherKeypad, 150, 9999, true, "Q"), frame("FA 01 EF 06 63 63 63 01 51 EE"));
    EXPECT_EQ(sumOfStudentsInClass(teacherKeypad, 30, 28), frame("F8 01 EF 06 FF FF 1E 00 1C 00"));
}

TEST(ActivityFrames, CorrectAnswersForTheTeacher)
{
    const KeypadAddress teacherKeypad{0x01, 0xEF};
    EXPECT_EQ(questionInfo(teacherKeypad, 2, 5, 2, 4, "True"), frame("FA 01 EF 07 02 00 00 02 04 41 EE"));
    EXPECT_EQ(questionInfo(teacherKeypad, 3, 0, 4, 4, "False"), frame("FA 01 EF 07 03 00 00 04 04 42 EE"));
    EXPECT_EQ(questionInfo(teacherKeypad, 4, 1, 4, 4, "AC"), frame("FA 01 EF 08 04 00 01 04 04 41 43 EE"));
    EXPECT_EQ(questionInfo(teacherKeypad, 5, 0, 4, 4, "nocorrect"),
              frame("FA 01 EF 0E 05 00 00 04 04 4E 6F 41 6E 73 77 65 72 EE"));
    EXPECT_EQ(questionInfo(teacherKeypad, 6, 2, 0, 4, QString()), frame("FA 01 EF 07 06 00 02 00 04 01 EE"));
    EXPECT_EQ(questionInfoEnd(teacherKeypad, 12), frame("FF 01 EF 03 E1 0C 00"));
}

TEST(ActivityFrames, StudentsForTheTeacher)
{
    EXPECT_EQ(studentLogined(kTeacher, 1, {3, 300}), frame("FF 56 EF 05 02 03 00 2C 01"));
    EXPECT_EQ(studentLoginedEnd(kTeacher, 28), frame("FF 56 EF 03 E0 1C 00"));
    // "Alexandra Hamilton" is cut to "Alexandra Ha.."; its length byte counts the whole name.
    const char *cut = "41 6C 65 78 61 6E 64 72 61 20 48 61 2E 2E";
    EXPECT_EQ(studentQuestioned(kTeacher, "Alexandra Hamilton"), frame(QByteArray("FC 56 EF 0F ") + cut + " EE"));
    EXPECT_EQ(studentInClass(kTeacher, 2, "S003", "Alexandra Hamilton"),
              frame(QByteArray("F8 56 EF 18 02 00 04 53 30 30 33 EE 12 ") + cut + " EE"));
    // 59 data bytes fit; an ID two bytes longer would take the frame past 64 bytes: nothing to send.
    EXPECT_EQ(studentInClass(kTeacher, 0, QString(50, 'x'), "Ann").size(), 64);
    EXPECT_TRUE(studentInClass(kTeacher, 0, QString(52, 'x'), "Ann").isEmpty());
}

TEST(ActivityFrames, StudentResultMarks)
{
    EXPECT_EQ(resultOfStudent(kTeacher, 7, 2, "AC", "AC", 10), frame("F7 56 EF 06 07 00 54 02 41 43"));
    EXPECT_EQ(resultOfStudent(kTeacher, 7, 2, "AC", "AC", 0), frame("F7 56 EF 06 07 00 46 02 41 43"))
        << "a right answer to a question without points is no mark";
    EXPECT_EQ(resultOfStudent(kTeacher, 7, 2, "B", "AC", 10), frame("F7 56 EF 05 07 00 46 02 42"));
    EXPECT_EQ(resultOfStudent(kTeacher, 7, 3, QString(), QString(), 10), frame("F7 56 EF 04 07 00 4E 03"))
        << "no answer: N, even where the question has no answer either";
    EXPECT_EQ(resultOfStudent(kTeacher, 7, 0, "A", "A", 10), frame("F7 56 EF 06 07 00 46 00 5F 4E"))
        << "no question asked yet";
}

TEST(ActivityFrames, ClassHistograms)
{
    ClassResult counted;
    counted.questionType = 1;
    EXPECT_EQ(resultOfClass(kTeacher, counted), frame("FD 56 EF 08 00 00 00 00 00 00 00 00")) << "no student: 0 %";
    counted.students = 3;
    counted.rightAnswers = 2;
    EXPECT_EQ(resultOfClass(kTeacher, counted), frame("FD 56 EF 08 00 00 00 03 00 02 00 42"));

    ClassResult choice;
    choice.questionType = 0;
    choice.correctAnswer = "B";
    choice.students = 3;
    choice.options = {{1, 33}, {2, 66}};
    choice.noAnswer = {0, 0};
    EXPECT_EQ(resultOfClass(kTeacher, choice), frame("FD 56 EF 0E 01 42 03 03 00 01 00 21 02 00 42 00 00 00"));
    choice.questionType = 5;
    choice.correctAnswer = "False";
    EXPECT_EQ(resultOfClass(kTeacher, choice).mid(4, 2), hexBytes("01 42"));
    choice.correctAnswer = "nocorrect";
    EXPECT_EQ(resultOfClass(kTeacher, choice).mid(4, 2), hexBytes("02 58"));
    choice.correctAnswer.clear();
    EXPECT_EQ(resultOfClass(kTeacher, choice).mid(4, 2), hexBytes("02 58"));
    ClassResult page;
    page.questionType = 4;
    EXPECT_EQ(resultOfClass(kTeacher, page), frame("FD 56 EF 00"));
}
