#pragma once

#include "core/store/StudentEntity.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// The changes the roster windows make to the students of a class and to the school-wide roster.
// Each is one change of every file it touches: the roster and the class copies are written
// together, or, when any file cannot be written, none of them is (StoreTransaction).
//
// A student is one identity in the roster and in every class that holds a copy: IDs compare
// ignoring case everywhere, so no change makes two roster students, or two students of one
// class, whose IDs differ only in letter case.
class RosterEdits
{
public:
    enum class Outcome {
        Done,
        ClassFull,   // the class already holds the most students allowed
        IdInRoster,  // a roster student bears the ID (a question before an update, or a refusal)
        IdInClass,   // the class already holds a student with the ID
        WriteFailed  // nothing changed; errorText says why
    };
    struct Result
    {
        Outcome outcome = Outcome::Done;
        QString errorText;
        int added = 0;   // students that went into the class
        int leftOut = 0; // students the class had no room for
        // saveStudent: each file's record of the student as the save wrote it, by the file's path.
        QHash<QString, QByteArray> written;
        bool ok() const { return outcome == Outcome::Done; }
    };

    // A student typed in the class students manager: into the roster and the class at once.
    // Refused when the class is full or the roster or the class bears the ID.
    // With nextFreeDeviceNo the student takes the class's next free keypad number instead of the
    // one typed (the receivers whose keypads log in by ID hide the field).
    static Result addNewStudent(const StudentEntity &student, int classNo, int maxStudents, bool nextFreeDeviceNo = false);
    // Roster students copied into the class in the given order. Students the class holds
    // already are skipped; once the class is full the rest are left out (counted in leftOut).
    // ClassFull, and nothing added, when the class is full before the first.
    static Result addFromRoster(const QList<StudentEntity> &students, int classNo, int maxStudents);
    // Students of the class, named by the IDs the class file holds; the roster keeps them.
    static Result removeFromClass(const QStringList &studentIDs, int classNo);

    // What each file holding a student held of its record as a window read it, by the file's
    // path (the roster's, each class's); a file not named held no such student then. A save
    // takes each file as it is then, so that another program's changes to other students stay,
    // and rewrites a copy of the student only while its file still holds it so: otherwise the
    // other program's change to the same student would be lost to the copy the window showed.
    using StudentAsRead = QHash<QString, QByteArray>;
    // A student of a class as the student editor shows it, read as it is shown from every file its
    // save may replace: the roster's record of the student (the details every class follows, which
    // the save writes over), with the class's own ID, keypad and group numbers; where the roster
    // holds none, the class's. After a save of the student refused over another program's change
    // (its alert tells the teacher to open the window again to see it), the copy that save found
    // changed, until a save of the student goes through. records: what each file held of the
    // student right then.
    struct StudentRead
    {
        std::optional<StudentEntity> student; // none: the class holds no such student
        StudentAsRead records;
    };
    static StudentRead readStudent(int classNo, const QString &studentID);

    // The student editor's save of one student of a class.
    struct StudentSave
    {
        StudentEntity record;
        int classNo = 0;
        bool adding = true;
        QString oldID;                      // modifying: the ID the student was loaded with
        bool rosterUpdateConfirmed = false; // adding: the teacher agreed to update the roster student
        int maxStudents = 400;
        bool nextFreeDeviceNo = false;      // adding: the class's next free keypad number
        // Modifying: the student as the editor read it; each copy the save rewrites must still be
        // so, else nothing is written and the reason says another program changed its file.
        std::optional<StudentAsRead> asRead = std::nullopt;
    };
    // Adding: a roster student with the ID is rewritten only once confirmed (IdInRoster asks
    // first); the class copy is rewritten or appended. Modifying: a new ID that the class or
    // another roster student bears is refused (IdInClass, IdInRoster); a new ID goes into the
    // roster as a new student, the old roster student staying for the classes that hold it.
    // Whenever the roster student itself is rewritten, every other class holding it follows
    // (names, birthday, contact details; each class keeps its own keypad and group numbers).
    // Result::written: what the next save of the student may find (a window's asRead).
    static Result saveStudent(const StudentSave &save);
    // From the roster and from this class; copies in other classes stay.
    static Result deleteStudent(const QString &studentID, int classNo);

    // The keypad numbers a class has: 1 to 400.
    static constexpr int kMostDeviceNo = 400;
    // The keypad number that a student who comes into a class without one of their own takes (a
    // student typed or imported while the receiver's keypads log in by ID): the smallest from 1
    // to kMostDeviceNo that no student of the class holds (taken). A class that holds every one
    // (it has more students than keypad numbers, as a class on such a receiver may) has none
    // free: the student then shares keypad 1, the number every student of those receivers had
    // before numbers were given, rather than piling onto the last number.
    struct GivenDeviceNo
    {
        int number = 1;
        bool free = true; // false: the number is shared, as none was free
    };
    static GivenDeviceNo deviceNoForNewStudent(const QSet<int> &taken);
    static GivenDeviceNo deviceNoForNewStudent(int classNo);
    // The students of a class that share a keypad number, one list per shared number, in the
    // order of the class.
    static QList<QList<StudentEntity>> deviceNoClashes(const QList<StudentEntity> &students);
    // Every student after the first holding a number takes the next free number.
    static Result renumberDeviceClashes(int classNo);

    // Group numbers by student ID, and the class's group count when splits is above 0.
    // asRead: the class's students as the window that grouped them read them (ClassRead's own
    // class file, StudentRosterXmlHelper::studentTexts); a student whose group changes must still
    // be so.
    static Result writeGroups(int classNo, const QList<std::pair<QString, int>> &groups, int splits = 0,
                              const QHash<QString, QByteArray> *asRead = nullptr);

    static bool sameID(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }
};
