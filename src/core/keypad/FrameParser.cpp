#include "FrameParser.h"

#include "platform/Log.h"

namespace {

// First bytes a three-byte frame may start with: the teacher keypad, student keypads (ids up to
// 415 give 20 to 39), and the receiver's own answers (version "W", keypad-id confirmations 40 to
// 5F, channel and band 59 and 7A, probe answers 7B). No other head is ever received, and the rule
// is what finds the next frame after a lost byte: the tail of one keypad frame and the head of the
// next (81 A1 | 20) pass the check byte, but their first byte (80 and above) is never a head.
bool plausibleSmallHead(uint8_t b)
{
    return b == 0x00 || (b >= 0x20 && b <= 0x5F) || b == 0x7A || b == 0x7B;
}

QString hexLine(const char *prefix, const QByteArray &bytes)
{
    QString line = QString::fromLatin1(prefix);
    for (char c : bytes)
        line += QString::asprintf("%02x ", uint8_t(c));
    return line;
}

} // namespace

FrameParser::FrameParser(int family, qint64 silenceTimeoutMs) : m_family(family), m_silenceTimeoutMs(silenceTimeoutMs) {}

void FrameParser::setFamily(int family)
{
    if (family != m_family)
        m_pending.clear();
    m_family = family;
}

bool FrameParser::expire(qint64 nowMs)
{
    if (m_pending.isEmpty() || nowMs - m_lastByteMs < m_silenceTimeoutMs)
        return false;
    PollixLog(hexLine("partial frame dropped after silence: ", m_pending));
    m_discardedBytes += int(m_pending.size());
    ++m_droppedPartial;
    m_pending.clear();
    m_waitingLogged = false;
    return true;
}

QList<DataOfFrame> FrameParser::feed(const QByteArray &bytes, qint64 nowMs)
{
    QList<DataOfFrame> out;
    if (bytes.isEmpty())
        return out;
    m_lastByteMs = nowMs;
    m_pending.append(bytes);
    if (m_family == 0)
        parseSmall(out);
    else
        parseLarge(out);
    return out;
}

void FrameParser::parseSmall(QList<DataOfFrame> &out)
{
    int pos = 0;
    const int n = int(m_pending.size());
    const auto *p = reinterpret_cast<const uint8_t *>(m_pending.constData());
    while (n - pos >= 3) {
        const uint8_t b0 = p[pos], b1 = p[pos + 1], b2 = p[pos + 2];
        // "W" answers carry the version in bytes 1 and 2 and no check byte.
        if (b0 == 0x57 || (b2 == uint8_t(b0 ^ b1) && plausibleSmallHead(b0))) {
            DataOfFrame frame = DataOfFrame::DataOfFrameArvel();
            const uint8_t three[3] = {b0, b1, b2};
            frame.setData(three, 3);
            out.append(frame);
            PollixLogf("receive data : %02x\t%02x\t%02x\n", b0, b1, b2);
            pos += 3;
        } else {
            // Slide one byte: only the damaged frame is lost, not the answers queued behind it.
            ++m_discardedBytes;
            ++pos;
        }
    }
    m_pending.remove(0, pos);
}

void FrameParser::parseLarge(QList<DataOfFrame> &out)
{
    int pos = 0;
    const int n = int(m_pending.size());
    const auto *p = reinterpret_cast<const uint8_t *>(m_pending.constData());
    while (pos < n) {
        const uint8_t cmd = p[pos];
        if (cmd == 0xFF) {
            PollixLog(QStringLiteral("error data."));
            ++m_discardedBytes;
            ++pos;
            continue;
        }
        const bool shortFrame = cmd >= 0xF0 && cmd <= 0xF4;
        if (shortFrame) {
            if (n - pos < 5)
                break;
            DataOfFrame frame = DataOfFrame::DataOfFrameCorvel();
            frame.setCmd(cmd);
            frame.setAddr(p[pos + 1], p[pos + 2]);
            frame.setData(p + pos + 3, 1);
            frame.setCrc(p[pos + 4]);
            out.append(frame);
            PollixLogf("Receive:%02x  %02x %02x  %02x  %02x\n", cmd, p[pos + 1], p[pos + 2], p[pos + 3], p[pos + 4]);
            pos += 5;
            continue;
        }
        if (n - pos < 4)
            break;
        const int len = p[pos + 3];
        if (len > DataOfFrame::MaxDataLen) {
            // A length no receiver sends: drop the head and look for the next frame.
            m_discardedBytes += 4;
            pos += 4;
            continue;
        }
        if (n - pos < len + 5) {
            m_waitingLogged = true;
            break;
        }
        DataOfFrame frame = DataOfFrame::DataOfFrameCorvel();
        frame.setCmd(cmd);
        frame.setAddr(p[pos + 1], p[pos + 2]);
        frame.setData(p + pos + 4, len);
        frame.setCrc(p[pos + 4 + len]);
        out.append(frame);
        QString line = QString::asprintf("%sReceive:%02x  %02x %02x  %02x  ", m_waitingLogged ? "!bIsReceiveComplete " : "",
                                         cmd, p[pos + 1], p[pos + 2], uint8_t(len));
        for (int i = 0; i < len; ++i)
            line += QString::asprintf("%02x ", p[pos + 4 + i]);
        line += QString::asprintf(" %02x\n", p[pos + 4 + len]);
        PollixLog(line);
        m_waitingLogged = false;
        pos += len + 5;
    }
    m_pending.remove(0, pos);
}
