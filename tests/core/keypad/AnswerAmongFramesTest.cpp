#include "core/keypad/AnswerAmongFrames.h"

#include "SimReceiver.h"

#include <gtest/gtest.h>

// A probe's answer among what the receiver sends around it: the keypad frames of a class pressing
// keys, a frame cut short as the port opened, or the other family's bytes read at this speed.
using keypadsim::SimReceiver;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Large family: a keypad's answer "B" (F7, address 5, two bytes of its own, the text), a teacher
// key, and the version answer naming a Dravel (F0 ?? ?? 9F ??, no check byte).
const QByteArray kAnswerB = SimReceiver::longFrame(0xF7, 5, hex("123442"));
const QByteArray kTeacherKey = SimReceiver::shortFrame(0xF4, 0x01, 0xEF, 0x81);
const QByteArray kVersion = hex("F012349F56");
// Small family: keypads 1 and 2 answering, a teacher key, and the identify answer 7B ?? FB.
const QByteArray kSmallKeys = hex("2081A1" "2082A2");
const QByteArray kSmallTeacher = hex("008585");
const QByteArray kIdentify = hex("7B3CFB");

struct Case
{
    const char *name;
    int family;
    QList<QByteArray> reads; // as the port gives them
    QByteArray answer;       // empty: none may be taken
    bool heard = true;
};

} // namespace

TEST(AnswerAmongFrames, IsTakenOnlyWhereItStandsInStepWithTheReceiversFrames)
{
    const Case cases[] = {
        {"alone", 1, {kVersion}, kVersion},
        {"among keypad frames, split across reads", 1,
         {kAnswerB + kTeacherKey + kVersion.left(2), kVersion.mid(2) + kAnswerB}, kVersion},
        {"its look inside a keypad's answer text", 1,
         {SimReceiver::longFrame(0xF7, 5, hex("1234F012349F56")) + kAnswerB}, {}},
        {"after bytes passed over (another family's noise)", 1, {hex("21F2D3C0") + kVersion}, {}},
        {"after an error mark (FF) passed over", 1, {hex("FF") + kVersion}, {}},
        // The tail of a frame cut as the port opened swallows the first answer; the one asked for
        // again comes in step behind whole frames.
        {"hidden behind a frame cut short, then asked again", 1,
         {hex("11223304") + kVersion, kAnswerB.left(3), kAnswerB.mid(3) + hex("F0ABCD7F01")},
         hex("F0ABCD7F01")},
        {"small family, among keypad and teacher frames", 0, {kSmallKeys + kSmallTeacher + kIdentify + kSmallKeys},
         kIdentify},
        {"small family, the look of it in a large-family receiver's frames", 0,
         {SimReceiver::longFrame(0xF7, 5, hex("7B11FB")) + SimReceiver::longFrame(0xF7, 6, hex("7B22FB"))}, {}},
        {"silence", 1, {}, {}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        AnswerAmongFrames heard(c.family, [&](const DataOfFrame &f) {
            return c.family == 1 ? f.cmd() == 0xF0 : f.data()[0] == 0x7B;
        });
        bool told = false;
        for (const QByteArray &bytes : c.reads)
            told = heard.hear(bytes);
        EXPECT_EQ(told, !c.answer.isEmpty());
        EXPECT_EQ(heard.answer() ? heard.answer()->bytes() : QByteArray(), c.answer);
        EXPECT_EQ(heard.heardAnything(), c.heard);
    }
}

namespace {

struct KeysCase
{
    const char *name;
    int family;
    QList<QByteArray> reads;
    QList<QByteArray> keys; // the keypad frames heard, in order
    QByteArray rest;        // what the link's reader takes on from
};

} // namespace

// The keypads' frames heard while the probe listens are answers like any other once the receiver
// is known: every whole frame in step before the answer, in order, and every byte behind it, from
// where the answer ends. Nothing out of step is taken: it may be noise.
TEST(AnswerAmongFrames, KeepsTheKeypadsFramesHeardAroundTheAnswer)
{
    const QByteArray kAnswerC = SimReceiver::longFrame(0xF7, 6, hex("123443"));
    const KeysCase cases[] = {
        {"before the answer and behind it, split across reads", 1,
         {kAnswerB + kTeacherKey.left(2), kTeacherKey.mid(2) + kVersion + kAnswerC.left(3), kAnswerC.mid(3)},
         {kAnswerB, kTeacherKey},
         kAnswerC},
        {"without an answer: the frame begun is left for the reader", 1, {kAnswerB + kAnswerC.left(4)}, {kAnswerB},
         kAnswerC.left(4)},
        // The frame behind the byte passed over puts the line back in step, but may have begun
        // anywhere itself.
        {"out of step after a byte passed over", 1, {hex("FF") + kAnswerB + kTeacherKey + kVersion}, {kTeacherKey}, {}},
        {"small family", 0, {kSmallKeys + kSmallTeacher + kIdentify + kSmallKeys.left(4)},
         {kSmallKeys.left(3), kSmallKeys.mid(3), kSmallTeacher}, kSmallKeys.left(4)},
    };
    for (const KeysCase &c : cases) {
        SCOPED_TRACE(c.name);
        AnswerAmongFrames heard(c.family, [&](const DataOfFrame &f) {
            return c.family == 1 ? f.cmd() == 0xF0 : f.data()[0] == 0x7B;
        });
        for (const QByteArray &bytes : c.reads)
            heard.hear(bytes);
        QList<QByteArray> keys;
        for (const DataOfFrame &f : heard.keypadFrames())
            keys << f.bytes();
        EXPECT_EQ(keys, c.keys);
        EXPECT_EQ(heard.rest(), c.rest);
    }
}
