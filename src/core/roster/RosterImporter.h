#pragma once

#include "core/roster/RosterEdits.h"
#include "core/store/StudentEntity.h"
#include "core/store/StudentInClass.h"
#include "core/store/Teacher.h"
#include "core/store/TeacherEntity.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Stores the records of an accepted import preview: students into the school roster and the
// chosen class, or teachers into the teacher list, each store written once through its batch.
// A record that is refused is listed with its reason; when a store cannot be read or written
// nothing is imported and every record is listed.
//
// Turning the preview's texts into records touches no store and may run on any thread; the
// store work runs on the thread that owns the stores (the GUI thread).
class RosterImporter
{
public:
    struct LostStudent
    {
        StudentInClass student;
        QString reason;
        int record = -1; // its index in the list imported
    };
    struct LostTeacher
    {
        Teacher teacher;
        QString reason;
        int record = -1;
    };

    // Records in the item order of the student list: device number, ID, first name, last name,
    // class name (not used: the class is the one chosen), group, birthday, responsibility,
    // remark, address, phone, e-mail, gender.
    static QList<StudentEntity> studentsFromRecords(const QList<QStringList> &records);
    // Records in the item order of the teacher list: number (not used), first name, last name,
    // title, address, phone, gender.
    static QList<TeacherEntity> teachersFromRecords(const QList<QStringList> &records);
    // 1 for "Male", "M" and the empty text, 2 for any other text; letter case does not count.
    static int genderFromText(const QString &text);

    // What the student import does with each record, decided before anything is stored, so that
    // the preview tells what the import then does: why the record stays out of the class ("" when
    // it goes in: a record without an ID, one whose ID, in any letter case, the class or an
    // earlier record holds, and every record once the class holds maxStudents), and the keypad
    // number given to a record without one (deviceNo below 1). A keypad number typed that a
    // student of the class, or an earlier record going in, holds too is the class's own rule for
    // a number two students hold (RosterEdits::deviceNoClashes, which Class Setup's Renumber
    // mends): the first holder keeps it, and the record is given one as a record without one is
    // (heldBy says who held it). A record given a number takes the smallest from 1 to
    // RosterEdits::kMostDeviceNo that neither the class nor another record going in holds, typed
    // or given before it; once none is left, keypad 1, shared (free false). A record that stays
    // out is given the number it would get, and takes none.
    enum class HeldBy {
        Nobody,
        Class,      // a student of the class holds the number typed
        EarlierRow  // an earlier record of the file brings it
    };
    struct Placement
    {
        QString refusal;
        std::optional<RosterEdits::GivenDeviceNo> given;
        HeldBy heldBy = HeldBy::Nobody;
    };
    static QList<Placement> placements(const QList<StudentEntity> &students, const QList<StudentEntity> &inClass,
                                       int maxStudents);

    void setClassNoToImport(int classNo, const QString &className);
    // The most students a class holds where no one says otherwise: a class on every receiver.
    static constexpr int kMostStudentsByDefault = 400;
    void setMaxStudentNumberAllowed(int limit) { m_maxStudentNumberAllowed = limit; }

    // Told the progress in percent after each record, the first time the class is full (the
    // limit), and each time a record joins the lists of records not imported.
    std::function<void(int percent)> onProgress;
    std::function<void(int limit)> onClassFull;
    std::function<void()> onLost;

    // True when every record was imported.
    bool importStudentsUsingPreviewResultData(const QList<StudentEntity> &students);
    bool importTeachersUsingPreviewResultData(const QList<TeacherEntity> &teachers);

    const QList<LostStudent> &studentsLost() const { return m_studentsLost; }
    // The keypad numbers the last student import gave to records without one, by record index
    // (placements' given).
    const QHash<int, RosterEdits::GivenDeviceNo> &givenDeviceNos() const { return m_givenDeviceNos; }
    const QList<LostTeacher> &teachersLost() const { return m_teachersLost; }
    // Set when a store could not be read or written: what failed, and the system's reason.
    QString failureText() const { return m_failureText; }
    QString failureReason() const { return m_failureReason; }
    // The students went into the class (also when only the roster could not be written).
    bool classSaved() const { return m_classSaved; }

    static QString reasonNoStudentID() { return QStringLiteral("No student ID."); }
    static QString reasonAlreadyInClass() { return QStringLiteral("Already in this class."); }
    static QString reasonClassFull() { return QStringLiteral("The class is full."); }
    static QString reasonNoTeacherName() { return QStringLiteral("No teacher name."); }
    static QString reasonTeacherExists() { return QStringLiteral("Already in the teacher list."); }

private:
    bool addStudentToDatabase(const StudentEntity &student, const Placement &placement, int record, QString *reason);
    bool addTeacherToDatabase(const TeacherEntity &teacher, QString *reason);
    void loseStudent(const StudentEntity &student, const QString &reason, int record);
    void loseTeacher(const TeacherEntity &teacher, const QString &reason, int record);
    void failAll(const QList<StudentEntity> &students, const QString &text, const QString &why);
    void progress(int index, int count);

    int m_classNo = 0;
    QString m_className;
    int m_maxStudentNumberAllowed = kMostStudentsByDefault;
    // Case-folded IDs of the roster's students, with those this import added.
    QSet<QString> dicStudentRoster;
    QHash<int, RosterEdits::GivenDeviceNo> m_givenDeviceNos;
    bool maxNumInClass = false;
    // Display names of the stored teachers, with those this import added.
    QSet<QString> dicTeacherRoster;
    QList<LostStudent> m_studentsLost;
    QList<LostTeacher> m_teachersLost;
    QString m_failureText;
    QString m_failureReason;
    bool m_classSaved = false;
    int m_lastPercent = -1;
};
