#include "SimQuestionSet.h"

namespace keypadsim {

namespace {
constexpr int kLine = 21;

QString lineText(const QByteArray &bytes)
{
    QString out;
    for (char c : bytes)
        out += c == '\0' ? QLatin1Char(' ') : QLatin1Char(c);
    while (out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    return out;
}
} // namespace

SimQuestionSet::SimQuestionSet(SimReceiver &receiver, const Options &options)
    : m_sim(receiver), m_options(options), m_random(options.seed)
{
    m_previousF4 = m_sim.commandHandler(0xF4);
    m_previousF8 = m_sim.commandHandler(0xF8);
    m_sim.setCommandHandler(0xF4, [this](SimReceiver &r, const QByteArray &f) { onF4(r, f); });
    m_sim.setCommandHandler(0xF8, [this](SimReceiver &r, const QByteArray &f) { onF8(r, f); });
    m_thread = std::thread([this] { runDelayed(); });
}

SimQuestionSet::~SimQuestionSet()
{
    m_sim.setCommandHandler(0xF4, m_previousF4);
    m_sim.setCommandHandler(0xF8, m_previousF8);
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_cond.notify_all();
    m_thread.join();
}

void SimQuestionSet::setLossPercent(int percent)
{
    std::lock_guard lock(m_mutex);
    m_options.lossPercent = percent;
}

void SimQuestionSet::setReplyDelayMs(int ms)
{
    std::lock_guard lock(m_mutex);
    m_options.replyDelayMs = ms;
}

bool SimQuestionSet::heard()
{
    return m_options.lossPercent <= 0 || int(m_random() % 100) >= m_options.lossPercent;
}

// The host's wake: the receiver is ready.
void SimQuestionSet::onF4(SimReceiver &r, const QByteArray &f)
{
    if (f == QByteArray::fromHex("F400C00135")) {
        if (m_options.answerWake)
            r.sendFrame(SimReceiver::longFrame(0xF5, 0x0000, QByteArray(1, char(0xE3))));
        return;
    }
    if (m_previousF4)
        m_previousF4(r, f);
}

void SimQuestionSet::onF8(SimReceiver &r, const QByteArray &f)
{
    const bool everyone = f.size() >= 5 && quint8(f[1]) == 0x00 && quint8(f[2]) == 0xC0;
    const QByteArray data = f.mid(4, f.size() >= 4 ? quint8(f[3]) : 0);
    if (!everyone || data.isEmpty()) {
        if (m_previousF8)
            m_previousF8(r, f);
        return;
    }
    QList<int> ids;
    for (int id : r.keypadIds())
        if (!r.keypad(id).teacher)
            ids << id;
    const quint8 kind = quint8(data[0]);
    std::unique_lock lock(m_mutex);
    if (kind == 0x06)
        ++m_endOfSet;
    else if (kind == 0x07)
        ++m_endOfPass;
    QList<QPair<int, QByteArray>> replies;
    for (int id : ids) {
        if (!heard())
            continue;
        Held &held = m_held[id];
        if (kind == 0x05 && data.size() >= 5) {
            const int examID = quint8(data[2]) + 100 * quint8(data[3]);
            const int end = data.indexOf(char(0xEE), 4);
            const QString title = QString::fromLatin1(data.mid(4, end < 0 ? -1 : end - 4));
            // Another exam, or another set under the same exam ID: what the keypad held is of no use.
            if (examID != held.examID || quint8(data[1]) != held.count || title != held.title)
                held = Held();
            held.examID = examID;
            held.count = quint8(data[1]);
            held.title = title;
        } else if (kind == 0x01 && data.size() == 5 + 2 * kLine) {
            const int total = quint8(data[1]), n = quint8(data[2]), q = quint8(data[3]), qid = quint8(data[4]);
            if (total >= 1 && n >= 1 && n <= total && q >= 1) {
                Making &making = held.making[q];
                if (making.questionID != qid || making.total != total)
                    making = Making{qid, total, {}};
                making.frames[n] = data.mid(5);
                if (making.frames.size() == total)
                    held.whole[q] = making.frames;
            }
        } else if (kind == 0x06) {
            held.closed = true;
        } else if (kind == 0x03 && data.size() >= 6) {
            // A keypad at the login screen answers no poll: the number polled is no longer its.
            const int k = quint8(data[1]) | (quint8(data[2]) << 8);
            const SimKeypad keypad = r.keypad(id);
            if (!keypad.loggedOut && keypad.address() == k)
                replies.append({id, replyFor(held)});
        }
    }
    m_pollReplies += int(replies.size());
    const int delay = m_options.replyDelayMs;
    if (delay > 0) {
        for (const auto &[id, reply] : replies)
            m_delayed.push_back({std::chrono::steady_clock::now() + std::chrono::milliseconds(delay), id, reply});
        lock.unlock();
        m_cond.notify_all();
        return;
    }
    lock.unlock();
    for (const auto &[id, reply] : replies)
        r.keypadFrame(id, 0xF8, reply);
}

// E0 xx 00: nothing; E0 xx 01: everything; E1 n m+1: questions 1..m only; E2 xx 00 bitmap.
QByteArray SimQuestionSet::replyFor(const Held &held)
{
    QList<bool> has;
    for (int q = 1; q <= held.count; ++q)
        has << held.whole.contains(q);
    const int got = int(has.count(true));
    QByteArray reply;
    const char any = char(m_random() & 0xFF);
    if (held.count == 0 || got == 0)
        return reply.append(char(0xE0)).append(any).append(char(0x00));
    if (got == held.count)
        return reply.append(char(0xE0)).append(any).append(char(0x01));
    int prefix = 0;
    while (prefix < held.count && has[prefix])
        ++prefix;
    if (prefix == got)
        return reply.append(char(0xE1)).append(char(held.count)).append(char(prefix + 1));
    reply.append(char(0xE2)).append(any).append(char(0x00));
    for (int byte = 0; byte < (held.count + 7) / 8; ++byte) {
        quint8 bits = 0;
        for (int b = 0; b < 8; ++b)
            if (8 * byte + b < held.count && has[8 * byte + b])
                bits |= quint8(1u << b);
        reply.append(char(bits));
    }
    return reply;
}

void SimQuestionSet::runDelayed()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (m_delayed.empty()) {
            m_cond.wait(lock);
            continue;
        }
        const Delayed next = m_delayed.front();
        if (m_cond.wait_until(lock, next.due) == std::cv_status::no_timeout && !m_stop)
            continue;
        if (m_stop)
            break;
        m_delayed.pop_front();
        lock.unlock();
        m_sim.keypadFrame(next.id, 0xF8, next.data);
        lock.lock();
    }
}

int SimQuestionSet::announcedCount(int id) const
{
    std::lock_guard lock(m_mutex);
    return m_held.value(id).count;
}

QString SimQuestionSet::announcedTitle(int id) const
{
    std::lock_guard lock(m_mutex);
    return m_held.value(id).title;
}

QMap<int, QStringList> SimQuestionSet::questions(int id) const
{
    std::lock_guard lock(m_mutex);
    const Held held = m_held.value(id);
    QMap<int, QStringList> out;
    for (auto it = held.whole.cbegin(); it != held.whole.cend(); ++it) {
        QStringList lines;
        for (const QByteArray &text : *it) {
            lines << lineText(text.left(kLine));
            if (text.mid(kLine).count('\0') != kLine)
                lines << lineText(text.mid(kLine));
        }
        out.insert(it.key(), lines);
    }
    return out;
}

bool SimQuestionSet::hasWholeSet(int id) const
{
    const int count = announcedCount(id);
    return count > 0 && questions(id).size() == count;
}

bool SimQuestionSet::setClosed(int id) const
{
    std::lock_guard lock(m_mutex);
    return m_held.value(id).closed;
}

int SimQuestionSet::pollReplies() const
{
    std::lock_guard lock(m_mutex);
    return m_pollReplies;
}

int SimQuestionSet::endOfPassFrames() const
{
    std::lock_guard lock(m_mutex);
    return m_endOfPass;
}

int SimQuestionSet::endOfSetFrames() const
{
    std::lock_guard lock(m_mutex);
    return m_endOfSet;
}

} // namespace keypadsim
