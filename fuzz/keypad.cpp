// The receiver's byte stream: the frame parser of either family, then what the program reads out
// of each frame (keys, logins, answers, mouse commands, a session sent from the teacher keypad).
//
// Input: one control byte, then the bytes of the line. Bit 0 of the control byte picks the
// family (0 small, 1 large); the rest seeds how the bytes are cut into reads and how much time
// passes between them, so partial frames, silences and resynchronisation are all reached.

#include "FuzzSupport.h"

#include "core/engine/KeypadCommands.h"
#include "core/engine/ReceiveReportSession.h"
#include "core/engine/ReceivedFrame.h"
#include "core/keypad/FrameBuilder.h"
#include "core/keypad/FrameParser.h"
#include "core/keypad/KeypadMouse.h"

namespace {

constexpr uint8_t kTeacherHigh = 0xEF;

QByteArray text(const char *s)
{
    return QByteArray(s, int(qstrlen(s)) + 1); // with its end mark
}

void readFrame(const DataOfFrame &frame, ReceiveReportSession &session)
{
    frame.isTeacherCommand();
    frame.isStudentCommand();
    frame.isShortFrame();
    frame.isLongFrame();
    frame.teacherCommand();
    frame.key();
    frame.deviceID();
    frame.bytes();
    KeypadMouse::decode(frame);

    const ReceivedFrame f = ReceivedFrame::fromDataOfFrame(frame);
    const QByteArray &data = f.bytes();
    for (int idStart = 0; idStart < 3; ++idStart)
        KeypadCommands::login(data, idStart);
    KeypadCommands::brevelAnswerText(data);
    for (int deviceType = 0; deviceType < 5; ++deviceType)
        KeypadCommands::freeStyleQuestion(data, deviceType);
    const QString answer = KeypadCommands::text(data);
    for (int type = 0; type < 12; ++type)
        KeypadCommands::answerForType(answer, type, type % 2 == 0);
    session.handleFrame(f);
}

} // namespace

QList<QByteArray> fuzzSeeds()
{
    QList<QByteArray> seeds;
    // Small family: student keys and a teacher key, each head, key, check.
    QByteArray small(1, '\0');
    for (const auto &[head, key] : QList<std::pair<uint8_t, uint8_t>>{{0x21, 0x81}, {0x22, 0x42}, {0x00, 0x05}, {0x39, 0x91}})
        small.append(char(head)).append(char(key)).append(char(head ^ key));
    seeds << small;

    // Large family: logins, answers, teacher commands and a whole session from the teacher keypad.
    QByteArray large(1, '\x01');
    large += FrameBuilder::longFrame(0xF8, 0x05, 0x00, QByteArray("\xE0", 1) + "S001" + QByteArray(1, '\0') + "Ann" + 'x');
    large += FrameBuilder::longFrame(0xF7, 0x05, 0x00, QByteArray("\x01\x02\x03\x00\x01\x00", 6) + "AC");
    large += FrameBuilder::shortFrame(0xF1, 0x06, 0x00, 0x41);
    large += FrameBuilder::longFrame(0xF9, 0x12, kTeacherHigh, QByteArray("\xE1", 1));
    large += FrameBuilder::longFrame(0xF7, 0x12, kTeacherHigh, QByteArray("\x01\x04", 2) + "B");
    seeds << large;

    QByteArray upload(1, '\x03');
    const auto f8 = [&](const QByteArray &payload) { upload += FrameBuilder::longFrame(0xF8, 0x12, kTeacherHigh, payload); };
    f8(QByteArray("\x09\x02\x07\x00", 4) + text("Week 3"));
    f8(QByteArray("\x0A\x02\x01\x05\x00", 5) + text("Class 1"));
    f8(QByteArray("\x0B\x01\x01\x04", 4) + text("B"));
    f8(QByteArray("\x0B\x02\x02\x04", 4) + text("AC"));
    f8(QByteArray("\x0E\x01", 2) + text("S001") + text("Ann"));
    f8(QByteArray("\x0E\x02", 2) + text("S002") + text("Bo"));
    f8(QByteArray("\x0C\x01\x01\x00", 4) + text("B") + text("AC"));
    f8(QByteArray("\x0D\x02\x02\x04", 4) + text("AD"));
    seeds << upload;
    // The same bytes with one frame cut short, as a lost byte leaves them.
    seeds << upload.left(upload.size() / 2) + upload.mid(upload.size() / 2 + 3);
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t control = data[0];
    FrameParser parser(control & 1);
    ReceiveReportSession session;
    quint32 cut = 0x9E3779B9u * (control | 1u);
    const auto next = [&cut] {
        cut ^= cut << 13;
        cut ^= cut >> 17;
        cut ^= cut << 5;
        return cut;
    };
    qint64 now = 0;
    size_t pos = 1;
    while (pos < size) {
        const size_t chunk = std::min<size_t>(size - pos, 1 + next() % 24);
        const QByteArray bytes(reinterpret_cast<const char *>(data + pos), qsizetype(chunk));
        pos += chunk;
        for (const DataOfFrame &frame : parser.feed(bytes, now))
            readFrame(frame, session);
        // Mostly quick reads; now and then a silence longer than the time-out.
        now += (next() % 8 == 0) ? 150 : qint64(next() % 20);
        parser.expire(now);
        for (const DataOfFrame &frame : parser.takeRecovered())
            readFrame(frame, session);
    }
    now += 1000;
    parser.expire(now);
    for (const DataOfFrame &frame : parser.takeRecovered())
        readFrame(frame, session);
    for (int state = 0; state <= ReceiveReportSession::All; ++state)
        session.progressText(state);
    session.toQuizEntity({QStringLiteral("Teacher"), QStringLiteral("Maths"), 2, QStringLiteral("2026-12-07 04:00:00")});
    return 0;
}
