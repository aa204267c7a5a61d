#pragma once

#include "support/PollixTest.h"
#include "support/EventWait.h"

#include "core/engine/QuizData.h"
#include "core/engine/QuizMode.h"
#include "core/engine/QuizParticipantData.h"
#include "core/engine/QuizQuestions.h"
#include "core/keypad/KeypadMouse.h"
#include "platform/NotificationCenter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTest>

#include <functional>
#include <mutex>

// Bytes from hex text with blanks ("F4 00 C0 01"); the test's own check byte is appended when asked.
inline QByteArray hexBytes(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

inline QByteArray withXor(const QByteArray &head)
{
    char crc = 0;
    for (char c : head)
        crc ^= c;
    return head + crc;
}

inline QByteArray frameHex(const char *hexWithoutCheck)
{
    return withXor(hexBytes(hexWithoutCheck));
}

inline QString toHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// A class of n students with IDs "S001".. and names "First1 Last1"..; device numbers 1..n when
// asked (keypads that do not log in), else 0. Known class, teacher and run numbers.
inline void fillClass(int n, bool deviceNumbersFromOne)
{
    auto *qpd = QuizParticipantData::shareManager();
    QList<StudentInClassPtr> students;
    for (int i = 1; i <= n; ++i) {
        auto s = std::make_shared<StudentInClass>();
        s->setStudentNo(i);
        s->setStudentID(QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0')));
        s->setStudentFirstName(QStringLiteral("First%1").arg(i));
        s->setStudentLastName(QStringLiteral("Last%1").arg(i));
        s->setStudentFullName(QStringLiteral("First%1 Last%1").arg(i));
        s->setDeviceNo(deviceNumbersFromOne ? i : 0);
        students << s;
    }
    qpd->setArrayClassStudents(students);
    qpd->setClassName(QStringLiteral("Class 7B"));
    qpd->setTeacherName(QStringLiteral("Ms Smith"));
    qpd->setRandomTeacherID(0x3456);
    qpd->setRandomQuizID(0x1234);
    qpd->setRandomQuestionID(0x77);
}

inline QuizQuestionsElement question(int type, int options, const QString &answer, const QString &title = QStringLiteral("Q"))
{
    QuizQuestionsElement e;
    e.setStrTitle(title);
    e.setNQuestionType(type);
    e.setNOptionNum(options);
    e.setStrAnswer(answer);
    return e;
}

// A run's shared data with a known class, teacher and run numbers; frames sent by activity
// objects are captured instead of going to a receiver; notifications are recorded.
class EngineFixture : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        QuizMode::setFrameSink([this](const QByteArray &f) {
            std::lock_guard lock(m_sentMutex);
            m_sent << f;
            return true;
        });
        QuizMode::setSendQueStateProvider([this] { return m_sendQuestions; });
        m_observer = std::make_unique<QObject>();
        NotificationCenter::defaultCenter()->addObserver(m_observer.get(), QString(),
                                                         [this](const Notification &n) { m_notes << n; });
    }

    void TearDown() override
    {
        m_observer.reset();
        QuizMode::setFrameSink({});
        QuizMode::setSendQueStateProvider({});
        QuizMode::setRequestQuesStusWindowFactory({});
        KeypadMouse::setSink({});
        PollixTest::TearDown();
    }

    void makeClass(int n, bool deviceNumbersFromOne = false) { fillClass(n, deviceNumbersFromOne); }

    QList<QByteArray> sent()
    {
        std::lock_guard lock(m_sentMutex);
        return m_sent;
    }
    QList<QByteArray> takeSent()
    {
        std::lock_guard lock(m_sentMutex);
        QList<QByteArray> out = m_sent;
        m_sent.clear();
        return out;
    }

    QList<Notification> notes(const QString &name) const
    {
        QList<Notification> out;
        for (const auto &n : m_notes)
            if (n.name == name)
                out << n;
        return out;
    }

    static void feed(QuizMode &mode, const ReceivedFrame &f)
    {
        mode.setFrameToHandle(f);
        if (f.type() == 1)
            mode.handleDataReceiveCorvel_Dravel();
        else
            mode.handleStudentCommandArvel();
    }

    // Runs the event loop until pred holds.
    static bool waitUntil(const std::function<bool()> &pred) { return QTest::qWaitFor(pred, kEventWaitMs); }

    // Runs the event loop until the object's timed sends and broadcast are done.
    static void drain(const QuizMode &mode)
    {
        QElapsedTimer t;
        t.start();
        while (mode.hasPendingSends() && t.elapsed() < kEventWaitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    // A login frame of the F8 form: F7, ID bytes, 00, name bytes, one trailing byte.
    static ReceivedFrame loginF8(int address, const QByteArray &id, const QByteArray &name = "Ann")
    {
        return ReceivedFrame::large(0xF8, uint8_t(address & 0xFF), uint8_t(address >> 8),
                                    QByteArray(1, char(0xF7)) + id + QByteArray(1, '\0') + name + QByteArray(1, '\0'));
    }
    static ReceivedFrame answerF7(int d, const QByteArray &text)
    {
        return ReceivedFrame::large(0xF7, uint8_t(d & 0xFF), uint8_t(d >> 8), QByteArray(2, '\0') + text);
    }
    static ReceivedFrame teacher(uint8_t cmd, const QByteArray &data)
    {
        return ReceivedFrame::large(cmd, 0x01, 0xEF, data);
    }

    bool m_sendQuestions = true;
    QList<Notification> m_notes;

private:
    std::mutex m_sentMutex;
    QList<QByteArray> m_sent;
    std::unique_ptr<QObject> m_observer;
};
