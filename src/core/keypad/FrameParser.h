#pragma once

#include "DataOfFrame.h"

#include <QByteArray>
#include <QList>

// Turns the byte stream of a receiver into frames. Bytes are fed as they are read; every complete
// frame is returned at once (a burst drains at the speed of the line, not one frame per tick).
//
// A frame whose tail does not come within the silence time-out is dropped by expire(), and parsing
// resynchronises on the bytes that follow. Only the reader knows whether the line was silent or it
// was merely late itself, so feed() never drops: the reader takes every byte waiting on the port
// before it calls expire().
//
// Check bytes are not verified: a frame with a wrong one is handed on like any other. They serve
// one purpose only: a damaged length byte makes a frame reach over the frames behind it, and when
// such a frame's bytes hold a whole frame whose check byte is right, the damaged head is dropped
// and parsing goes on from that frame, so the answers and keys that arrived whole are kept.
class FrameParser
{
public:
    // family: 0 small (three-byte frames), 1 large (short and long frames).
    explicit FrameParser(int family = 1, qint64 silenceTimeoutMs = 100);

    int family() const { return m_family; }
    void setFamily(int family);
    void setSilenceTimeout(qint64 ms) { m_silenceTimeoutMs = ms; }

    // nowMs: a monotonic clock in milliseconds (injected so tests need not wait).
    QList<DataOfFrame> feed(const QByteArray &bytes, qint64 nowMs);
    // Drops a partial frame once the line has been silent for the time-out; true when it did.
    // Whole frames found behind the dropped head wait in takeRecovered().
    bool expire(qint64 nowMs);
    QList<DataOfFrame> takeRecovered();
    bool hasPartialFrame() const { return !m_pending.isEmpty(); }
    // The bytes of the frame begun and not yet whole.
    QByteArray partialFrame() const { return m_pending; }
    void reset() { m_pending.clear(); }

    // Counters for tests and diagnostics.
    int droppedPartialFrames() const { return m_droppedPartial; }
    int discardedBytes() const { return m_discardedBytes; }

private:
    void parseSmall(QList<DataOfFrame> &out);
    void parseLarge(QList<DataOfFrame> &out);
    // Offset of the first whole large-family frame with a right check byte that starts in
    // [from, to) of the pending bytes, or -1.
    int verifiedFrameBetween(int from, int to) const;

    int m_family;
    qint64 m_silenceTimeoutMs;
    QByteArray m_pending;
    qint64 m_lastByteMs = 0;
    bool m_waitingLogged = false;
    int m_droppedPartial = 0;
    int m_discardedBytes = 0;
    QList<DataOfFrame> m_recovered;
};
