#include "SimSetup.h"

namespace keypadsim {

namespace {

constexpr int kTeacherHigh = 0xEF;

quint8 byteAt(const QByteArray &f, int i)
{
    return i >= 0 && i < f.size() ? quint8(f[i]) : 0;
}

int addressOf(const QByteArray &f)
{
    return byteAt(f, 1) | (byteAt(f, 2) << 8);
}

// A long frame whose length byte agrees with its size.
bool wholeLongFrame(const QByteArray &f)
{
    return f.size() >= 5 && byteAt(f, 3) + 5 == f.size();
}

} // namespace

void SimSetup::registerName(int id, const QByteArray &nameBytes)
{
    m_sim.addKeypad(id);
    const int address = m_sim.keypad(id).address();
    {
        std::lock_guard lock(m_mutex);
        m_askedAt[address] = m_sim.elapsedNs();
    }
    m_sim.keypadFrame(id, 0xFD, nameBytes.left(64));
}

void SimSetup::registerTeacher()
{
    // The keypad's own bytes mean nothing to the program: the teacher keypad is "Teacher".
    QByteArray data;
    data.append(char(m_sim.randomByte()));
    {
        std::lock_guard lock(m_mutex);
        m_askedAt[-1] = m_sim.elapsedNs();
    }
    m_sim.teacherFrame(0xFD, data);
}

SimSetup::Registration SimSetup::registrationTo(int address, qint64 sinceNs) const
{
    Registration r;
    for (const SimFrame &entry : m_sim.framesFromProgram()) {
        const QByteArray &f = entry.bytes;
        if (entry.timeNs < sinceNs || byteAt(f, 0) != 0xF6 || !wholeLongFrame(f) || byteAt(f, 3) < 2)
            continue;
        const bool match = address < 0 ? byteAt(f, 2) == kTeacherHigh : addressOf(f) == address;
        if (!match)
            continue;
        r.number = byteAt(f, 4) | (byteAt(f, 5) << 8);
        r.name = f.mid(6, byteAt(f, 3) - 2);
    }
    return r;
}

SimSetup::Registration SimSetup::registration(int id) const
{
    const keypadsim::SimKeypad keypad = m_sim.keypad(id);
    const int address = keypad.id == id ? keypad.address() : id;
    qint64 since = 0;
    {
        std::lock_guard lock(m_mutex);
        if (!m_askedAt.contains(address))
            return {};
        since = m_askedAt.value(address);
    }
    return registrationTo(address, since);
}

SimSetup::Registration SimSetup::teacherRegistration() const
{
    qint64 since = 0;
    {
        std::lock_guard lock(m_mutex);
        if (!m_askedAt.contains(-1))
            return {};
        since = m_askedAt.value(-1);
    }
    return registrationTo(-1, since);
}

int SimSetup::pcState() const
{
    int state = -1;
    for (const SimFrame &entry : m_sim.framesFromProgram()) {
        const QByteArray &f = entry.bytes;
        if (f.size() == 6 && byteAt(f, 0) == 0xF5 && addressOf(f) == 0 && byteAt(f, 3) == 1)
            state = byteAt(f, 4);
    }
    return state;
}

QList<int> SimSetup::writtenIds() const
{
    QList<int> ids;
    const bool small = m_sim.info().family == 0;
    for (const SimFrame &entry : m_sim.framesFromProgram()) {
        const QByteArray &f = entry.bytes;
        if (small && f.size() == 3 && (byteAt(f, 0) & 0xF0) == 0x60 && (byteAt(f, 1) & 0xE0) == 0x80 &&
            !(byteAt(f, 0) == 0x60 && byteAt(f, 1) == 0x80)) {
            ids << ((byteAt(f, 0) & 0x0F) | ((byteAt(f, 1) & 0x1F) << 4));
        } else if (!small && f.size() == 12 && byteAt(f, 0) == 0xFE && byteAt(f, 5) == 0xF5 && byteAt(f, 10) == 0xE0) {
            ids << (byteAt(f, 6) | (byteAt(f, 7) << 8));
        }
    }
    return ids;
}

bool SimSetup::runCommand(const QStringList &words, FILE *out)
{
    const QString cmd = words.value(0).toLower();
    bool ok = false;
    const int id = words.value(1).toInt(&ok);
    if (cmd == QLatin1String("register") && ok && words.size() >= 3) {
        registerName(id, words.mid(2).join(QLatin1Char(' ')));
    } else if (cmd == QLatin1String("tregister")) {
        registerTeacher();
    } else if (cmd == QLatin1String("setup")) {
        const SimReceiver::Options o = m_sim.options();
        std::fprintf(out, "channel %d band %d pc-state %d\n", o.channel, o.band, pcState());
        QStringList ids;
        for (int written : writtenIds())
            ids << QString::number(written);
        std::fprintf(out, "ids written: %s\n", qPrintable(ids.join(QLatin1Char(' '))));
        QList<int> asked;
        {
            std::lock_guard lock(m_mutex);
            asked = m_askedAt.keys();
        }
        for (int address : asked) {
            const Registration r = address < 0 ? teacherRegistration() : registrationTo(address, 0);
            std::fprintf(out, "%s %d: number %d name \"%s\"\n", address < 0 ? "teacher" : "keypad", address, r.number,
                         r.name.constData());
        }
        std::fflush(out);
    } else {
        return false;
    }
    return true;
}

} // namespace keypadsim
