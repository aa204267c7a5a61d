#include "AnswerAmongFrames.h"

namespace {

// The receiver's own answers that carry no check byte: a three-byte frame is taken only by its
// check byte or as one of them (the parser's rule); of the large family's, the version answer.
bool answerWithoutCheck(const DataOfFrame &frame)
{
    return frame.type() == 0 || frame.cmd() == 0xF0;
}

} // namespace

AnswerAmongFrames::AnswerAmongFrames(int family, IsAnswer isAnswer) : m_parser(family), m_isAnswer(std::move(isAnswer))
{
}

bool AnswerAmongFrames::hear(const QByteArray &bytes)
{
    if (m_answer) {
        m_afterAnswer += bytes;
        return true;
    }
    m_heard = m_heard || !bytes.isEmpty();
    // A byte at a time: where bytes were passed over says whether the next frame is in step.
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        const int passedOver = m_parser.discardedBytes();
        const QList<DataOfFrame> frames = m_parser.feed(bytes.mid(at, 1), 0);
        if (m_parser.discardedBytes() != passedOver)
            m_inStep = false;
        for (const DataOfFrame &frame : frames) {
            if (m_inStep && m_isAnswer(frame)) {
                m_answer = frame;
                m_afterAnswer = bytes.mid(at + 1);
                return true;
            }
            if (m_inStep && frame.checkByteRight())
                m_keypadFrames << frame;
            // A frame whose check byte is right puts what follows in step: the next frame starts
            // where it ends. An answer without one keeps the step it stood in, but cannot restore it.
            m_inStep = frame.checkByteRight() || (m_inStep && answerWithoutCheck(frame));
        }
    }
    return false;
}
