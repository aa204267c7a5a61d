#include "SimAutoPilot.h"
#include "SimReceiver.h"

#include "platform/SerialPort.h"
#include "support/EventWait.h"
#include "support/RunningPollix.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace keypadsim;

namespace {

std::unique_ptr<SimReceiver> startSim(Model model, quint32 seed = 1, bool pace = false)
{
    SimReceiver::Options o;
    o.model = model;
    o.seed = seed;
    o.paceLine = pace;
    auto sim = std::make_unique<SimReceiver>(o);
    EXPECT_TRUE(sim->start()) << qPrintable(sim->errorString());
    return sim;
}

// A Dravel receiver reached through a link in dir, as a USB receiver is through its port's path.
SimReceiver::Options behindALink(const QTemporaryDir &dir)
{
    SimReceiver::Options o;
    o.model = Model::Dravel;
    o.paceLine = false;
    o.linkPath = dir.filePath(QStringLiteral("receiver"));
    return o;
}

// The simulator works on its own thread: give it time on a busy machine instead of a fixed pause.
bool eventually(const std::function<bool()> &pred, int timeoutMs = kEventWaitMs)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}

// Reads until `count` bytes came or the time is up.
QByteArray readBytes(SerialPort &port, int count, int timeoutMs = kEventWaitMs)
{
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < count && t.elapsed() < timeoutMs) {
        char buf[256];
        const int n = port.readSome(buf, sizeof buf);
        if (n > 0)
            got.append(buf, n);
        else
            QThread::msleep(2);
    }
    return got;
}

} // namespace

TEST(SimReceiver, AnswersTheVersionRequestOfEachLargeModel)
{
    const std::pair<Model, quint8> cases[] = {{Model::Corvel, 0x7F}, {Model::Dravel, 0x9F}, {Model::Brevel, 0x5F}};
    for (const auto &[model, code] : cases) {
        auto sim = startSim(model);
        SerialPort port;
        ASSERT_TRUE(port.open(sim->portPath(), 115200));
        ASSERT_TRUE(port.write("\xF0\x00\x00\x00\xF0", 5));
        const QByteArray answer = readBytes(port, 5);
        ASSERT_EQ(answer.size(), 5);
        EXPECT_EQ(quint8(answer[0]), 0xF0);
        EXPECT_EQ(quint8(answer[3]), code);
    }
}

TEST(SimReceiver, RefusesInputAtTheWrongSpeed)
{
    auto sim = startSim(Model::Dravel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 28800)); // a small-family speed
    ASSERT_TRUE(port.write("\xF0\x00\x00\x00\xF0", 5));
    EXPECT_TRUE(readBytes(port, 1, 150).isEmpty());
    EXPECT_GE(sim->refusedInputCount(), 1);
    EXPECT_TRUE(sim->framesFromProgram().isEmpty());
}

TEST(SimReceiver, RefusesInputOutsideRawMode)
{
    auto sim = startSim(Model::Arvel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 28800));
    struct termios attrs {};
    ASSERT_EQ(tcgetattr(port.fd(), &attrs), 0);
    attrs.c_lflag |= ICANON | ECHO;
    ASSERT_EQ(tcsetattr(port.fd(), TCSANOW, &attrs), 0);
    ASSERT_TRUE(port.write("\x57\x00\x57", 3));
    EXPECT_TRUE(eventually([&] { return sim->refusedInputCount() >= 1; }));
    EXPECT_TRUE(sim->framesFromProgram().isEmpty());
}

TEST(SimReceiver, BytesTheProgramMustNotRelyOnFollowTheSeed)
{
    auto versionAnswer = [](quint32 seed) {
        auto sim = startSim(Model::Dravel, seed);
        SerialPort port;
        EXPECT_TRUE(port.open(sim->portPath(), 115200));
        port.write("\xF0\x00\x00\x00\xF0", 5);
        return readBytes(port, 5);
    };
    const QByteArray a = versionAnswer(42), b = versionAnswer(42);
    EXPECT_EQ(a, b);
    bool differs = false;
    for (quint32 seed = 43; seed < 48 && !differs; ++seed)
        differs = versionAnswer(seed) != a;
    EXPECT_TRUE(differs);
}

TEST(SimReceiver, SmallFamilyKeypadsAndSetUpCommands)
{
    auto sim = startSim(Model::Arvel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 28800));
    sim->answer(18, QStringLiteral("H"));
    sim->pressTeacherKey(0x88);
    EXPECT_EQ(readBytes(port, 6), QByteArray::fromHex("21F2D3" "008888"));
    // Channel 23 is set with the 11-byte frame and read back as 59 2E 77.
    port.write(QByteArray::fromHex("5E80DEB8B8B8B8B8B8B2B3").constData(), 11);
    EXPECT_EQ(readBytes(port, 3), QByteArray::fromHex("7A87FD"));
    port.write("\x59\x00\x59", 3);
    EXPECT_EQ(readBytes(port, 3), QByteArray::fromHex("592E77"));
}

// After "stop input" the student keypads are not heard; the teacher keypad still is (its Next,
// Result and Start keys steer the program between questions). The frames keep their order, so the
// teacher key arriving first shows the answer before it was not passed on.
TEST(SimReceiver, StopInputSilencesTheStudentsButNotTheTeacher)
{
    const std::pair<Model, const char *> cases[] = {{Model::Arvel, "5B80DB"}, {Model::Envel, "5A81DB"}};
    for (const auto &[model, stopInput] : cases) {
        auto sim = startSim(model);
        SerialPort port;
        ASSERT_TRUE(port.open(sim->portPath(), 28800));
        ASSERT_TRUE(port.write(QByteArray::fromHex(stopInput).constData(), 3));
        ASSERT_TRUE(sim->waitForFramesFromProgram(1, kEventWaitMs));
        sim->answer(1, QStringLiteral("B"));
        sim->pressTeacherKey(0x87);
        EXPECT_EQ(readBytes(port, 3), QByteArray::fromHex("008787")) << stopInput;
        // "Receiver on" lets the students through again.
        ASSERT_TRUE(port.write("\x5A\x80\xDA", 3));
        ASSERT_TRUE(sim->waitForFramesFromProgram(2, kEventWaitMs));
        sim->answer(1, QStringLiteral("B"));
        EXPECT_EQ(readBytes(port, 3), QByteArray::fromHex("2091B1")) << stopInput;
    }
}

TEST(SimReceiver, BrevelKeypadConfirmsItsNewIdFromThatAddress)
{
    auto sim = startSim(Model::Brevel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 115200));
    sim->addKeypad(1);
    // Student id 37 (r = 1234 random); the confirmation is an FC frame from address 25 00.
    QByteArray frame = QByteArray::fromHex("FE010007" "00F525003412E0");
    frame.append(char(SimReceiver::xorOf(frame)));
    ASSERT_TRUE(port.write(frame.constData(), int(frame.size())));
    const QByteArray got = readBytes(port, 6);
    ASSERT_EQ(got.size(), 6);
    EXPECT_EQ(got.left(4), QByteArray::fromHex("FC250001"));
    EXPECT_EQ(quint8(got[5]), SimReceiver::xorOf(got.left(5)));
    // It is no login reply: keypad 1, at the frame's address, stays logged out.
    EXPECT_FALSE(sim->keypad(1).loggedIn);
}

TEST(SimReceiver, LoginRepliesGiveTheKeypadItsDeviceNumber)
{
    auto sim = startSim(Model::Dravel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 115200));
    sim->addKeypad(0x1234);
    sim->login(0x1234, QStringLiteral("S001"), QStringLiteral("Ann"));
    // FE, the keypad's id, then the student id, a zero, the name and one byte that is not read.
    const QByteArray login = readBytes(port, 4 + 9 + 1);
    ASSERT_EQ(login.size(), 14);
    EXPECT_EQ(login.left(4), QByteArray::fromHex("FE341209"));
    EXPECT_EQ(login.mid(4, 8), QByteArray("S001\0Ann", 8));
    EXPECT_EQ(quint8(login[13]), SimReceiver::xorOf(login.left(13)));
    // The program accepts it as device number 3 (Dravel: d, mode, quiz id, echo).
    QByteArray reply = QByteArray::fromHex("FE3412") + char(8) + QByteArray::fromHex("0300018899") + "S00";
    reply.append(char(SimReceiver::xorOf(reply)));
    ASSERT_TRUE(port.write(reply.constData(), int(reply.size())));
    ASSERT_TRUE(sim->waitForFramesFromProgram(1, kEventWaitMs));
    EXPECT_TRUE(eventually([&] { return sim->keypad(0x1234).loggedIn; }));
    EXPECT_EQ(sim->keypad(0x1234).deviceNo, 3);
    // Its answers now carry the device number.
    sim->answer(0x1234, QStringLiteral("B"));
    const QByteArray answer = readBytes(port, 8);
    EXPECT_EQ(answer.left(4), QByteArray::fromHex("F7030003"));
    EXPECT_EQ(answer[6], 'B');
}

// A long student ID leaves the name what the frame's 64 data bytes hold after it, in whole
// characters: ID, zero, name, the trailing byte.
TEST(SimReceiver, ALongIdCutsTheNameToWhatTheLoginFrameHolds)
{
    auto sim = startSim(Model::Dravel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 115200));
    const QByteArray id(45, '4');
    EXPECT_EQ(sim->login(0x1234, QString::fromLatin1(id), QString(10, QChar(0xEB))), QString());
    // 17 bytes are left for the name: eight two-byte characters, not half of a ninth.
    const QByteArray login = readBytes(port, 4 + 63 + 1);
    ASSERT_EQ(login.size(), 68);
    EXPECT_EQ(login.left(4), QByteArray::fromHex("FE34123F"));
    EXPECT_EQ(login.mid(4, 46), id + '\0');
    EXPECT_EQ(login.mid(50, 16), QString(8, QChar(0xEB)).toUtf8());
}

// What the receiver hands its keypads is read whole or not at all: a login reply too short to
// hold a device number, an F6 that is not the class's log-out and a reply to a keypad that is not
// in the room change nothing; a refusal (00 FF FF) leaves its keypad out.
TEST(SimReceiver, KeypadsTakeOnlyWholeRepliesMeantForThem)
{
    auto sim = startSim(Model::Corvel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 115200));
    sim->addKeypads(1, 2);
    const auto send = [&](const char *hex) {
        QByteArray frame = QByteArray::fromHex(hex);
        frame.append(char(SimReceiver::xorOf(frame)));
        return port.write(frame.constData(), int(frame.size()));
    };
    // A Corvel reply leads with F7: keypad 1 becomes device 7.
    ASSERT_TRUE(send("FE010004F7070001"));
    ASSERT_TRUE(eventually([&] { return sim->keypad(1).loggedIn; }));
    EXPECT_EQ(sim->keypad(1).deviceNo, 7);
    ASSERT_TRUE(send("FE010003F70900"));
    ASSERT_TRUE(send("F600000301FFFE"));
    ASSERT_TRUE(send("FE030003050001"));
    ASSERT_TRUE(send("FE020004F700FFFF"));
    ASSERT_TRUE(eventually([&] { return sim->keypad(2).loginRefused; }));
    EXPECT_FALSE(sim->keypad(2).loggedIn);
    EXPECT_TRUE(sim->keypad(1).loggedIn);
    EXPECT_EQ(sim->keypad(1).deviceNo, 7);
    EXPECT_EQ(sim->keypadIds(), QList<int>({1, 2}));
}

// The keypads after the class log-out (F6 00 00 03 01 FF FF F4): out, and in again at the next
// wake, as real keypads are; the self-playing class logs in for the second run too.
TEST(SimReceiver, ClassLogoutSendsTheKeypadsOutUntilTheNextWake)
{
    auto sim = startSim(Model::Dravel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 115200));
    sim->addKeypads(1, 3);
    SimAutoPilot::Options options;
    options.keypads = 3;
    options.pollMs = 5;
    SimAutoPilot autopilot(*sim, options);
    autopilot.start();
    const QByteArray wake = QByteArray::fromHex("F400C00135");
    for (int run = 1; run <= 2; ++run) {
        ASSERT_TRUE(port.write(wake.constData(), int(wake.size())));
        // Three logins (FE, the keypad's own id, "S00n" 00 "Student n", one byte, check), each
        // accepted with device number 10 + id.
        const QByteArray logins = readBytes(port, 3 * 20);
        ASSERT_EQ(logins.size(), 3 * 20) << "run " << run;
        for (int i = 0; i < 3; ++i) {
            const QByteArray login = logins.mid(20 * i, 20);
            ASSERT_EQ(login.left(2), QByteArray::fromHex("FE") + char(i + 1)) << "run " << run;
            QByteArray reply = login.left(3) + char(5) + char(10 + i + 1) + QByteArray::fromHex("00013412");
            reply.append(char(SimReceiver::xorOf(reply)));
            ASSERT_TRUE(port.write(reply.constData(), int(reply.size())));
        }
        ASSERT_TRUE(eventually([&] { return sim->keypad(3).loggedIn && sim->keypad(1).loggedIn; }));
        EXPECT_EQ(sim->keypad(2).deviceNo, 12);
        const QByteArray logout = QByteArray::fromHex("F600000301FFFFF4");
        ASSERT_TRUE(port.write(logout.constData(), int(logout.size())));
        ASSERT_TRUE(eventually([&] {
            return !sim->keypad(1).loggedIn && !sim->keypad(2).loggedIn && !sim->keypad(3).loggedIn;
        }));
        EXPECT_EQ(sim->keypad(2).deviceNo, 0);
        EXPECT_EQ(sim->keypad(2).address(), 2) << "its frames carry its own id again";
    }
    EXPECT_EQ(autopilot.loginRounds(), 2);
}

TEST(SimReceiver, DropsAndCorruptsOnRequestAndLogsEverything)
{
    auto sim = startSim(Model::Corvel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 115200));
    sim->dropNextFrames(1);
    sim->corruptNextFrames(1);
    sim->pressTeacherKey(0x81);
    sim->pressTeacherKey(0x82);
    sim->pressTeacherKey(0x83);
    const QByteArray got = readBytes(port, 10);
    ASSERT_EQ(got.size(), 10);
    const QByteArray clean = SimReceiver::shortFrame(0xF4, 0x01, 0xEF, 0x83);
    EXPECT_EQ(got.mid(5), clean);
    EXPECT_NE(got.left(5), SimReceiver::shortFrame(0xF4, 0x01, 0xEF, 0x82));
    const auto sent = sim->framesToProgram();
    ASSERT_EQ(sent.size(), 3);
    EXPECT_TRUE(sent[0].dropped);
    EXPECT_TRUE(sent[1].corrupted);
    EXPECT_LE(sent[0].timeNs, sent[2].timeNs);
}

TEST(SimReceiver, PacesFramesAtTheLineSpeed)
{
    auto sim = startSim(Model::Dravel, 1, true);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 115200));
    for (int i = 0; i < 100; ++i)
        sim->pressTeacherKey(0x81); // 500 bytes: about 43 ms at 115200 baud
    ASSERT_EQ(readBytes(port, 500).size(), 500);
    qint64 first = -1, last = 0;
    for (const SimFrame &f : sim->byteLog()) {
        if (f.direction != SimFrame::ToProgram)
            continue;
        if (first < 0)
            first = f.timeNs;
        last = f.timeNs;
    }
    EXPECT_GE(last - first, 35'000'000); // never faster than the line
}

// While no program holds its port, a receiver's keys wait in its USB bridge as far as that holds
// them: the oldest, cut where the bridge was full, reach the program that opens the port; the
// rest are lost. Once a program holds the port, nothing is held back or lost.
TEST(SimReceiver, KeepsOnlyWhatItsUsbBridgeHoldsWhileNoProgramHoldsThePort)
{
    for (bool closedBefore : {false, true}) {
        SCOPED_TRACE(closedBefore ? "after a program closed the port" : "before any program opened it");
        auto sim = startSim(Model::Dravel);
        if (closedBefore) {
            SerialPort earlier;
            ASSERT_TRUE(earlier.open(sim->portPath(), 115200));
            ASSERT_TRUE(eventually([&] { return sim->programHoldsPort(); }));
        }
        ASSERT_TRUE(eventually([&] { return !sim->programHoldsPort(); }));
        // 300 keys of five bytes: far more than the bridge holds.
        QByteArray pressed;
        for (int i = 0; i < 300; ++i) {
            sim->pressTeacherKey(quint8(i));
            pressed += SimReceiver::shortFrame(0xF4, 0x01, 0xEF, quint8(i));
        }
        EXPECT_EQ(sim->bytesLostWithoutProgram(), pressed.size() - SimReceiver::kHeldWithoutProgram);

        SerialPort port;
        ASSERT_TRUE(port.open(sim->portPath(), 115200));
        ASSERT_TRUE(eventually([&] { return sim->programHoldsPort(); }));
        sim->pressTeacherKey(0x81);
        const QByteArray expected =
            pressed.left(SimReceiver::kHeldWithoutProgram) + SimReceiver::shortFrame(0xF4, 0x01, 0xEF, 0x81);
        EXPECT_EQ(readBytes(port, int(expected.size())), expected);
        EXPECT_EQ(sim->bytesLostWithoutProgram(), pressed.size() - SimReceiver::kHeldWithoutProgram);
    }
}

TEST(SimReceiver, UnplugHangsUpTheProgramsEnd)
{
    auto sim = startSim(Model::Brevel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 115200));
    sim->unplug();
    QByteArray into;
    QElapsedTimer t;
    t.start();
    SerialPort::ReadStatus status = SerialPort::ReadStatus::NoData;
    while (status != SerialPort::ReadStatus::HangUp && t.elapsed() < kEventWaitMs)
        status = port.read(into);
    EXPECT_EQ(status, SerialPort::ReadStatus::HangUp);
}

// Plugged in again the receiver comes back behind the same link, on a new pseudo-terminal, as a
// receiver powered anew (nothing half-heard from before), while its keypads keep their logins.
TEST(SimReceiver, PlugBringsTheReceiverBackOnTheSamePath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const SimReceiver::Options o = behindALink(dir);
    SimReceiver sim(o);
    ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
    EXPECT_EQ(sim.portPath(), o.linkPath);
    EXPECT_EQ(QFileInfo(o.linkPath).symLinkTarget(), sim.ptyPath());
    const QString firstPty = sim.ptyPath();

    SerialPort before;
    ASSERT_TRUE(before.open(sim.portPath(), 115200));
    sim.addKeypad(0x1234);
    QByteArray reply = QByteArray::fromHex("FE3412") + char(8) + QByteArray::fromHex("0300018899") + "S00";
    reply.append(char(SimReceiver::xorOf(reply)));
    ASSERT_TRUE(before.write(reply.constData(), int(reply.size())));
    ASSERT_TRUE(eventually([&] { return sim.keypad(0x1234).loggedIn; }));
    // Half a command when the plug is pulled: the receiver powered anew has forgotten it.
    ASSERT_TRUE(before.write("\xF1\x00", 2));
    ASSERT_TRUE(eventually([&] {
        qsizetype heard = 0;
        for (const SimFrame &f : sim.byteLog())
            heard += f.direction == SimFrame::FromProgram ? f.bytes.size() : 0;
        return heard == reply.size() + 2;
    }));

    sim.unplug();
    EXPECT_FALSE(QFileInfo(o.linkPath).isSymLink()) << "the port's node goes with the receiver";
    QByteArray into;
    SerialPort::ReadStatus status = SerialPort::ReadStatus::NoData;
    ASSERT_TRUE(eventually([&] { return (status = before.read(into)) == SerialPort::ReadStatus::HangUp; }));

    ASSERT_TRUE(sim.plug()) << qPrintable(sim.errorString());
    ASSERT_TRUE(sim.plug()) << "plugged in already: nothing changes";
    EXPECT_EQ(sim.portPath(), o.linkPath);
    EXPECT_NE(sim.ptyPath(), firstPty);
    EXPECT_EQ(QFileInfo(o.linkPath).symLinkTarget(), sim.ptyPath());
    SerialPort after;
    ASSERT_TRUE(after.open(sim.portPath(), 115200));
    ASSERT_TRUE(after.write("\xF0\x00\x00\x00\xF0", 5));
    const QByteArray version = readBytes(after, 5);
    ASSERT_EQ(version.size(), 5) << "the half command from before is forgotten";
    EXPECT_EQ(quint8(version[3]), 0x9F);
    // The keypad kept its device number.
    sim.answer(0x1234, QStringLiteral("C"));
    const QByteArray answer = readBytes(after, 8);
    EXPECT_EQ(answer.left(4), QByteArray::fromHex("F7030003"));
    EXPECT_EQ(answer[6], 'C');
}

// Pollix holds the receiver's port in exclusive use and lets go of it when it closes the port, and
// the port stays as it was. One killed (SIGKILL) never lets go, and a pseudo-terminal keeps
// exclusive use as long as the receiver holds its master side (a USB serial port is freed by the
// last close). So the receiver comes back on a new pseudo-terminal behind the same link, and the
// next Pollix opens it.
TEST(SimReceiver, APortAKilledPollixHeldComesBackFreeForTheNext)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const SimReceiver::Options o = behindALink(dir);
    SimReceiver sim(o);
    ASSERT_TRUE(sim.start()) << qPrintable(sim.errorString());
    const QString firstPty = sim.ptyPath();
    for (int i = 0; i < 2; ++i) {
        SerialPort letGo;
        ASSERT_TRUE(letGo.open(o.linkPath, 115200)) << qPrintable(letGo.lastError());
    }

    const QString home = dir.filePath(QStringLiteral("home"));
    const QStringList ports{QStringLiteral("POLLIX_SERIAL_PORTS=") + o.linkPath};
    const QByteArray opened("start to read com");
    {
        RunningPollix first(home, QStringLiteral(POLLIX_BINARY_DIR "/src/pollix"), {}, ports);
        ASSERT_TRUE(first.saw(opened, kEventWaitMs)) << first.output.toStdString();
        ASSERT_EQ(::kill(pid_t(first.process.processId()), SIGKILL), 0);
        ASSERT_TRUE(first.process.waitForFinished(kEventWaitMs));
    }
    EXPECT_TRUE(eventually([&] { return sim.portRenewals() == 1; }));
    EXPECT_NE(sim.ptyPath(), firstPty);
    EXPECT_EQ(QFileInfo(o.linkPath).symLinkTarget(), sim.ptyPath());

    sim.clearLogs();
    RunningPollix second(home, QStringLiteral(POLLIX_BINARY_DIR "/src/pollix"), {}, ports);
    EXPECT_TRUE(second.saw(opened, kEventWaitMs)) << second.output.toStdString();
    EXPECT_FALSE(second.output.contains("in use by another program")) << second.output.toStdString();
    // It found the receiver by asking it (the model's probe), so what it sends gets there.
    EXPECT_FALSE(sim.framesFromProgram().isEmpty());
    EXPECT_EQ(sim.portRenewals(), 1) << "renewed after a port let go of too";
}

TEST(SimReceiver, UploadsAnswersOnTheHostsSignalAndResendsWhatTheReceiptLacks)
{
    auto sim = startSim(Model::Corvel);
    SerialPort port;
    ASSERT_TRUE(port.open(sim->portPath(), 115200));
    sim->addKeypad(4);
    sim->setUploadAnswers(4, {{1, QStringLiteral("A")}, {2, QStringLiteral("BC")}, {3, QStringLiteral("True")}});
    sim->requestUpload(4);
    EXPECT_EQ(readBytes(port, 6), SimReceiver::longFrame(0xFB, 4, QByteArray::fromHex("0E")));

    // The host signals: one FA frame with every answer, each ended by EE.
    const QByteArray signal = SimReceiver::longFrame(0xFB, 4, QByteArray::fromHex("E0"));
    port.write(signal.constData(), int(signal.size()));
    const QByteArray first = readBytes(port, 5 + 2 + 3 + 4 + 6);
    ASSERT_EQ(first.size(), 20);
    EXPECT_EQ(quint8(first[0]), 0xFA);
    EXPECT_EQ(first.mid(6, 13), QByteArray("\x01" "A\xEE\x02" "BC\xEE\x03" "True\xEE", 13));

    // The receipt lacks question 2: only it comes again.
    QByteArray receipt = QByteArray::fromHex("E400") + QByteArray(13, '\0');
    receipt[2] = char(0x05); // questions 1 and 3
    const QByteArray r = SimReceiver::longFrame(0xFB, 4, receipt);
    port.write(r.constData(), int(r.size()));
    const QByteArray again = readBytes(port, 5 + 2 + 4);
    EXPECT_EQ(again.mid(6, 4), QByteArray("\x02" "BC\xEE", 4));
    receipt[1] = char(0x01);
    const QByteArray done = SimReceiver::longFrame(0xFB, 4, receipt);
    port.write(done.constData(), int(done.size()));
    ASSERT_TRUE(sim->waitForFramesFromProgram(3, kEventWaitMs));
    EXPECT_TRUE(eventually([&] { return sim->keypad(4).uploadComplete; }));
    EXPECT_EQ(sim->keypad(4).uploadRounds, 2);
}

TEST(SimReceiver, CommandLineToolServesAPort)
{
    QProcess tool;
    tool.start(QStringLiteral(POLLIX_BINARY_DIR "/tools/keypad-sim/pollix-keypad-sim"),
               {QStringLiteral("--model"), QStringLiteral("brevel"), QStringLiteral("--quiet"), QStringLiteral("--no-pace")});
    ASSERT_TRUE(tool.waitForStarted(5000));
    ASSERT_TRUE(tool.waitForReadyRead(5000));
    const QString path = QString::fromLocal8Bit(tool.readLine()).trimmed();
    SerialPort port;
    ASSERT_TRUE(port.open(path, 115200)) << qPrintable(path);
    port.write("\xF0\x00\x00\x00\xF0", 5);
    const QByteArray answer = readBytes(port, 5);
    ASSERT_EQ(answer.size(), 5);
    EXPECT_EQ(quint8(answer[3]), 0x5F);
    tool.write("teacher 82\n");
    ASSERT_TRUE(tool.waitForBytesWritten(2000));
    EXPECT_EQ(readBytes(port, 5), SimReceiver::shortFrame(0xF4, 0x01, 0xEF, 0x82));
    tool.write("quit\n");
    tool.closeWriteChannel();
    EXPECT_TRUE(tool.waitForFinished(5000));
    EXPECT_EQ(tool.exitCode(), 0);
}

// The keypads answer the program's wakes by themselves, with or without students pressing keys
// (--auto): one logged in by hand ("login", any number) that was refused logs in again with the
// student it holds, and once in answers the call; with --auto the keypads that never had a
// student log in too. A student ID longer than a keypad takes is refused with a message.
TEST(SimReceiver, KeypadsLoggedInByHandAnswerEachWakeAsTheyStand)
{
    for (const bool autoPlay : {false, true}) {
        SCOPED_TRACE(autoPlay ? "--auto" : "without --auto");
        QStringList args{QStringLiteral("--model"), QStringLiteral("dravel"), QStringLiteral("--keypads"), QStringLiteral("2"),
                         QStringLiteral("--quiet"), QStringLiteral("--no-pace")};
        if (autoPlay)
            args << QStringLiteral("--auto");
        QProcess tool;
        tool.start(QStringLiteral(POLLIX_BINARY_DIR "/tools/keypad-sim/pollix-keypad-sim"), args);
        ASSERT_TRUE(tool.waitForStarted(kEventWaitMs));
        ASSERT_TRUE(tool.waitForReadyRead(kEventWaitMs));
        SerialPort port;
        ASSERT_TRUE(port.open(QString::fromLocal8Bit(tool.readLine()).trimmed(), 115200));
        const auto send = [&](QByteArray frame) {
            frame.append(char(SimReceiver::xorOf(frame)));
            return port.write(frame.constData(), int(frame.size()));
        };
        const QByteArray wake = QByteArray::fromHex("F400C00135");
        const auto type = [&](const QByteArray &line) {
            tool.write(line);
            return tool.waitForBytesWritten(kEventWaitMs);
        };

        // Keypad 30: FE, 1E 00, 09, "Z030" 00 "Zed", one byte not read, check.
        const QByteArray z030 = QByteArray::fromHex("FE1E0009") + QByteArray("Z030\0Zed", 8);
        ASSERT_TRUE(type("login 30 Z030 Zed\n"));
        ASSERT_EQ(readBytes(port, 14).left(12), z030);
        ASSERT_TRUE(send(QByteArray::fromHex("FE1E000900FFFF3412") + "Z030"));

        // The wake: keypads 1 and 2 log in with --auto ("S00n" 00 "Student n": 20 bytes each),
        // keypad 30 with its student again.
        ASSERT_TRUE(port.write(wake.constData(), int(wake.size())));
        const QByteArray logins = readBytes(port, (autoPlay ? 40 : 0) + 14);
        ASSERT_EQ(logins.size(), (autoPlay ? 40 : 0) + 14);
        if (autoPlay) {
            EXPECT_EQ(logins.left(8), QByteArray::fromHex("FE01000F") + "S001");
            EXPECT_EQ(logins.mid(20, 8), QByteArray::fromHex("FE02000F") + "S002");
        }
        EXPECT_EQ(logins.right(14).left(12), z030);

        // Accepted as device 3, it answers the next wake for the class: F5, 03 00, 01, E3, check.
        ASSERT_TRUE(send(QByteArray::fromHex("FE1E00080300013412") + "Z03"));
        ASSERT_TRUE(port.write(wake.constData(), int(wake.size())));
        const QByteArray call = SimReceiver::longFrame(0xF5, 3, QByteArray(1, char(0xE3)));
        EXPECT_TRUE(readBytes(port, (autoPlay ? 40 : 0) + 6).endsWith(call));

        // An ID one byte longer than a Dravel keypad takes and an answer longer than a frame:
        // refused with a message, nothing sent; the next login is the first frame that comes.
        ASSERT_TRUE(type("login 31 " + QByteArray(56, '9') + "\nanswer 31 " + QByteArray(63, 'A') + "\nlogin 32 S032\n"));
        EXPECT_EQ(readBytes(port, 9).left(8), QByteArray::fromHex("FE200004") + "S032");
        tool.write("quit\n");
        tool.closeWriteChannel();
        ASSERT_TRUE(tool.waitForFinished(kEventWaitMs));
        EXPECT_EQ(tool.exitCode(), 0);
        const QByteArray refusals = tool.readAllStandardError();
        EXPECT_TRUE(refusals.contains("keypad 31: a student ID of 56 bytes is longer than a keypad takes (55)")) << refusals.constData();
        EXPECT_TRUE(refusals.contains("keypad 31: an answer of 63 bytes does not fit a keypad's frame (62 at most)")) << refusals.constData();
    }
}
