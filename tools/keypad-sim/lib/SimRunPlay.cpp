#include "SimRunPlay.h"

#include "SimAutoPilot.h"

#include <algorithm>

namespace keypadsim {

namespace {
constexpr quint8 kTeacherHigh = 0xEF;
constexpr quint8 kTextEnd = 0xEE;

quint8 at(const QByteArray &f, int i)
{
    return i >= 0 && i < f.size() ? quint8(f[i]) : 0;
}

// A long frame's data bytes (command, address, length, data, check).
QByteArray dataOf(const QByteArray &f)
{
    if (f.size() < 5)
        return QByteArray();
    return f.mid(4, qMin(int(at(f, 3)), int(f.size()) - 5));
}

QString latin1Field(const QByteArray &bytes, int &pos)
{
    QString out;
    while (pos < bytes.size() && at(bytes, pos) != kTextEnd)
        out += QChar(at(bytes, pos++));
    ++pos;
    return out;
}

int word(const QByteArray &bytes, int i)
{
    return at(bytes, i) | (at(bytes, i + 1) << 8);
}

// Brevel's question type frame: F7 00 00 L, F5 ...
bool isBrevelTypeFrame(const QByteArray &f)
{
    return at(f, 0) == 0xF7 && at(f, 1) == 0x00 && at(f, 2) == 0x00 && at(f, 4) == 0xF5;
}
} // namespace

SimRunPlay::Kind SimRunPlay::kindOfMode(int modeByte)
{
    switch (modeByte) {
    case 3: return Kind::Rush;
    case 0x0D: return Kind::RushByAnswer;
    case 8: return Kind::RollCall;
    case 9: return Kind::Vote;
    default: return Kind::Quiz;
    }
}

bool SimRunPlay::parseKind(const QString &text, Kind *kind)
{
    const QString t = text.toLower();
    if (t == QLatin1String("quiz") || t == QLatin1String("normal"))
        *kind = Kind::Quiz;
    else if (t == QLatin1String("rush"))
        *kind = Kind::Rush;
    else if (t == QLatin1String("vote"))
        *kind = Kind::Vote;
    else if (t == QLatin1String("rollcall") || t == QLatin1String("attendance"))
        *kind = Kind::RollCall;
    else
        return false;
    return true;
}

std::optional<SimRunPlay::Question> SimRunPlay::running(const QList<QByteArray> &frames, Model model)
{
    std::optional<Question> current;
    int serial = 0;
    if (modelInfo(model).family == 0) {
        for (const QByteArray &f : frames) {
            if (f == QByteArray::fromHex("5A80DA") && !current) {
                current = Question{++serial, serial, 0, 4, 0, QString()};
            } else if (f == QByteArray::fromHex("5B80DB") || f == QByteArray::fromHex("5A81DB")) {
                current.reset();
            }
        }
        return current;
    }
    // Brevel keypads may answer once the permission follows the question's type frames; the
    // state announcements around them are not yet the question (and carry another mode byte).
    bool afterTypeFrame = false;
    for (const QByteArray &f : frames) {
        const bool permitted = model != Model::Brevel || afterTypeFrame;
        afterTypeFrame = model == Model::Brevel && isBrevelTypeFrame(f);
        if (at(f, 0) != 0xF5 || at(f, 3) < 1)
            continue;
        const QByteArray data = dataOf(f);
        if (at(data, 0) == 2) {
            current.reset();
        } else if (at(data, 0) == 3 && data.size() >= 5 && permitted) {
            Question q;
            q.serial = current ? current->serial : ++serial;
            q.questionNo = at(data, 1);
            q.type = at(data, 2);
            q.optionCount = at(data, 3);
            q.mode = at(data, 4);
            if (model == Model::Brevel && at(data, 5) == 0xFF && at(data, 6) != 0x00)
                q.answer = QString::fromLatin1(data.mid(6));
            current = q;
        }
    }
    return current;
}

int SimRunPlay::rushWinnerAddress(const QList<QByteArray> &frames, int from)
{
    int winner = 0;
    for (int i = qMax(0, from); i < frames.size(); ++i) {
        const QByteArray &f = frames[i];
        if (at(f, 0) != 0xF7 || at(f, 2) == kTeacherHigh || f.size() < 8)
            continue;
        const QByteArray data = dataOf(f);
        const bool permission = data == QByteArray(3, '\0');
        const bool success = data.size() == 4 && at(data, 3) == 0xF5;
        if (permission || success)
            winner = word(f, 1);
    }
    return winner;
}

QString SimRunPlay::answerOf(const QString &right, int optionCount, int rightPercent, std::mt19937 &rng)
{
    return SimAutoPilot::chooseAnswer(right, int(rng() % 100), rightPercent, rng, optionCount);
}

int SimRunPlay::optionsOf(const Question &question)
{
    constexpr int kTrueFalse = 5;
    return question.type == kTrueFalse ? 2 : std::clamp(question.optionCount, 2, 10);
}

QList<SimRunPlay::Press> SimRunPlay::plan(Kind kind, const Question &question, const Class &keypads, std::mt19937 &rng)
{
    QList<Press> out;
    const int span = std::max(1, keypads.maxDelayMs - keypads.minDelayMs);
    const int options = optionsOf(question);
    for (int id : keypads.ids) {
        if (int(rng() % 100) < keypads.silentPercent)
            continue;
        Press p;
        p.id = id;
        p.delayMs = keypads.minDelayMs + int(rng() % span);
        switch (kind) {
        case Kind::Quiz:
            p.text = answerOf(keypads.right, options, keypads.rightPercent, rng);
            break;
        case Kind::Vote:
            p.text = QString(QChar(u'A' + int(rng() % options)));
            break;
        case Kind::RollCall:
        case Kind::Rush:
            p.buzz = true;
            break;
        case Kind::RushByAnswer:
            p.text = QString(QChar(u'A' + int(rng() % options)));
            break;
        }
        out << p;
    }
    std::sort(out.begin(), out.end(), [](const Press &a, const Press &b) { return a.delayMs < b.delayMs; });
    return out;
}

QString SimRunPlay::teacherScreen(const QByteArray &frame)
{
    if (at(frame, 0) != 0xFD || at(frame, 2) != kTeacherHigh)
        return QString();
    const QByteArray data = dataOf(frame);
    if (data.isEmpty())
        return QString();
    if (at(data, 0) == 0x03) {
        int pos = 5;
        const QString name = latin1Field(data, pos);
        const QString answer = latin1Field(data, pos);
        const QString right = latin1Field(data, pos);
        return QStringLiteral("rush won by %1 (of %2), answer \"%3\", right \"%4\": %5")
            .arg(name)
            .arg(word(data, 3))
            .arg(answer, right, at(data, 1) == 'T' ? QStringLiteral("right") : QStringLiteral("wrong"));
    }
    if (at(data, 0) == 0x00) {
        return QStringLiteral("of %1 students %2 right (%3%)").arg(word(data, 3)).arg(word(data, 5)).arg(at(data, 7));
    }
    if (at(data, 0) != 0x01 && at(data, 0) != 0x02)
        return QString();
    const int options = at(data, 2) - 1;
    QString out = at(data, 0) == 0x02 ? QStringLiteral("vote of %1:").arg(word(data, 3))
                                      : QStringLiteral("right %1, of %2:").arg(QChar(at(data, 1))).arg(word(data, 3));
    int pos = 5;
    for (int k = 0; k <= options && pos + 2 < data.size(); ++k, pos += 3) {
        const QString label = k < options ? QString(QChar(u'A' + k)) : QStringLiteral("none");
        out += QStringLiteral("  %1 %2 (%3%)").arg(label).arg(word(data, pos)).arg(at(data, pos + 2));
    }
    return out;
}

} // namespace keypadsim
