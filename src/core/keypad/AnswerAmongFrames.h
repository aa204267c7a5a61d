#pragma once

#include "DataOfFrame.h"
#include "FrameParser.h"

#include <QByteArray>

#include <functional>
#include <optional>

// A receiver's answer to a probe, found among the frames its keypads send before and after it: a
// class may be pressing keys while the teacher plugs the receiver in. The bytes are split into the
// family's frames as the link splits them, and the answer counts where it stands in step with the
// receiver's frames: first of all that was heard, or right behind a frame whose check byte is
// right. Anything else is not taken for the answer: at the other family's speed a receiver's bytes
// are noise, and noise holds anything somewhere.
class AnswerAmongFrames
{
public:
    using IsAnswer = std::function<bool(const DataOfFrame &)>;

    // family: 0 small (three-byte frames), 1 large (short and long frames). The first byte heard
    // is taken for the start of a frame (the port was emptied before the question).
    AnswerAmongFrames(int family, IsAnswer isAnswer);

    // Takes bytes as they are read; true once the answer has been heard. Bytes taken from then on
    // are only kept (rest()).
    bool hear(const QByteArray &bytes);
    const std::optional<DataOfFrame> &answer() const { return m_answer; }
    // Whether any byte came at all: a port that stays silent holds no receiver of this family.
    bool heardAnything() const { return m_heard; }
    // The keypads' frames heard before the answer (or without one), in order: whole (their check
    // byte right) and in step, as the link would take them.
    const QList<DataOfFrame> &keypadFrames() const { return m_keypadFrames; }
    // What came behind the last whole frame: behind the answer, bytes in step with the receiver's
    // frames; without one, a frame begun and not yet whole.
    QByteArray rest() const { return m_answer ? m_afterAnswer : m_parser.partialFrame(); }

private:
    FrameParser m_parser;
    IsAnswer m_isAnswer;
    std::optional<DataOfFrame> m_answer;
    QList<DataOfFrame> m_keypadFrames;
    QByteArray m_afterAnswer;
    bool m_inStep = true;
    bool m_heard = false;
};
