#include "GradebookBackupFile.h"

#include "core/store/TovGradeSessionsXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"

#include "core/store/GlobalFunctions.h"
#include "core/store/StoreTransaction.h"
#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>

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
    // The text of a field: UTF-8 ending in a NUL inside the field. None when it does not end
    // there or is not valid UTF-8; a replacement character must never reach a store as a name.
    std::optional<QString> textAt(int offset, int width) const
    {
        const QByteArray field = m_in.mid(m_base + offset, width);
        const qsizetype nul = field.indexOf('\0');
        if (nul < 0)
            return std::nullopt;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(field.left(nul));
        if (utf8.hasError())
            return std::nullopt;
        return text;
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
            // What the reader would refuse is not written.
            if (!isAcceptableMark(d.mark())) {
                if (errorText)
                    *errorText = tr("The mark of %1 in %2, %3 (%4) is not a number.")
                                     .arg(d.studentID(), g.className(), g.subjectName(),
                                          QString::number(double(d.mark())));
                return std::nullopt;
            }
            w.putFloat(kDetailMarkOffset, d.mark());
            w.putText(kDetailLetterOffset, kDetailLetterWidth, d.letterGrade(), true, nullptr);
        }
    }
    return out;
}

bool GradebookBackupFile::write(const QString &path, const Backup &backup, QString *errorText)
{
    const std::optional<QByteArray> bytes = encode(backup, errorText);
    if (!bytes || !AtomicFile::write(path, *bytes, errorText))
        return false;
    // Reported written only when the file, read again, is what was meant.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.readAll() != *bytes) {
        if (errorText)
            *errorText = tr("the file written does not read back as it was written");
        return false;
    }
    return true;
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
    // Every text is read through this: a field that is not text refuses the whole file.
    QString badField;
    const auto text = [&](int offset, int width, const QString &what) {
        const std::optional<QString> value = r.textAt(offset, width);
        if (!value && badField.isEmpty())
            badField = what;
        return value.value_or(QString());
    };
    const auto notText = [&] {
        return fail(ReadError::Invalid, tr("%1 is not valid text").arg(badField));
    };
    Backup backup;
    if (!r.take(kPeriodSize))
        return fail(ReadError::Damaged, damaged);
    backup.period.setTitle(text(0, 51, tr("the grading period's title")));
    backup.period.setDateFrom(text(51, 11, tr("the grading period's first day")));
    backup.period.setDateTo(text(62, 11, tr("the grading period's last day")));
    if (!badField.isEmpty())
        return notText();
    if (backup.period.title().trimmed().isEmpty())
        return fail(ReadError::Invalid, tr("the grading period has no title"));
    const QDate from = QDate::fromString(backup.period.dateFrom(), QStringLiteral("yyyy-MM-dd"));
    const QDate to = QDate::fromString(backup.period.dateTo(), QStringLiteral("yyyy-MM-dd"));
    if (!from.isValid() || !to.isValid() || to < from)
        return fail(ReadError::Invalid, tr("the grading period \"%1\" has no valid days (%2 to %3)")
                                            .arg(backup.period.title(), backup.period.dateFrom(), backup.period.dateTo()));
    if (!r.take(4))
        return fail(ReadError::Damaged, damaged);
    const qint32 n = r.intAt(0);
    // Each course grade takes at least its two records and its count.
    if (n < 0 || qint64(n) * (kClassSubjectSize + kTeacherSize + 4) > r.left())
        return fail(ReadError::Damaged, tr("the file cannot hold the %1 course grades it announces").arg(n));
    for (qint32 i = 0; i < n; ++i) {
        CourseGradeEntity g;
        g.setPeriod(backup.period);
        const QString which = tr("course grade %1").arg(i + 1);
        if (!r.take(kClassSubjectSize))
            return fail(ReadError::Damaged, damaged);
        g.setClassName(text(0, 32, tr("the class of %1").arg(which)));
        g.setSubjectName(text(32, 32, tr("the subject of %1").arg(which)));
        if (!r.take(kTeacherSize))
            return fail(ReadError::Damaged, damaged);
        g.setTeacherName(text(0, 50, tr("the teacher of %1").arg(which)));
        if (!badField.isEmpty())
            return notText();
        if (!r.take(4))
            return fail(ReadError::Damaged, damaged);
        const qint32 m = r.intAt(0);
        if (m < 0 || qint64(m) * kDetailSize > r.left())
            return fail(ReadError::Damaged, tr("the file cannot hold the %1 students it announces").arg(m));
        for (qint32 k = 0; k < m; ++k) {
            r.take(kDetailSize);
            const QString student = tr("student %1 of %2").arg(k + 1).arg(which);
            CourseGradeDetail d;
            d.setStudentID(text(kDetailIdOffset, kDetailIdWidth, tr("the ID of %1").arg(student)));
            d.setStudentName(text(kDetailNameOffset, kDetailNameWidth, tr("the name of %1").arg(student)));
            d.setLetterGrade(text(kDetailLetterOffset, kDetailLetterWidth, tr("the letter grade of %1").arg(student)));
            if (!badField.isEmpty())
                return notText();
            d.setMark(r.floatAt(kDetailMarkOffset));
            if (!isAcceptableMark(d.mark()))
                return fail(ReadError::Invalid, tr("the mark of %1 (%2) is not a number")
                                                    .arg(student, QString::number(double(d.mark()))));
            g.allGradeDetails() << d;
        }
        backup.grades << g;
    }
    if (error)
        *error = ReadError::None;
    return backup;
}

bool GradebookBackupFile::isAcceptableMark(float mark)
{
    return std::isfinite(mark);
}

std::optional<GradebookBackupFile::Backup> GradebookBackupFile::read(const QString &path, ReadError *error,
                                                                     QString *errorText)
{
    QFile file;
    if (!RegularFile::open(file, path, errorText)) {
        if (error)
            *error = ReadError::CannotOpen;
        return std::nullopt;
    }
    if (file.size() > RegularFile::kWholeLimit) {
        if (error)
            *error = ReadError::CannotRead;
        if (errorText)
            *errorText = QStringLiteral("it is larger than %1").arg(RegularFile::sizeText(RegularFile::kWholeLimit));
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
    TovGradeSessionsXmlDatabase *grades = TovGradeSessionsXmlDatabase::sharedUI();
    // Every question first, so that nothing is written while the teacher is still deciding; a
    // No keeps what was agreed before it.
    QList<CourseGradeEntity> toAdd;
    QList<bool> replacing;
    bool stopped = false;
    for (const CourseGradeEntity &g : backup.grades) {
        // A file that holds one course grade twice replaces the first with the second.
        const bool exists = grades->existCourseGrade(g) ||
                            std::any_of(toAdd.begin(), toAdd.end(), [&](const CourseGradeEntity &earlier) {
                                return TovGradeSessionsXmlDatabase::sameKey(earlier, g);
                            });
        if (exists && !replace(g)) {
            stopped = true;
            break;
        }
        toAdd << g;
        replacing << exists;
    }

    // The period and the course grades land together or not at all.
    QString why;
    bool stored = true;
    {
        StoreTransaction transaction;
        if (!periods->periodByTitle(backup.period.title())) {
            PeriodEntity period = backup.period;
            stored = periods->addWithData(period, &why) >= 0;
        }
        for (qsizetype i = 0; stored && i < toAdd.size(); ++i)
            stored = replacing.at(i) ? grades->updateCourseGradeSession(toAdd[i], &why)
                                     : grades->addCourseGradeSession(toAdd[i], &why);
        stored = stored && transaction.commit(&why);
    }
    if (!stored) {
        // The stores' lists took the changes as they were held; bring them back to the disk.
        periods->loadPeriods();
        grades->loadGradeSessionList();
        GlobalFunctions::failWith(errorText, why);
        return StoreResult::Failed;
    }
    return stopped ? StoreResult::Stopped : StoreResult::Done;
}
