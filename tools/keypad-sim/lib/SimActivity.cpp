#include "SimActivity.h"

#include <QMap>

namespace keypadsim {

namespace {
constexpr quint8 kTeacherHigh = 0xEF;

quint8 byteAt(const QByteArray &f, int i)
{
    return i >= 0 && i < f.size() ? quint8(f[i]) : 0;
}

// Data bytes of a long frame (command, address, length, data, check).
QByteArray dataOf(const QByteArray &f)
{
    if (f.size() < 5)
        return QByteArray();
    return f.mid(4, qMin(int(byteAt(f, 3)), int(f.size()) - 5));
}

bool isShort(quint8 cmd)
{
    return cmd >= 0xF0 && cmd <= 0xF4;
}

QString latin1Until(const QByteArray &bytes, int from, char end, int *next = nullptr)
{
    int i = from;
    QString out;
    while (i < bytes.size() && bytes[i] != end)
        out += QChar(quint8(bytes[i++]));
    if (next)
        *next = i + 1;
    return out;
}
} // namespace

void SimActivity::reportLostFrames(int id)
{
    m_sim.keypadFrame(id, 0xF8, QByteArray(1, char(0xE0)) + char(m_sim.randomByte()));
}

void SimActivity::searchClass(int id)
{
    m_sim.keypadFrame(id, 0xF9, QByteArray(1, char(0xE0)));
}

void SimActivity::loginAll(int first, int count, int firstStudent)
{
    for (int i = 0; i < count; ++i) {
        const int n = firstStudent + i;
        m_sim.login(first + i, QStringLiteral("S%1").arg(n, 3, 10, QLatin1Char('0')), QStringLiteral("Student %1").arg(n));
    }
}

void SimActivity::answerAll(int first, int count, const QString &text)
{
    for (int i = 0; i < count; ++i)
        m_sim.answer(first + i, text);
}

void SimActivity::teacherQuizInfo()
{
    m_sim.teacherFrame(0xF9, QByteArray(1, char(0xE1)));
}

void SimActivity::teacherSetQuestion(quint8 keypadType, quint8 options, const QByteArray &answer)
{
    m_sim.teacherFrame(0xF7, QByteArray(1, char(keypadType)) + char(options) + answer);
}

void SimActivity::teacherMouse(quint8 code, quint8 x, quint8 y)
{
    QByteArray data(1, char(code));
    if (code == 0xE0)
        data.append(char(x)).append(char(y));
    m_sim.teacherFrame(0xFC, data);
}

// ---- what the keypads were told -----------------------------------------------------------

QList<QByteArray> SimActivity::programFrames() const
{
    QList<QByteArray> out;
    for (const SimFrame &f : m_sim.framesFromProgram())
        out << f.bytes;
    return out;
}

int SimActivity::runState() const
{
    int state = -1;
    for (const QByteArray &f : programFrames())
        if (byteAt(f, 0) == 0xF5 && byteAt(f, 3) >= 1)
            state = byteAt(f, 4);
    return state;
}

int SimActivity::runQuestionNo() const
{
    int q = 0;
    for (const QByteArray &f : programFrames())
        if (byteAt(f, 0) == 0xF5 && byteAt(f, 3) >= 2 && byteAt(f, 4) == 3)
            q = byteAt(f, 5);
    return q;
}

QStringList SimActivity::questionLines() const
{
    // Frames of one question share the total and the question mark byte; a keypad assembles
    // them by number and shows the question once every frame has come.
    QMap<int, QByteArray> texts;
    int total = 0;
    int mark = -1;
    QStringList last;
    for (const QByteArray &f : programFrames()) {
        if (byteAt(f, 0) != 0xF7 || byteAt(f, 1) != 0x00 || byteAt(f, 2) != 0xC0)
            continue;
        const QByteArray data = dataOf(f);
        if (data.size() < 5 || byteAt(data, 0) != 0x01)
            continue;
        if (byteAt(data, 1) != total || byteAt(data, 4) != mark) {
            texts.clear();
            total = byteAt(data, 1);
            mark = byteAt(data, 4);
        }
        texts.insert(byteAt(data, 2), data.mid(5));
        if (texts.size() == total && total > 0) {
            last.clear();
            for (const QByteArray &t : texts) {
                for (int i = 0; i < t.size(); i += 21) {
                    const QByteArray line = t.mid(i, 21);
                    const int end = line.indexOf('\0');
                    last << QString::fromLatin1(end < 0 ? line : line.left(end));
                }
            }
        }
    }
    return last;
}

QString SimActivity::announcedClass() const
{
    QString name;
    for (const QByteArray &f : programFrames())
        if (byteAt(f, 0) == 0xF9 && byteAt(f, 1) == 0x00 && byteAt(f, 2) != kTeacherHigh)
            name = latin1Until(dataOf(f), 0, char(0xEE));
    return name;
}

QString SimActivity::announcedTeacher() const
{
    QString name;
    for (const QByteArray &f : programFrames()) {
        if (byteAt(f, 0) == 0xF9 && byteAt(f, 1) == 0x00 && byteAt(f, 2) != kTeacherHigh) {
            int next = 0;
            const QByteArray data = dataOf(f);
            latin1Until(data, 0, char(0xEE), &next);
            name = latin1Until(data, next, char(0xEE));
        }
    }
    return name;
}

QList<QByteArray> SimActivity::teacherReplies() const
{
    QList<QByteArray> out;
    for (const QByteArray &f : programFrames())
        if (byteAt(f, 2) == kTeacherHigh && (byteAt(f, 0) >= 0xF3 || isShort(byteAt(f, 0))))
            out << f;
    return out;
}

QList<QByteArray> SimActivity::framesTo(int address) const
{
    QList<QByteArray> out;
    for (const QByteArray &f : programFrames())
        if (f.size() >= 3 && (byteAt(f, 1) | (byteAt(f, 2) << 8)) == address)
            out << f;
    return out;
}

int SimActivity::wakeFrames() const
{
    int n = 0;
    for (const QByteArray &f : programFrames())
        if (f == QByteArray::fromHex("F400C00135"))
            ++n;
    return n;
}

// ---- command line --------------------------------------------------------------------------

bool SimActivity::runCommand(const QStringList &words, FILE *out)
{
    const QString cmd = words.value(0).toLower();
    bool ok = true;
    const int a = words.value(1).toInt(&ok);
    const int b = words.value(2).toInt();
    if (cmd == QLatin1String("loginall") && ok && words.size() >= 3) {
        loginAll(a, b, words.size() >= 4 ? words.at(3).toInt() : 1);
    } else if (cmd == QLatin1String("answerall") && ok && words.size() >= 4) {
        answerAll(a, b, words.mid(3).join(QLatin1Char(' ')));
    } else if (cmd == QLatin1String("lost") && ok) {
        reportLostFrames(a);
    } else if (cmd == QLatin1String("search") && ok) {
        searchClass(a);
    } else if (cmd == QLatin1String("tinfo")) {
        teacherQuizInfo();
    } else if (cmd == QLatin1String("tsetq") && ok && words.size() >= 4) {
        teacherSetQuestion(quint8(a), quint8(b), words.at(3).toLatin1());
    } else if (cmd == QLatin1String("tmouse") && words.size() >= 2) {
        teacherMouse(quint8(words.at(1).toUInt(nullptr, 16)), quint8(b), quint8(words.value(3).toInt()));
    } else if (cmd == QLatin1String("told")) {
        std::fprintf(out, "state %d question %d wakes %d class \"%s\" teacher \"%s\"\n", runState(), runQuestionNo(),
                     wakeFrames(), qPrintable(announcedClass()), qPrintable(announcedTeacher()));
        for (const QString &line : questionLines())
            std::fprintf(out, "| %s\n", qPrintable(line));
        for (const QByteArray &f : teacherReplies())
            std::fprintf(out, "teacher <- %s\n", f.toHex(' ').toUpper().constData());
        std::fflush(out);
    } else {
        return false;
    }
    return true;
}

} // namespace keypadsim
