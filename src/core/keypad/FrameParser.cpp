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

bool isShortCommand(uint8_t cmd)
{
    return cmd >= 0xF0 && cmd <= 0xF4;
}

uint8_t xorOf(const uint8_t *p, int n)
{
    uint8_t x = 0;
    for (int i = 0; i < n; ++i)
        x ^= p[i];
    return x;
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
    const int whole = m_family == 1 ? verifiedFrameBetween(1, int(m_pending.size())) : -1;
    if (whole > 0) {
        // The head announced more than ever came: frames that arrived whole behind it are kept.
        PollixLog(hexLine("partial frame dropped after silence: ", m_pending.left(whole)));
        m_discardedBytes += whole;
        ++m_droppedPartial;
        m_pending.remove(0, whole);
        m_waitingLogged = false;
        parseLarge(m_recovered);
        return true;
    }
    PollixLog(hexLine("partial frame dropped after silence: ", m_pending));
    m_discardedBytes += int(m_pending.size());
    ++m_droppedPartial;
    m_pending.clear();
    m_waitingLogged = false;
    return true;
}

QList<DataOfFrame> FrameParser::takeRecovered()
{
    QList<DataOfFrame> out;
    out.swap(m_recovered);
    return out;
}

int FrameParser::verifiedFrameBetween(int from, int to) const
{
    const int n = int(m_pending.size());
    const auto *p = reinterpret_cast<const uint8_t *>(m_pending.constData());
    for (int k = from; k < to && k + 5 <= n; ++k) {
        if (p[k] < 0xF0 || p[k] == 0xFF)
            continue;
        const int size = isShortCommand(p[k]) ? 5 : p[k + 3] + 5;
        if (p[k + 3] > DataOfFrame::MaxDataLen && !isShortCommand(p[k]))
            continue;
        if (k + size <= n && xorOf(p + k, size - 1) == p[k + size - 1])
            return k;
    }
    return -1;
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
        // "W" answers carry the version in bytes 1 and 2 and no check byte; the answers to the
        // identify probe (7B ?? F8, 7B ?? FB) carry a byte the receiver fills as it likes and none
        // either. A keypad frame never starts with 7B, nor holds F8 or FB two bytes after one.
        const bool identifyAnswer = b0 == 0x7B && (b2 == 0xF8 || b2 == 0xFB);
        if (b0 == 0x57 || identifyAnswer || (b2 == uint8_t(b0 ^ b1) && plausibleSmallHead(b0))) {
            DataOfFrame frame = DataOfFrame::DataOfFrameArvel();
            const uint8_t three[3] = {b0, b1, b2};
            frame.setData(three, 3);
            out.append(frame);
            PollixFrameLogf("receive data : %02x\t%02x\t%02x\n", b0, b1, b2);
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
            PollixFrameLogf("Receive:%02x  %02x %02x  %02x  %02x\n", cmd, p[pos + 1], p[pos + 2], p[pos + 3], p[pos + 4]);
            pos += 5;
            continue;
        }
        if (n - pos < 4)
            break;
        const int len = p[pos + 3];
        if (len > DataOfFrame::MaxDataLen) {
            // A length no receiver sends: drop the head and look for the next frame, which may
            // begin inside these four bytes when the head was the tail of a damaged frame.
            const int whole = verifiedFrameBetween(pos + 1, pos + 4);
            m_discardedBytes += whole > 0 ? whole - pos : 4;
            pos = whole > 0 ? whole : pos + 4;
            continue;
        }
        if (n - pos < len + 5) {
            m_waitingLogged = true;
            break;
        }
        if (xorOf(p + pos, len + 4) != p[pos + len + 4]) {
            // A damaged frame: when a whole frame starts inside it, its length was damaged.
            const int whole = verifiedFrameBetween(pos + 1, pos + len + 5);
            if (whole > 0) {
                PollixLog(hexLine("damaged frame dropped: ", m_pending.mid(pos, whole - pos)));
                m_discardedBytes += whole - pos;
                pos = whole;
                continue;
            }
        }
        DataOfFrame frame = DataOfFrame::DataOfFrameCorvel();
        frame.setCmd(cmd);
        frame.setAddr(p[pos + 1], p[pos + 2]);
        frame.setData(p + pos + 4, len);
        frame.setCrc(p[pos + 4 + len]);
        out.append(frame);
        if (lcPollixFrames().isDebugEnabled()) {
            QString line = QString::asprintf("%sReceive:%02x  %02x %02x  %02x  ",
                                             m_waitingLogged ? "!bIsReceiveComplete " : "", cmd, p[pos + 1],
                                             p[pos + 2], uint8_t(len));
            for (int i = 0; i < len; ++i)
                line += QString::asprintf("%02x ", p[pos + 4 + i]);
            line += QString::asprintf(" %02x\n", p[pos + 4 + len]);
            PollixFrameLog(line);
        }
        m_waitingLogged = false;
        pos += len + 5;
    }
    m_pending.remove(0, pos);
}
