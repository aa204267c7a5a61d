#include "TovSerial.h"

#include "LinkTiming.h"

#include "platform/Log.h"

#include <QDeadlineTimer>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>

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

bool TovSerial::closePort()
{
    m_port.close();
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
    if (!openPort(path, baudRate))
        return false;
    // Keypad frames sent while the port was closed are old news, and may begin in the middle.
    clearBuf();
    return true;
}

std::optional<DataOfFrame> TovSerial::exchange(const QByteArray &request, int family,
                                              const AnswerAmongFrames::IsAnswer &isAnswer)
{
    // A receiver answers at once; asking again serves a class pressing keys meanwhile, and ends.
    constexpr int kMostAsks = 3;
    constexpr qsizetype kMostBytes = 64 * 1024; // far more than a class sends in a probe's time
    AnswerAmongFrames heard(family, isAnswer);
    qsizetype taken = 0;
    char buffer[256];
    bool failed = false;
    for (int ask = 0; ask < kMostAsks && !failed; ++ask) {
        if (!sendData(request))
            break;
        const LinkTiming timing = LinkTiming::current();
        const QDeadlineTimer deadline(family == 1 ? timing.largeFamilyProbeWaitMs : timing.probeWaitMs);
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
                if (heard.hear(QByteArray(buffer, n)))
                    break;
            }
            if (deadline.hasExpired() || taken >= kMostBytes)
                break;
            if (n <= 0)
                QThread::msleep(2);
        }
        // Silence: nobody of this family is there to answer a question asked again.
        if (heard.answer() || !heard.heardAnything() || taken >= kMostBytes)
            break;
    }
    const Hearing hearing = heard.answer() ? Hearing::Answer
                            : heard.heardAnything() ? Hearing::NoAnswerAmongBytes
                                                    : Hearing::Silence;
    m_hearing = std::max(m_hearing, hearing);
    return heard.answer();
}
