#pragma once

#include "core/store/CourseGradeEntity.h"
#include "core/store/PeriodEntity.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The gradebook backup file (".gbd"): the course grades of one grading period, carried from one
// installation to another. Fixed records, integers signed 32-bit little-endian, the mark an IEEE
// single-precision float little-endian, texts UTF-8 ending in a NUL inside their field, every
// other byte 0:
//   head "Pollix gradebook backup head" + NUL (29 bytes)
//   period: title 51, first day 11, last day 11 (73 bytes)
//   N, then N times: class 32 + subject 32; teacher 50 + reserved (228 bytes in all);
//   M, then M details of 376 bytes: student ID 13 at 0, name 50 at 13, the reserved day
//   2000, 1, 1 at 64, 68, 72, the mark at 320, the letter 50 at 324.
class GradebookBackupFile
{
public:
    struct Backup
    {
        PeriodEntity period;
        QList<CourseGradeEntity> grades;
    };

    // Damaged: the records end early or announce more than the file holds; Invalid: a text
    // that is not UTF-8 ending inside its field, a period without a title or valid days, or a
    // mark that is no number.
    enum class ReadError { None, CannotOpen, CannotRead, NotABackup, Damaged, Invalid };

    // Any finite mark: the course grades stored hold what their sessions gave, and a rush quiz's
    // deductions or points raised above a session's total take a mark below 0 or above 100.
    // NaN and the infinities are no mark.
    static bool isAcceptableMark(float mark);

    static constexpr int kHeadSize = 29;
    static constexpr int kPeriodSize = 73;
    static constexpr int kClassSubjectSize = 64;
    static constexpr int kTeacherSize = 228;
    static constexpr int kDetailSize = 376;

    static QByteArray head();

    // The file's bytes. None when a name that identifies a record (period title and days, class,
    // subject, teacher, student ID) is too long for its field, or a mark is one the reader would
    // refuse, with the reason; student names and letters too long for theirs are cut at a
    // character boundary.
    static std::optional<QByteArray> encode(const Backup &backup, QString *errorText = nullptr);
    // Writes the file whole (atomically) and reads it back; false with the reason.
    static bool write(const QString &path, const Backup &backup, QString *errorText = nullptr);

    // Reads and checks the whole file before anything is done with it: the head, every count
    // against what the rest of the file can hold, every text and every mark. None with the kind
    // of failure and its reason, which names the record.
    static std::optional<Backup> decode(const QByteArray &bytes, ReadError *error = nullptr,
                                        QString *errorText = nullptr);
    static std::optional<Backup> read(const QString &path, ReadError *error = nullptr, QString *errorText = nullptr);

    // The stored course grades of the period label for the subjects, each subject once, in order:
    // what Save As writes. The period is the course-grade store's period of that label.
    static std::optional<Backup> gatherForExport(const QString &periodLabel, const QStringList &subjects,
                                                 QString *errorText = nullptr);

    enum class StoreResult { Done, Stopped, Failed };
    // Stores a read backup: the period joins the period store when no period has its title
    // (ignoring case); each course grade is added, or, when one of its key is stored, replaced if
    // replace() agrees. Every question is asked before anything is written; a refusal stops the
    // questions there, and the course grades agreed before it are stored (Stopped). The period
    // and the course grades are written as one change: Failed, with the reason, when it could
    // not be, and then neither store changed, on the disk or in memory.
    static StoreResult storeBackup(const Backup &backup, const std::function<bool(const CourseGradeEntity &)> &replace,
                                   QString *errorText = nullptr);
};
