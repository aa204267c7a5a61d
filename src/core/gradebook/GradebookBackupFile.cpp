#include "GradebookBackupFile.h"

#include "TovGradeSessionsXmlDatabase.h"
#include "TovPeriodXmlDatabase.h"

#include "platform/AtomicFile.h"

#include <QCoreApplication>
#include <QFile>

#include <cstring>

namespace {
constexpr int kDetailIdOffset = 0, kDetailIdWidth = 13;
constexpr int kDetailNameOffset = 13, kDetailNameWidth = 50;
constexpr int kDetailDayOffset = 64;
constexpr int kDetailMarkOffset = 320;
constexpr int kDetailLetterOffset = 324, kDetailLetterWidth = 50;

class RecordWriter
{
public:
    explicit RecordWriter(QByteArray &out) : m_out(out) {}

    // Appends a record of size zero bytes; the fields that follow are placed relative to it.
    void begin(int size)
    {
        m_base = m_out.size();
        m_out.append(size, '\0');
    }
    void putInt(int offset, qint32 value)
    {
        const quint32 v = quint32(value);
        for (int i = 0; i < 4; ++i)
            m_out[m_base + offset + i] = char((v >> (8 * i)) & 0xff);
    }
    void putFloat(int offset, float value)
    {
        quint32 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        putInt(offset, qint32(bits));
    }
    // False when a text that may not be cut does not fit.
    bool putText(int offset, int width, const QString &text, bool mayCut, QString *errorText)
    {
        QByteArray bytes = text.toUtf8();
        if (bytes.size() > width - 1) {
            if (!mayCut) {
                if (errorText)
                    *errorText = QCoreApplication::translate("GradebookBackupFile",
                                                             "\"%1\" is too long for the gradebook backup file "
                                                             "(at most %2 bytes).")
                                     .arg(text)
                                     .arg(width - 1);
                return false;
            }
            qsizetype cut = width - 1;
            // Never split a character: step back over continuation bytes.
            while (cut > 0 && (quint8(bytes.at(cut)) & 0xc0) == 0x80)
                --cut;
            bytes.truncate(cut);
        }
        std::memcpy(m_out.data() + m_base + offset, bytes.constData(), size_t(bytes.size()));
        return true;
    }

private:
    QByteArray &m_out;
    qsizetype m_base = 0;
};

class RecordReader
{
public:
    explicit RecordReader(const QByteArray &in) : m_in(in) {}

    qsizetype left() const { return m_in.size() - m_pos; }
    // Takes the next record of size bytes; false when the file ends first.
    bool take(int size)
    {
        if (left() < size)
            return false;
        m_base = m_pos;
        m_pos += size;
        return true;
    }
    qint32 intAt(int offset) const
    {
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v |= quint32(quint8(m_in.at(m_base + offset + i))) << (8 * i);
        return qint32(v);
    }
    float floatAt(int offset) const
    {
        const quint32 bits = quint32(intAt(offset));
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    QString textAt(int offset, int width) const
    {
        const QByteArray field = m_in.mid(m_base + offset, width);
        const qsizetype nul = field.indexOf('\0');
        return QString::fromUtf8(nul < 0 ? field : field.left(nul));
    }

private:
    const QByteArray &m_in;
    qsizetype m_pos = 0;
    qsizetype m_base = 0;
};

QString tr(const char *text)
{
    return QCoreApplication::translate("GradebookBackupFile", text);
}
} // namespace

QByteArray GradebookBackupFile::head()
{
    return QByteArrayLiteral("Pollix gradebook backup head") + QByteArray(1, '\0');
}

std::optional<QByteArray> GradebookBackupFile::encode(const Backup &backup, QString *errorText)
{
    QByteArray out;
    RecordWriter w(out);
    w.begin(kHeadSize);
    w.putText(0, kHeadSize, QString::fromLatin1(head().constData()), false, errorText);
    w.begin(kPeriodSize);
    if (!w.putText(0, 51, backup.period.title(), false, errorText) ||
        !w.putText(51, 11, backup.period.dateFrom(), false, errorText) ||
        !w.putText(62, 11, backup.period.dateTo(), false, errorText))
        return std::nullopt;
    w.begin(4);
    w.putInt(0, qint32(backup.grades.size()));
    for (const CourseGradeEntity &g : backup.grades) {
        w.begin(kClassSubjectSize);
        if (!w.putText(0, 32, g.className(), false, errorText) || !w.putText(32, 32, g.subjectName(), false, errorText))
            return std::nullopt;
        w.begin(kTeacherSize);
        if (!w.putText(0, 50, g.teacherName(), false, errorText))
            return std::nullopt;
        w.begin(4);
        w.putInt(0, qint32(g.allGradeDetails().size()));
        for (const CourseGradeDetail &d : g.allGradeDetails()) {
            w.begin(kDetailSize);
            if (!w.putText(kDetailIdOffset, kDetailIdWidth, d.studentID(), false, errorText))
                return std::nullopt;
            w.putText(kDetailNameOffset, kDetailNameWidth, d.studentName(), true, nullptr);
            // The reserved day 2000-1-1.
            w.putInt(kDetailDayOffset, 2000);
            w.putInt(kDetailDayOffset + 4, 1);
            w.putInt(kDetailDayOffset + 8, 1);
            w.putFloat(kDetailMarkOffset, d.mark());
            w.putText(kDetailLetterOffset, kDetailLetterWidth, d.letterGrade(), true, nullptr);
        }
    }
    return out;
}

bool GradebookBackupFile::write(const QString &path, const Backup &backup, QString *errorText)
{
    const std::optional<QByteArray> bytes = encode(backup, errorText);
    return bytes && AtomicFile::write(path, *bytes, errorText);
}

std::optional<GradebookBackupFile::Backup> GradebookBackupFile::decode(const QByteArray &bytes, ReadError *error,
                                                                       QString *errorText)
{
    const auto fail = [&](ReadError kind, const QString &why) -> std::optional<Backup> {
        if (error)
            *error = kind;
        if (errorText)
            *errorText = why;
        return std::nullopt;
    };
    const QString damaged = tr("the file ends before its records do");
    RecordReader r(bytes);
    if (!r.take(kHeadSize) || bytes.left(kHeadSize) != head())
        return fail(ReadError::NotABackup, tr("the file is no gradebook backup"));
    Backup backup;
    if (!r.take(kPeriodSize))
        return fail(ReadError::Damaged, damaged);
    backup.period.setTitle(r.textAt(0, 51));
    backup.period.setDateFrom(r.textAt(51, 11));
    backup.period.setDateTo(r.textAt(62, 11));
    if (!r.take(4))
        return fail(ReadError::Damaged, damaged);
    const qint32 n = r.intAt(0);
    // Each course grade takes at least its two records and its count.
    if (n < 0 || qint64(n) * (kClassSubjectSize + kTeacherSize + 4) > r.left())
        return fail(ReadError::Damaged, tr("the file cannot hold the %1 course grades it announces").arg(n));
    for (qint32 i = 0; i < n; ++i) {
        CourseGradeEntity g;
        g.setPeriod(backup.period);
        if (!r.take(kClassSubjectSize))
            return fail(ReadError::Damaged, damaged);
        g.setClassName(r.textAt(0, 32));
        g.setSubjectName(r.textAt(32, 32));
        if (!r.take(kTeacherSize))
            return fail(ReadError::Damaged, damaged);
        g.setTeacherName(r.textAt(0, 50));
        if (!r.take(4))
            return fail(ReadError::Damaged, damaged);
        const qint32 m = r.intAt(0);
        if (m < 0 || qint64(m) * kDetailSize > r.left())
            return fail(ReadError::Damaged, tr("the file cannot hold the %1 students it announces").arg(m));
        for (qint32 k = 0; k < m; ++k) {
            r.take(kDetailSize);
            CourseGradeDetail d;
            d.setStudentID(r.textAt(kDetailIdOffset, kDetailIdWidth));
            d.setStudentName(r.textAt(kDetailNameOffset, kDetailNameWidth));
            d.setMark(r.floatAt(kDetailMarkOffset));
            d.setLetterGrade(r.textAt(kDetailLetterOffset, kDetailLetterWidth));
            g.allGradeDetails() << d;
        }
        backup.grades << g;
    }
    if (error)
        *error = ReadError::None;
    return backup;
}

std::optional<GradebookBackupFile::Backup> GradebookBackupFile::read(const QString &path, ReadError *error,
                                                                     QString *errorText)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = ReadError::CannotOpen;
        if (errorText)
            *errorText = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = ReadError::CannotRead;
        if (errorText)
            *errorText = file.errorString();
        return std::nullopt;
    }
    return decode(bytes, error, errorText);
}

std::optional<GradebookBackupFile::Backup> GradebookBackupFile::gatherForExport(const QString &periodLabel,
                                                                                const QStringList &subjects,
                                                                                QString *errorText)
{
    TovGradeSessionsXmlDatabase *store = TovGradeSessionsXmlDatabase::sharedUI();
    const std::optional<PeriodEntity> period = store->periodByTitle(periodLabel);
    if (!period) {
        if (errorText)
            *errorText = tr("no course grade of that grading period is stored");
        return std::nullopt;
    }
    Backup backup;
    backup.period = *period;
    QStringList done;
    for (const QString &subject : subjects) {
        if (done.contains(subject))
            continue;
        done << subject;
        backup.grades << store->getStudentGradeByPeriod(periodLabel, subject);
    }
    return backup;
}

GradebookBackupFile::StoreResult GradebookBackupFile::storeBackup(
    const Backup &backup, const std::function<bool(const CourseGradeEntity &)> &replace, QString *errorText)
{
    TovPeriodXmlDatabase *periods = TovPeriodXmlDatabase::sharedUI();
    if (!periods->periodByTitle(backup.period.title())) {
        PeriodEntity period = backup.period;
        if (periods->addWithData(period, errorText) < 0)
            return StoreResult::Failed;
    }
    TovGradeSessionsXmlDatabase *grades = TovGradeSessionsXmlDatabase::sharedUI();
    for (CourseGradeEntity g : backup.grades) {
        if (grades->existCourseGrade(g)) {
            if (!replace(g))
                return StoreResult::Stopped;
            if (!grades->updateCourseGradeSession(g, errorText))
                return StoreResult::Failed;
        } else if (!grades->addCourseGradeSession(g, errorText)) {
            return StoreResult::Failed;
        }
    }
    return StoreResult::Done;
}
