#include "TovSerial.h"

#include "LinkTiming.h"

#include "platform/Log.h"

#include <QDeadlineTimer>
#include <QThread>

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

QByteArray TovSerial::exchange(const QByteArray &request, int answerLen)
{
    if (!sendData(request))
        return QByteArray();
    // The receiver answers within the probe time; take the answer as soon as it is whole.
    QDeadlineTimer deadline(LinkTiming::current().probeWaitMs);
    while (readDataWaiting() < answerLen && !deadline.hasExpired())
        QThread::msleep(2);
    if (readDataWaiting() < answerLen)
        return QByteArray();
    QByteArray answer(answerLen, '\0');
    int got = 0;
    while (got < answerLen) {
        const int n = readData(answer.data() + got, answerLen - got);
        if (n <= 0)
            break;
        got += n;
    }
    answer.truncate(got);
    return answer;
}
