#include "RushFrames.h"

#include "core/base/ActivityCodes.h"
#include "core/keypad/FrameBuilder.h"

namespace RushFrames {

namespace {
constexpr uint8_t kTextEnd = 0xEE;
}

QByteArray toAnswer(ActivityFrames::KeypadAddress winner)
{
    return FrameBuilder::longFrame(0xF7, winner.lo, winner.hi, QByteArray(3, '\0'));
}

QByteArray succeed(ActivityFrames::KeypadAddress winner, const Succeed &question)
{
    int kind = question.questionType == QuestionType::ShortAnswer ? int(QuestionType::Cloze) : question.questionType;
    int options = question.questionType == QuestionType::TrueFalse ? 2 : question.optionCount;
    if (question.screenQuestion) {
        kind = QuestionType::MultipleAnswer;
        options = 10;
    }
    QByteArray data;
    data += char(question.questionNo);
    data += char(kind);
    data += char(options);
    data += char(0xF5);
    return FrameBuilder::longFrame(0xF7, winner.lo, winner.hi, data);
}

QByteArray result(ActivityFrames::KeypadAddress teacher, const Result &r)
{
    QByteArray data;
    data += char(0x03);
    data += r.winnerAnswer == r.correctAnswer ? 'T' : 'F';
    data += char(0x00);
    FrameBuilder::appendWord(data, r.loggedIn);
    data += FrameBuilder::nameBytes(r.winnerName) + char(kTextEnd);
    data += FrameBuilder::textBytes(r.winnerAnswer) + char(kTextEnd);
    data += FrameBuilder::textBytes(r.correctAnswer) + char(kTextEnd);
    return FrameBuilder::longFrame(0xFD, teacher.lo, teacher.hi, data);
}

} // namespace RushFrames
