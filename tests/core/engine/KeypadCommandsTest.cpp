#include "EngineFixture.h"

#include "core/engine/Brevel_Normal.h"
#include "core/engine/Corvel_Normal.h"
#include "core/engine/Corvel_PaperQuiz.h"
#include "core/engine/Corvel_QuickGroup.h"
#include "core/engine/Corvel_Survey.h"
#include "core/engine/Dravel_Normal.h"
#include "support/LogLines.h"

namespace {
class KeypadCommands : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        makeClass(3);
        auto q = question(0, 4, QStringLiteral("A"), QStringLiteral("Pick"));
        QuizQuestions::shareManager()->addQuestion(q);
        QuizQuestions::shareManager()->addQuestion(question(1, 4, QStringLiteral("AB")));
        QuizQuestions::shareManager()->addQuestion(question(5, 2, QStringLiteral("True")));
    }
    template <typename T>
    std::unique_ptr<T> make(int deviceType)
    {
        auto m = std::make_unique<T>();
        m->setDeviceType(deviceType);
        return m;
    }
};

// "Class 7B" EE "Ms Smith" EE
const QByteArray kNames = hexBytes("43 6C 61 73 73 20 37 42 EE 4D 73 20 53 6D 69 74 68 EE");
} // namespace

TEST_F(KeypadCommands, CorvelLoginRepliesAndTheSameIdKeepsItsNumber)
{
    auto mode = make<Corvel_Normal>(2);
    feed(*mode, loginF8(5, "S002"));
    feed(*mode, loginF8(9, "S003"));
    feed(*mode, loginF8(5, "S002"));
    const QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 3);
    EXPECT_EQ(out[0], frameHex("FE 05 00 0A F7 01 00 01 34 12 53 30 30 32"));
    EXPECT_EQ(out[1], frameHex("FE 09 00 0A F7 02 00 01 34 12 53 30 30 33"));
    EXPECT_EQ(out[2], out[0]);
    auto *qpd = QuizParticipantData::shareManager();
    EXPECT_EQ(qpd->getSumOfLoginStudents(), 2);
    ASSERT_EQ(notes(QStringLiteral("QUIZSTATESTUDENTLOGIN")).size(), 3);
    const auto student = notes(QStringLiteral("QUIZSTATESTUDENTLOGIN"))[1].userInfo.value(QStringLiteral("STUDENTINCLASS")).value<StudentInClassPtr>();
    ASSERT_TRUE(student);
    EXPECT_EQ(student->studentID(), QStringLiteral("S003"));
    EXPECT_EQ(student->deviceNo(), 2);
}

TEST_F(KeypadCommands, DravelLoginMarksQuestionSendingAndEchoesTheWholeData)
{
    auto mode = make<Dravel_Normal>(3);
    feed(*mode, ReceivedFrame::large(0xFE, 0x05, 0x00, QByteArray("S001") + '\0' + "Bo" + '\0'));
    m_sendQuestions = false;
    feed(*mode, loginF8(6, "S002"));
    EXPECT_EQ(takeSent(), (QList<QByteArray>{frameHex("FE 05 00 09 01 00 81 34 12 53 30 30 31"),
                                             frameHex("FE 06 00 0A 02 00 01 34 12 F7 53 30 30 32")}));
    auto brevel = make<Brevel_Normal>(4);
    feed(*brevel, ReceivedFrame::large(0xFE, 0x05, 0x00, QByteArray("S001") + '\0'));
    auto corvel = make<Corvel_Normal>(2);
    feed(*corvel, ReceivedFrame::large(0xFE, 0x05, 0x00, QByteArray("S001") + '\0'));
    EXPECT_TRUE(takeSent().isEmpty()); // FE logins are Dravel's only
}

TEST_F(KeypadCommands, UnknownIdIsRefusedAndOfferedForForcedLogin)
{
    auto mode = make<Corvel_Normal>(2);
    feed(*mode, loginF8(5, "S009", "Zed"));
    EXPECT_EQ(takeSent(), QList<QByteArray>{frameHex("FE 05 00 0B F7 00 FF FF 34 12 F7 53 30 30 39")});
    const auto forced = notes(QStringLiteral("STDUENTFORCELOGIN"));
    ASSERT_EQ(forced.size(), 1);
    const auto s = forced[0].userInfo.value(QStringLiteral("studentInfo")).value<StudentInClassPtr>();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->studentID(), QStringLiteral("S009"));
    EXPECT_EQ(s->studentFirstName(), QStringLiteral("Zed"));
    EXPECT_EQ(s->deviceNo(), 0);
    EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), 0);
}

TEST_F(KeypadCommands, MalformedLoginFramesAreIgnored)
{
    auto mode = make<Dravel_Normal>(3);
    for (const QByteArray &data : {QByteArray(), QByteArray(1, '\0'), QByteArray("\xF7"), QByteArray("\xF7\x00", 2),
                                   QByteArray("S0\xC3", 3)}) {
        feed(*mode, ReceivedFrame::large(0xF8, 5, 0, data));
        feed(*mode, ReceivedFrame::large(0xFE, 5, 0, data));
    }
    // no zero byte: the whole rest is the ID and the name is "Null"
    feed(*mode, ReceivedFrame::large(0xF8, 5, 0, QByteArray("\xF7S001")));
    EXPECT_EQ(takeSent().size(), 1);
    EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), 1);
    mode->setAlreadStartInElimination(true);
    feed(*mode, loginF8(6, "S002"));
    EXPECT_TRUE(takeSent().isEmpty());
}

// Both answers to a login (accepted, refused) echo the student ID; the program's frames hold 60
// data bytes, so a Corvel keypad's ID may be 53 bytes long (54 accepted, but the refusal echoes F7
// too) and a Dravel's 55. A longer one is left unanswered, not taken in: the keypad would never
// learn that its student shows as logged in.
TEST_F(KeypadCommands, ALoginWhoseIdNoAnswerCanEchoIsIgnored)
{
    struct Case
    {
        int deviceType;
        int idBytes;
        bool answered;
    };
    for (const Case c : {Case{2, 53, true}, Case{2, 54, false}, Case{3, 55, true}, Case{3, 56, false}}) {
        SCOPED_TRACE(testing::Message() << "model " << c.deviceType << ", ID of " << c.idBytes << " bytes");
        const QByteArray id(c.idBytes, '7');
        QuizParticipantData::shareManager()->setArrayLoginStudents({});
        QuizParticipantData::shareManager()->arrayClassStudents()[0]->setStudentID(QString::fromLatin1(id));
        const LogLines log;
        std::unique_ptr<QuizMode> mode;
        if (c.deviceType == 2) {
            mode = make<Corvel_Normal>(2);
            feed(*mode, loginF8(5, id, "A"));
        } else {
            mode = make<Dravel_Normal>(3);
            feed(*mode, ReceivedFrame::large(0xFE, 0x05, 0x00, id + '\0' + "A" + '\0'));
        }
        const QList<QByteArray> sent = takeSent();
        EXPECT_EQ(sent.size(), c.answered ? 1 : 0);
        if (c.answered) {
            EXPECT_TRUE(sent.first().chopped(1).endsWith(id)) << "the whole ID echoed";
        }
        EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), c.answered ? 1 : 0);
        EXPECT_EQ(log.containing(QStringLiteral("too long for an answer")).size(), c.answered ? 0 : 1);
    }
}

TEST_F(KeypadCommands, PaperQuizLoginAlsoSendsTheExamInformation)
{
    QuizQuestions::shareManager()->setStrTestTitle(QStringLiteral("/data/Quiz/Fractions.pqz"));
    QuizQuestions::shareManager()->setNTestID(1234);
    auto mode = make<Corvel_PaperQuiz>(2);
    feed(*mode, loginF8(5, "S001"));
    drain(*mode);
    const QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[0], frameHex("FE 05 00 0A F7 01 00 02 34 12 53 30 30 31"));
    EXPECT_EQ(out[1], frameHex("F7 01 00 0E FE 03 22 0C 46 72 61 63 74 69 6F 6E 73 EE"));
}

TEST_F(KeypadCommands, AnswersAreDecodedStoredWithTheirTimeAndCountedOnce)
{
    auto mode = make<Corvel_Normal>(2);
    for (const char *id : {"S001", "S002", "S003"})
        feed(*mode, loginF8(1, id));
    takeSent();
    mode->modeStart(2);
    mode->setQuizStateScreenTimer(4);
    feed(*mode, answerF7(1, "ba"));
    mode->setQuizStateScreenTimer(6);
    feed(*mode, answerF7(2, ""));
    feed(*mode, answerF7(1, "ca"));
    feed(*mode, answerF7(7, "A")); // nobody logged in carries 7
    auto *qd = QuizData::shareManager();
    EXPECT_EQ(qd->getStudentAnswer(2, 1), QStringLiteral("AC"));
    EXPECT_EQ(qd->getStudentAnswerTime(2, 1), 6);
    EXPECT_EQ(qd->getStudentAnswer(2, 2), QStringLiteral(" "));
    EXPECT_EQ(qd->getStudentAnswer(2, 3), QString());
    EXPECT_EQ(mode->nAnsweredNum(), 2);
    const auto posted = notes(QStringLiteral("STUDENTANSWERMESSAGE"));
    ASSERT_EQ(posted.size(), 3);
    EXPECT_EQ(posted[2].userInfo.value(QStringLiteral("DEVICENO")).toInt(), 1);
    EXPECT_EQ(posted[2].userInfo.value(QStringLiteral("ANSNUM")).toInt(), 2);

    mode->modeStart(3);
    feed(*mode, ReceivedFrame::large(0xF8, 3, 0, QByteArray("\xF5\x00t", 3))); // F8 form of an answer
    feed(*mode, answerF7(2, "b"));
    feed(*mode, answerF7(1, "\xC3\x28")); // not UTF-8
    EXPECT_EQ(qd->getStudentAnswer(3, 3), QStringLiteral("True"));
    EXPECT_EQ(qd->getStudentAnswer(3, 2), QStringLiteral("False"));
    EXPECT_EQ(qd->getStudentAnswer(3, 1), QString());
    EXPECT_EQ(mode->nAnsweredNum(), 2);
    EXPECT_TRUE(takeSent().isEmpty());
}

TEST_F(KeypadCommands, KeyFramesOnLargeReceiversAreOneCharacterAnswers)
{
    auto mode = make<Dravel_Normal>(3);
    feed(*mode, loginF8(1, "S001"));
    mode->modeStart(1);
    feed(*mode, ReceivedFrame::small(0x20, 0x91, 0xB1)); // keypad 1, key "B"
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, 1), QStringLiteral("B"));
}

TEST_F(KeypadCommands, BrevelDecodingSkipsNavigationAndDoesNotUpperCase)
{
    makeClass(3, true);
    auto mode = make<Brevel_Normal>(4);
    EXPECT_EQ(QuizParticipantData::shareManager()->getSumOfLoginStudents(), 3);
    mode->modeStart(2);
    auto brevel = [](int d, uint8_t key, const QByteArray &text) {
        return ReceivedFrame::large(0xF7, uint8_t(d), 0, QByteArray(2, '\x11') + char(key) + QByteArray(3, '\x22') + text);
    };
    feed(*mode, brevel(1, 1, "A"));
    feed(*mode, brevel(2, 2, "BA"));
    feed(*mode, brevel(3, 2, "ba"));
    feed(*mode, ReceivedFrame::large(0xF7, 1, 0, hexBytes("00 00 02 00")));
    auto *qd = QuizData::shareManager();
    EXPECT_EQ(qd->getStudentAnswer(2, 1), QString());
    EXPECT_EQ(qd->getStudentAnswer(2, 2), QStringLiteral("AB"));
    EXPECT_EQ(qd->getStudentAnswer(2, 3), QStringLiteral("ab"));
    mode->modeStart(3);
    feed(*mode, brevel(1, 2, "A"));
    EXPECT_EQ(qd->getStudentAnswer(3, 1), QStringLiteral("True"));
    EXPECT_EQ(mode->nAnsweredNum(), 1);
}

TEST_F(KeypadCommands, AskedListRulesOfDravelAndBrevel)
{
    auto dravel = make<Dravel_Normal>(3);
    for (int q : {3, 5, 3})
        dravel->modeStart(q);
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), (QList<int>{3, 5}));
    QuizData::shareManager()->removeActivityRecord();
    auto brevel = make<Brevel_Normal>(4);
    for (int q : {3, 5, 3})
        brevel->modeStart(q);
    EXPECT_EQ(QuizData::shareManager()->arrayAlreadyTestQuestionNo(), (QList<int>{5, 3}));
}

TEST_F(KeypadCommands, QuestionSignalsLogoutAndStateQueries)
{
    auto mode = make<Corvel_Normal>(2);
    for (int d = 1; d <= 22; ++d)
        feed(*mode, ReceivedFrame::large(0xF5, uint8_t(d), 0, hexBytes("00 00 0A")));
    feed(*mode, ReceivedFrame::large(0xF5, 1, 0, hexBytes("00 00 0A")));
    EXPECT_EQ(mode->studentsQuestioned().size(), 20);
    EXPECT_EQ(notes(QStringLiteral("STUDENTHAVEQUESTION")).size(), 20);
    feed(*mode, ReceivedFrame::large(0xF6, 4, 0, hexBytes("00 00 EF")));
    feed(*mode, ReceivedFrame::large(0xF6, 4, 0, hexBytes("00 00 EE")));
    ASSERT_EQ(notes(QStringLiteral("STUDENT_LOGOUT")).size(), 1);
    EXPECT_EQ(notes(QStringLiteral("STUDENT_LOGOUT"))[0].userInfo.value(QStringLiteral("STUDENTDEVICE")).toInt(), 4);
    feed(*mode, ReceivedFrame::large(0xF5, 4, 0, hexBytes("00 00 0E")));
    feed(*mode, ReceivedFrame::large(0xF5, 4, 0, hexBytes("00 00 0B"))); // no question announced: wait
    EXPECT_EQ(takeSent(), (QList<QByteArray>{frameHex("F5 34 12 05 02 00 00 00 00"), frameHex("F3 04 00 E2")}));
}

TEST_F(KeypadCommands, FreeStyleQuestionFromTheTeacherKeypad)
{
    auto mode = make<Corvel_Normal>(2);
    feed(*mode, teacher(0xF7, QByteArray("\x02\x02T", 3)));
    feed(*mode, teacher(0xF7, QByteArray("\x01\x04" "CA", 4)));
    const auto posted = notes(QStringLiteral("FREESTYLE_ADDNEWQUESTION_MESSAGE"));
    ASSERT_EQ(posted.size(), 2);
    EXPECT_EQ(posted[0].userInfo.value(QStringLiteral("QUETYPE")).toInt(), 5);
    EXPECT_EQ(posted[0].userInfo.value(QStringLiteral("QUEANS")).toString(), QStringLiteral("True"));
    EXPECT_EQ(posted[1].userInfo.value(QStringLiteral("OPTSUM")).toInt(), 4);
    EXPECT_EQ(takeSent(), QList<QByteArray>(2, frameHex("F3 01 EF E0")));
    mode->setWakeUpMode(1);
    feed(*mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3"))); // a question is announced
    takeSent();
    feed(*mode, teacher(0xF7, QByteArray("\x01\x04" "A", 3)));
    EXPECT_EQ(notes(QStringLiteral("FREESTYLE_ADDNEWQUESTION_MESSAGE")).size(), 2);
    EXPECT_TRUE(takeSent().isEmpty());
}

// ---------------------------------------------------------------- teacher keypad

TEST_F(KeypadCommands, TeacherLoginClassAndSums)
{
    auto mode = make<Corvel_Normal>(2);
    feed(*mode, loginF8(5, "S002"));
    takeSent();
    feed(*mode, teacher(0xFE, QByteArray()));
    feed(*mode, teacher(0xF9, hexBytes("E0")));
    feed(*mode, teacher(0xF8, hexBytes("0F")));
    const QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 3);
    EXPECT_EQ(out[0], withXor(hexBytes("F9 01 EF 19") + kNames + hexBytes("00 03 00 01 00 56 F7")));
    EXPECT_EQ(out[1], withXor(hexBytes("F9 01 EF 14") + kNames + hexBytes("03 00")));
    EXPECT_EQ(out[2], frameHex("F8 01 EF 06 FF FF 03 00 01 00"));
    EXPECT_EQ(mode->nTeacherDeviceID(), 0xEF01);
}

TEST_F(KeypadCommands, TeacherBrowsesTheClassWithBoundedIndexes)
{
    auto mode = make<Dravel_Normal>(3);
    feed(*mode, teacher(0xF8, hexBytes("01 02 00 03 00")));
    feed(*mode, teacher(0xF8, hexBytes("01 03 00 03 00"))); // past the class
    feed(*mode, teacher(0xF8, hexBytes("01 FF FF 03 00")));
    feed(*mode, teacher(0xF8, hexBytes("01 00 00 04 00"))); // the keypad knows another class size
    feed(*mode, teacher(0xF8, hexBytes("01 00"))); // too short
    const QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 4);
    EXPECT_EQ(out[0], withXor(hexBytes("F8 56 EF 16 02 00 04") + "S003" + hexBytes("EE 0C") + "First3 Last3" + hexBytes("EE")));
    EXPECT_EQ(out[1], frameHex("F3 56 EF E0"));
    EXPECT_EQ(out[2], frameHex("F3 56 EF E0"));
    EXPECT_EQ(out[3], frameHex("F3 56 EF EA"));
}

TEST_F(KeypadCommands, OverlongStudentIdReplyIsRefused)
{
    QuizParticipantData::shareManager()->arrayClassStudents()[0]->setStudentID(QString(45, QLatin1Char('9')));
    auto mode = make<Dravel_Normal>(3);
    feed(*mode, teacher(0xF8, hexBytes("01 00 00 03 00")));
    EXPECT_TRUE(takeSent().isEmpty());
}

TEST_F(KeypadCommands, TeacherReadsAnswersQuestionsAndLoggedInPages)
{
    auto mode = make<Corvel_Normal>(2);
    for (const char *id : {"S002", "S001"})
        feed(*mode, loginF8(1, id));
    mode->modeStart(1);
    feed(*mode, answerF7(1, "A"));
    mode->modeStop();
    takeSent();
    feed(*mode, teacher(0xF8, QByteArray("\x04S002", 5) + '\0')); // first answer of S002 (device 1)
    feed(*mode, teacher(0xF8, hexBytes("05 01")));
    feed(*mode, teacher(0xF8, hexBytes("05 00"))); // k 0: end, and the browsed student is forgotten
    feed(*mode, teacher(0xF8, hexBytes("05 01")));
    feed(*mode, teacher(0xF8, QByteArray("\x04S003", 5) + '\0')); // not logged in
    feed(*mode, teacher(0xF8, hexBytes("07 00 00 00")));
    feed(*mode, teacher(0xF8, hexBytes("07 02 00 00")));
    feed(*mode, teacher(0xF8, hexBytes("08 03 00 03 00")));
    feed(*mode, teacher(0xF8, hexBytes("08 04 00 03 00")));
    feed(*mode, teacher(0xF8, hexBytes("08 01 00 09 00"))); // the keypad's set differs: no reply
    const QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 9);
    EXPECT_EQ(out[0], frameHex("F7 56 EF 05 01 00 54 01 41"));
    EXPECT_EQ(out[1], out[0]);
    EXPECT_EQ(out[2], frameHex("F3 56 EF E0"));
    EXPECT_EQ(out[3], frameHex("F3 56 EF E0"));
    EXPECT_EQ(out[4], frameHex("F3 56 EF E1"));
    EXPECT_EQ(out[5], frameHex("FF 56 EF 05 01 01 00 00 00"));
    EXPECT_EQ(out[6], frameHex("FF 56 EF 03 E0 02 00"));
    EXPECT_EQ(out[7], frameHex("FA 01 EF 07 03 00 00 02 00 41 EE"));
    EXPECT_EQ(out[8], frameHex("FF 01 EF 03 E1 03 00"));
}

TEST_F(KeypadCommands, HistogramOfAChoiceQuestion)
{
    auto mode = make<Corvel_Normal>(2);
    for (const char *id : {"S001", "S002", "S003"})
        feed(*mode, loginF8(1, id));
    mode->modeStart(1);
    feed(*mode, answerF7(1, "A"));
    feed(*mode, answerF7(2, "b"));
    takeSent();
    feed(*mode, teacher(0xF8, hexBytes("06")));
    EXPECT_EQ(takeSent(), QList<QByteArray>{frameHex("FD 56 EF 14 01 41 05 03 00 01 00 21 01 00 21 00 00 00 00 00 00 01 00 21")});
    mode->modeStart(2);
    feed(*mode, answerF7(3, "BA"));
    feed(*mode, teacher(0xF8, hexBytes("06")));
    EXPECT_EQ(takeSent(), QList<QByteArray>{frameHex("FD 56 EF 08 00 00 00 03 00 01 00 21")});
}

TEST_F(KeypadCommands, QuestionContentForTheTeacherSendsOnlyMissingFrames)
{
    QuizQuestions::shareManager()->addQuestion(question(2, 0, QString(), QString(100, QLatin1Char('q'))));
    auto mode = make<Dravel_Normal>(3);
    feed(*mode, teacher(0xF8, hexBytes("11 04 00 FF FF")));
    drain(*mode);
    EXPECT_TRUE(takeSent().isEmpty());
    feed(*mode, teacher(0xF8, hexBytes("11 04 00 02 00")));
    feed(*mode, teacher(0xF8, hexBytes("11 09 00 00 00"))); // not in the set
    drain(*mode);
    const QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 2); // 100 characters: 5 lines, 3 frame texts; frame 2 is there already
    const QByteArray line = QByteArray(20, 'q') + '-';
    EXPECT_EQ(out[0], withXor(hexBytes("FA 01 EF 2F E0 03 01 04 77") + line.left(20) + '-' + line));
    EXPECT_EQ(out[1], withXor(hexBytes("FA 01 EF 1A E0 03 03 04 77") + QByteArray(20, 'q') + '\0'));
}

namespace {
struct FakeRequestWindow : RequestQuesStusWindow
{
    QList<int> *added;
    int *shows;
    bool visible = false;
    FakeRequestWindow(QList<int> *a, int *s) : added(a), shows(s) {}
    void addRequestQuesStudents(const StudentInClassPtr &, int d) override { added->append(d); }
    bool isVisible() const override { return visible; }
    void showWindow() override
    {
        visible = true;
        ++*shows;
    }
};
} // namespace

TEST_F(KeypadCommands, PaperQuizRequestsForTheQuestionsAreListedInOneWindow)
{
    QList<int> added;
    int shows = 0;
    int made = 0;
    QuizMode::setRequestQuesStusWindowFactory([&] {
        ++made;
        return std::make_unique<FakeRequestWindow>(&added, &shows);
    });
    auto mode = make<Corvel_PaperQuiz>(2);
    feed(*mode, loginF8(5, "S001"));
    drain(*mode);
    takeSent();
    feed(*mode, ReceivedFrame::large(0xF5, 1, 0, hexBytes("00 00 0B")));
    feed(*mode, ReceivedFrame::large(0xF5, 1, 0, hexBytes("00 00 0B")));
    feed(*mode, ReceivedFrame::large(0xF5, 8, 0, hexBytes("00 00 0B"))); // nobody logged in carries 8
    EXPECT_EQ(made, 1);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(added, (QList<int>{1, 1}));
    EXPECT_EQ(mode->arrAskForQueStu(), (QList<int>{1, 1, 8}));
    EXPECT_EQ(takeSent(), (QList<QByteArray>{frameHex("F3 01 00 E0"), frameHex("F3 01 00 E0"), frameHex("F3 08 00 E0")}));
}

TEST_F(KeypadCommands, AnswersBeforeTheFirstQuestionAreNeitherCountedNorPosted)
{
    auto mode = make<Dravel_Normal>(3);
    feed(*mode, loginF8(1, "S001"));
    feed(*mode, answerF7(1, "A"));
    feed(*mode, answerF7(1, "B"));
    EXPECT_EQ(mode->nAnsweredNum(), 0);
    EXPECT_TRUE(notes(QStringLiteral("STUDENTANSWERMESSAGE")).isEmpty());
    mode->modeStart(1);
    feed(*mode, answerF7(1, "b"));
    EXPECT_EQ(mode->nAnsweredNum(), 1);
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, 1), QStringLiteral("B"));
}

TEST_F(KeypadCommands, TeacherReadingAnotherQuestionLeavesTheRunningOneAlone)
{
    QuizQuestions::shareManager()->addQuestion(question(2, 0, QString(), QString(100, QLatin1Char('q'))));
    auto mode = make<Dravel_Normal>(3);
    feed(*mode, loginF8(1, "S001"));
    mode->modeStart(1);
    takeSent();
    feed(*mode, teacher(0xF8, hexBytes("11 04 00 FD 00"))); // frame 2 of question 4 is missing
    drain(*mode);
    const QByteArray line = QByteArray(20, 'q') + '-';
    EXPECT_EQ(takeSent(), QList<QByteArray>{withXor(hexBytes("FA 01 EF 2F E0 03 02 04 77") + line + line)});
    EXPECT_EQ(mode->nQuestionNo(), 1);
    EXPECT_EQ(QuizParticipantData::shareManager()->randomQuestionID(), 0x77);
    feed(*mode, answerF7(1, "a"));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, 1), QStringLiteral("A"));
    mode->sendPCState(3);
    EXPECT_EQ(takeSent(), QList<QByteArray>{frameHex("F5 34 12 05 03 01 00 04 01")});
}

TEST_F(KeypadCommands, TeacherAndExamInformationCountQuestionsWithoutDroppingPages)
{
    auto *qq = QuizQuestions::shareManager();
    qq->addQuestion(question(4, 0, QString())); // a teaching-plan page, without an answer
    qq->addQuestion(question(0, 4, QStringLiteral("B")));
    auto mode = make<Corvel_Normal>(2);
    feed(*mode, loginF8(1, "S001"));
    mode->modeStart(5);
    takeSent();
    feed(*mode, teacher(0xF9, hexBytes("E1")));
    EXPECT_EQ(takeSent(), QList<QByteArray>{frameHex("FA 01 EF 09 04 00 00 01 4E 75 6C 6C EE")});
    EXPECT_EQ(qq->count(), 5); // question 5 is still question 5
    feed(*mode, answerF7(1, "b"));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(5, 1), QStringLiteral("B"));
}

TEST_F(KeypadCommands, ExamInformationAnnouncesAtMostNinetyNineAndNothingForPagesOnly)
{
    auto *qq = QuizQuestions::shareManager();
    qq->removeAllQuestionsInfo();
    for (int i = 0; i < 120; ++i)
        qq->addQuestion(question(0, 4, QStringLiteral("A")));
    auto mode = make<Corvel_PaperQuiz>(2);
    feed(*mode, loginF8(5, "S001"));
    drain(*mode);
    QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 2);
    EXPECT_EQ(out[1], frameHex("F7 01 00 09 FE 63 00 00 4E 75 6C 6C EE"));

    qq->removeAllQuestionsInfo();
    qq->addQuestion(question(4, 0, QString()));
    qq->addQuestion(question(4, 0, QString()));
    feed(*mode, loginF8(6, "S002"));
    drain(*mode);
    out = takeSent();
    EXPECT_EQ(out.size(), 1); // the login reply only
}

TEST_F(KeypadCommands, BrevelQuestionWakeUpSendsTheTypeThenTheWakeThenThePermission)
{
    auto mode = make<Brevel_Normal>(4);
    mode->setWakeUpMode(1);
    mode->setNQuestionNoExceptTeachingPlane(1);
    mode->modeStart(1);
    feed(*mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
    drain(*mode);
    QList<QByteArray> out = takeSent();
    ASSERT_EQ(out.size(), 12);
    EXPECT_EQ(out[0], frameHex("F5 34 12 07 03 01 00 04 01 FF 41"));
    for (int i = 1; i <= 10; ++i) {
        const QByteArray r = out[i].mid(5, 2); // the keypads' own marks of this question
        EXPECT_EQ(out[i], withXor(hexBytes("F7 00 00 0A F5") + r + hexBytes("03 01 00 04 01 FF 41"))) << i;
    }
    EXPECT_EQ(out[11], hexBytes("F4 00 C0 01 35"));
    EXPECT_TRUE(mode->startFlag());

    feed(*mode, ReceivedFrame::large(0xF5, 0, 0, hexBytes("E3")));
    drain(*mode);
    out = takeSent();
    ASSERT_EQ(out.size(), 12);
    const QByteArray r = out[11].mid(1, 2);
    EXPECT_EQ(out[11], withXor(hexBytes("F5") + r + hexBytes("07 03 01 00 04 01 FF 41")));

    feed(*mode, teacher(0xFE, QByteArray())); // the whole class counts as logged in
    EXPECT_EQ(takeSent(), QList<QByteArray>{withXor(hexBytes("F9 01 EF 19") + kNames + hexBytes("00 03 00 03 00 56 F5"))});
}

TEST_F(KeypadCommands, TeacherReadsTheNamesOfStudentsWithAQuestion)
{
    auto mode = make<Dravel_Normal>(3);
    feed(*mode, loginF8(1, "S001"));
    feed(*mode, ReceivedFrame::large(0xF5, 1, 0, hexBytes("00 00 0A")));
    takeSent();
    feed(*mode, teacher(0xF8, hexBytes("03 00")));
    feed(*mode, teacher(0xF8, hexBytes("03 01"))); // past the list: end, and the list is emptied
    feed(*mode, teacher(0xFE, QByteArray()));
    EXPECT_EQ(takeSent(), (QList<QByteArray>{withXor(hexBytes("FC 56 EF 0D") + "First1 Last1" + hexBytes("EE")),
                                             frameHex("F3 56 EF E0"),
                                             withXor(hexBytes("F9 01 EF 18") + kNames + hexBytes("00 03 00 01 00 56"))}));
    EXPECT_TRUE(mode->studentsQuestioned().isEmpty());
    EXPECT_EQ(notes(QStringLiteral("STUDENTHAVEQUESTION")).last().userInfo.value(QStringLiteral("COUNT")).toInt(), 0);
}

TEST_F(KeypadCommands, QuickGroupKeysAreGroupChoicesAndSurveysHaveNoResultFrame)
{
    auto group = make<Corvel_QuickGroup>(2);
    feed(*group, loginF8(1, "S001"));
    group->modeStart(1); // a question of 30 seconds
    group->setQuizStateScreenTimer(26);
    feed(*group, ReceivedFrame::small(0x20, 0x91, 0xB1)); // keypad 1, key "B"
    feed(*group, ReceivedFrame::small(0x20, 0x92, 0xB2)); // keypad 2: nobody logged in carries it
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswer(1, 1), QStringLiteral("B"));
    EXPECT_EQ(QuizData::shareManager()->getStudentAnswerTime(1, 1), 4);
    const auto grouped = notes(QStringLiteral("STUDENTQUICKGROUPING"));
    ASSERT_EQ(grouped.size(), 1);
    EXPECT_EQ(grouped[0].userInfo.value(QStringLiteral("DEVICENO")).toInt(), 1);
    EXPECT_EQ(grouped[0].userInfo.value(QStringLiteral("ANSWER")).toString(), QStringLiteral("B"));
    EXPECT_TRUE(notes(QStringLiteral("STUDENTANSWERMESSAGE")).isEmpty());

    auto survey = make<Corvel_Survey>(2);
    survey->modeStart(1);
    feed(*survey, answerF7(1, "A"));
    takeSent();
    feed(*survey, teacher(0xF8, hexBytes("06")));
    EXPECT_TRUE(takeSent().isEmpty());
    EXPECT_EQ(survey->quizMode(), 6);
}

TEST_F(KeypadCommands, TeacherKeypadMouseGoesToThePresentationTools)
{
    QList<int> keys;
    QList<QPair<int, int>> moves;
    KeypadMouse::setSink([&](const KeypadMouse::Command &c) {
        if (c.kind == KeypadMouse::Command::Step)
            keys << c.code;
        else
            moves << qMakePair(c.x, c.y);
    });
    auto mode = make<Corvel_Normal>(2);
    feed(*mode, teacher(0xFC, hexBytes("03")));
    feed(*mode, teacher(0xFC, hexBytes("E0 10 20")));
    feed(*mode, teacher(0xFC, hexBytes("E0 10"))); // no position
    feed(*mode, ReceivedFrame::large(0xFC, 1, 0, hexBytes("03"))); // a student keypad has no mouse
    EXPECT_EQ(keys, QList<int>{3});
    EXPECT_EQ(moves, (QList<QPair<int, int>>{{0x10, 0x20}}));
    EXPECT_TRUE(takeSent().isEmpty());
}
