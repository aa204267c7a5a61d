#include "TransferFrames.h"

#include "core/base/ActivityCodes.h"
#include "core/engine/QuestionText.h"
#include "core/keypad/FrameBuilder.h"

namespace TransferFrames {

namespace {
constexpr uint8_t kTextEnd = 0xEE;
constexpr int kMaxAnnouncedQuestions = 99;

QByteArray toEveryone(const QByteArray &data)
{
    const auto to = ActivityFrames::KeypadAddress::everyone();
    return FrameBuilder::longFrame(0xF8, to.lo, to.hi, data);
}

QByteArray toKeypad(uint8_t cmd, int deviceNo, const QByteArray &data)
{
    const auto to = ActivityFrames::KeypadAddress::word(deviceNo);
    return FrameBuilder::longFrame(cmd, to.lo, to.hi, data);
}

QByteArray lineBytes(const QString &line)
{
    QByteArray out;
    for (QChar c : line) {
        const char16_t u = c.unicode();
        if (u >= 0x21 && u <= 0x7E)
            out += char(u);
        else if (u == 0x2018 || u == 0x2019)
            out += '\'';
        else
            out += '\0';
    }
    return out.leftJustified(QuestionText::kLineLength, '\0', true);
}
} // namespace

QString examTitle(const QString &title, int deviceType)
{
    if (title.isEmpty() || title.at(0).unicode() < 32 || title.at(0).unicode() > 128)
        return QStringLiteral("NULL");
    const int limit = deviceType == DeviceType::Corvel ? 8 : 12;
    if (title.size() > limit + 2)
        return title.left(limit) + QStringLiteral("..");
    return title;
}

QByteArray examInfo(int questionCount, int testID, const QString &title, int deviceType)
{
    if (questionCount <= 0)
        return QByteArray();
    QByteArray data(1, char(0x05));
    data += char(qMin(questionCount, kMaxAnnouncedQuestions));
    data += char((testID % 100) & 0xFF);
    data += char((testID / 100) & 0xFF);
    data += FrameBuilder::textBytes(examTitle(title, deviceType));
    data += char(kTextEnd);
    return toEveryone(data);
}

QByteArray questionTextBytes(const QString &text)
{
    const QStringList lines = text.split(QuestionText::kLineEnd);
    return lineBytes(lines.value(0)) + lineBytes(lines.value(1));
}

QByteArray questionText(const QStringList &texts, int n, int questionNo, int questionID)
{
    if (n < 1 || n > texts.size())
        return QByteArray();
    QByteArray data(1, char(0x01));
    data += char(texts.size());
    data += char(n);
    data += char(questionNo);
    data += char(questionID & 0xFF);
    data += questionTextBytes(texts[n - 1]);
    return toEveryone(data);
}

QByteArray endOfSet()
{
    return toEveryone(QByteArray(1, char(0x06)));
}

QByteArray endOfPass()
{
    return toEveryone(QByteArray(1, char(0x07)));
}

QByteArray poll(int keypad, int questionNo, int quizID)
{
    QByteArray data(1, char(0x03));
    FrameBuilder::appendWord(data, keypad);
    data += char(questionNo);
    FrameBuilder::appendWord(data, quizID);
    return toEveryone(data);
}

QByteArray signalToSend(int deviceNo)
{
    return toKeypad(0xFB, deviceNo, QByteArray(1, char(0xE0)));
}

QByteArray receipt(int deviceNo, bool complete, const QByteArray &bitmap)
{
    QByteArray data(1, char(0xE4));
    data += char(complete ? 0x01 : 0x00);
    data += bitmap.leftJustified(kReceiptBytes, '\0', true);
    return toKeypad(0xFB, deviceNo, data);
}

QByteArray positionReply(ActivityFrames::KeypadAddress keypad, uint8_t r0, uint8_t r1, int questionNo)
{
    QByteArray data;
    data += char(0xF5);
    data += char(0x00);
    data += char(r0);
    data += char(r1);
    data += char(questionNo & 0xFF);
    return FrameBuilder::longFrame(0xFC, keypad.lo, keypad.hi, data);
}

QByteArray sessionAck(ActivityFrames::KeypadAddress keypad, uint8_t state, uint8_t revision)
{
    QByteArray data;
    data += char(state);
    data += char(revision);
    return FrameBuilder::longFrame(0xFB, keypad.lo, keypad.hi, data);
}

} // namespace TransferFrames
