#include "TovSerial.h"

#include "AnswerWait.h"
#include "LinkTiming.h"

#include "platform/Log.h"

#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

TovSerial::~TovSerial()
{
    closePort();
}

bool TovSerial::openPort(const QString &path, int baudRate)
{
    const int settle = LinkTiming::current().settleMs;
    if (settle > 0)
        QThread::msleep(ulong(settle));
    return m_port.open(path, baudRate);
}

bool TovSerial::openForReading(const QString &path, int baudRate)
{
    // The probe that found the receiver keeps its port: no pause in which keys go unheard, and no
    // flush of the keys that came since it listened.
    if (m_port.isOpen())
        return true;
    return openPort(path, baudRate);
}

bool TovSerial::closePort()
{
    m_port.close();
    m_probeKeys = {};
    return true;
}

int TovSerial::readData(char *buffer, int len)
{
    const int n = m_port.readSome(buffer, len);
    return n < 0 ? 0 : n;
}

void TovSerial::logSent(const unsigned char *bytes, int size)
{
    if (lcPollixFrames().isDebugEnabled()) {
        QString line = QStringLiteral("Send:");
        for (int i = 0; i < size; ++i)
            line += QString::asprintf("%02x ", bytes[i]);
        PollixFrameLog(line);
    }
}

bool TovSerial::sendData(const unsigned char *bytes, int size)
{
    if (!bytes || size <= 0)
        return false;
    logSent(bytes, size);
    return m_port.write(reinterpret_cast<const char *>(bytes), size);
}

bool TovSerial::sendThrough(SerialPort::Duplicate &port, const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return false;
    logSent(reinterpret_cast<const unsigned char *>(bytes.constData()), int(bytes.size()));
    return port.write(bytes.constData(), int(bytes.size()));
}

int TovSerial::readDataWaiting()
{
    return m_port.bytesWaiting();
}

bool TovSerial::clearBuf()
{
    return m_port.flush();
}

bool TovSerial::openForProbe(const QString &path, int baudRate)
{
    m_hearing = Hearing::Silence;
    m_probeAnswered = false;
    m_probeKeys = {};
    m_probeBaudRate = baudRate;
    if (!openPort(path, baudRate))
        return false;
    // What the port holds now came before the port was set to this speed, or before the program
    // asked: bytes the USB bridge took at its own speed (noise, frames cut short), or keys that
    // waited since before the program started, which must not steer it now.
    clearBuf();
    return true;
}

void TovSerial::closeAfterProbe()
{
    clearBuf();
    closePort();
}

TovSerial::ProbeKeys TovSerial::takeProbeKeys()
{
    return std::exchange(m_probeKeys, {});
}

std::optional<DataOfFrame> TovSerial::exchange(const QByteArray &request, int family,
                                              const AnswerAmongFrames::IsAnswer &isAnswer)
{
    // A receiver answers at once; asking again serves a class pressing keys meanwhile, and ends.
    constexpr int kMostAsks = 3;
    constexpr qsizetype kMostBytes = 64 * 1024; // far more than a class sends in a probe's time
    AnswerAmongFrames heard(family, isAnswer);
    // An earlier question's bytes behind its answer come first: the frames go on from there.
    heard.hear(std::exchange(m_probeKeys.rest, {}));
    qsizetype taken = 0;
    char buffer[256];
    bool failed = false;
    for (int ask = 0; ask < kMostAsks && !failed && !heard.answer(); ++ask) {
        if (!sendData(request))
            break;
        const LinkTiming timing = LinkTiming::current();
        AnswerWait wait(timing.answerDueMs, family == 1 ? timing.largeFamilyProbeWaitMs : timing.probeWaitMs,
                        m_probeBaudRate);
        for (;;) {
            // A port that answers with an error (unplugged meanwhile) has nothing more to tell.
            const int n = m_port.readSome(buffer, sizeof buffer);
            if (n < 0) {
                PollixLog(QStringLiteral("The port answered the probe with an error: %1")
                              .arg(QString::fromLocal8Bit(std::strerror(errno))));
                failed = true;
                break;
            }
            if (n > 0) {
                taken += n;
                wait.heard(n);
                if (heard.hear(QByteArray(buffer, n)))
                    break;
            }
            if (wait.over() || taken >= kMostBytes)
                break;
            wait.nap(fileDescriptor());
        }
        // Silence: nobody of this family is there to answer a question asked again.
        if (heard.answer() || !heard.heardAnything() || taken >= kMostBytes)
            break;
    }
    (m_probeAnswered ? m_probeKeys.afterAnswer : m_probeKeys.beforeAnswer) += heard.keypadFrames();
    m_probeKeys.rest = heard.rest();
    m_probeAnswered = m_probeAnswered || heard.answer().has_value();
    const Hearing hearing = heard.answer() ? Hearing::Answer
                            : heard.heardAnything() ? Hearing::NoAnswerAmongBytes
                                                    : Hearing::Silence;
    m_hearing = std::max(m_hearing, hearing);
    return heard.answer();
}
