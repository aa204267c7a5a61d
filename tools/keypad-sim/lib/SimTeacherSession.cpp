#include "SimTeacherSession.h"

namespace keypadsim {

namespace {
constexpr char kEnd = char(0xEE);
constexpr int kMaxData = 60; // answers per frame are cut to keep within a long frame

bool onePerStudent(quint8 mode)
{
    return mode == 1 || mode == 2; // paper quiz and homework
}

// Chained answers: key text EE key text EE ..., cut into frames that fit.
QList<QByteArray> chainedFrames(quint8 head, const QList<QPair<int, QString>> &entries)
{
    QList<QByteArray> out;
    QByteArray data;
    for (const auto &[key, text] : entries) {
        const QByteArray entry = text.toUtf8() + kEnd;
        if (!data.isEmpty() && data.size() + entry.size() + 1 > kMaxData) {
            out << data;
            data.clear();
        }
        if (data.isEmpty())
            data = QByteArray(1, char(0x0C)) + char(head) + char(0x01) + char(key) + entry;
        else
            data += char(key) + entry;
    }
    if (!data.isEmpty())
        out << data;
    return out;
}
} // namespace

QList<SimTeacherSession::Step> SimTeacherSession::steps(const Recorded &s)
{
    QList<Step> out;
    QByteArray exam(1, char(0x09));
    exam += char(s.questions.size());
    exam += char(s.examID & 0xFF);
    exam += char((s.examID >> 8) & 0xFF);
    exam += s.examTitle.toUtf8() + kEnd;
    out << Step{exam, 0xE0, 0};

    QByteArray info(1, char(0x0A));
    info += char(s.students.size());
    info += char(s.mode);
    info += char(s.sessionID & 0xFF);
    info += char((s.sessionID >> 8) & 0xFF);
    info += s.sessionName.toUtf8() + kEnd + s.className.toUtf8() + kEnd;
    for (int byte = 0; byte < (s.students.size() + 7) / 8; ++byte) {
        quint8 bits = 0;
        for (int b = 0; b < 8; ++b)
            if (s.present.value(8 * byte + b))
                bits |= quint8(1u << b);
        info += char(bits);
    }
    out << Step{info, 0xE0, 0};

    for (int q = 1; q <= s.questions.size(); ++q) {
        const Question &question = s.questions[q - 1];
        QByteArray data(1, char(0x0B));
        data += char(q);
        data += char(question.type);
        data += char(question.options);
        data += question.answer + kEnd;
        out << Step{data, 0xE1, 0};
    }

    if (onePerStudent(s.mode)) {
        for (int p = 1; p <= s.students.size(); ++p) {
            QList<QPair<int, QString>> entries;
            for (int q = 1; q <= s.questions.size(); ++q)
                if (s.answers.contains({p, q}))
                    entries.append({q, s.answers.value({p, q})});
            for (const QByteArray &data : chainedFrames(quint8(p), entries))
                out << Step{data, 0xE2, quint8(data[3])};
        }
    } else if (s.mode != 9) {
        for (int q = 1; q <= s.questions.size(); ++q) {
            QList<QPair<int, QString>> entries;
            for (int p = 1; p <= s.students.size(); ++p)
                if (s.answers.contains({p, q}))
                    entries.append({p, s.answers.value({p, q})});
            for (const QByteArray &data : chainedFrames(quint8(q), entries))
                out << Step{data, 0xE2, quint8(data[3])};
        }
    }

    for (int p = 1; p <= s.students.size(); ++p) {
        QByteArray data(1, char(0x0E));
        data += char(p);
        data += s.students[p - 1].id.toUtf8() + kEnd;
        data += s.students[p - 1].firstName.toUtf8() + kEnd;
        out << Step{data, 0xE3, quint8(p + 1)};
    }
    return out;
}

SimTeacherSession::SimTeacherSession(SimReceiver &receiver, Recorded recorded, int resendMs)
    : m_sim(receiver), m_steps(steps(recorded)), m_resendMs(resendMs)
{
    m_previousFB = m_sim.commandHandler(0xFB);
    m_sim.setCommandHandler(0xFB, [this](SimReceiver &r, const QByteArray &f) { onFB(r, f); });
}

SimTeacherSession::~SimTeacherSession()
{
    m_sim.setCommandHandler(0xFB, m_previousFB);
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_cond.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void SimTeacherSession::start()
{
    m_thread = std::thread([this] { run(); });
}

bool SimTeacherSession::done() const
{
    std::lock_guard lock(m_mutex);
    return m_next >= m_steps.size();
}

int SimTeacherSession::resends() const
{
    std::lock_guard lock(m_mutex);
    return m_resends;
}

int SimTeacherSession::acknowledged() const
{
    std::lock_guard lock(m_mutex);
    return m_next;
}

// FB T EF 02 state revision: the host took the frame.
void SimTeacherSession::onFB(SimReceiver &r, const QByteArray &f)
{
    if (f.size() != 7 || quint8(f[2]) != 0xEF) {
        if (m_previousFB)
            m_previousFB(r, f);
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        if (m_next < m_steps.size() && quint8(f[4]) == m_steps[m_next].state && quint8(f[5]) == m_steps[m_next].revision)
            ++m_next;
    }
    m_cond.notify_all();
}

void SimTeacherSession::run()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop && m_next < m_steps.size()) {
        const int step = m_next;
        const QByteArray data = m_steps[step].data;
        lock.unlock();
        m_sim.teacherFrame(0xF8, data);
        lock.lock();
        if (!m_cond.wait_for(lock, std::chrono::milliseconds(m_resendMs), [&] { return m_stop || m_next != step; }))
            ++m_resends;
    }
}

} // namespace keypadsim
