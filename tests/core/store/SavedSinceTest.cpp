#include "StoreTestBase.h"

#include "core/roster/RosterEdits.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovConfigXmlDatabase.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/StoreTransaction.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "platform/ChangeJournal.h"
#include "platform/ContentHash.h"
#include "platform/FileVersions.h"
#include "platform/FolderHandle.h"
#include "platform/InstanceLock.h"
#include "support/AnotherProgram.h"
#include "support/SmallDisk.h"
#include "support/TracedRun.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QSet>

#include <csignal>
#include <cstdio>
#include <optional>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

// A store's save replaces only the version of its file that this Pollix read or wrote: a save
// made since, by another program or by another start of Pollix while this one was stopped, stays.
namespace {
constexpr char kChanged[] = "was changed by another program since Pollix read it";

class SavedSinceTest : public StoreTestBase
{
protected:
    enum class Store { Session, CourseGrade, Settings, StudentAdded };

    void TearDown() override
    {
        AtomicFile::setBeginHook({});
        FileVersions::setReplaceHook({});
        FolderHandle::setRefusalsForTesting({});
        StoreTestBase::TearDown();
    }
    // The file of the store in the folder the program works in now (another program's target).
    static QString fileOf(Store store)
    {
        const AppDelegateBase *app = AppDelegateBase::getAppDelegate();
        const auto onlyIn = [](const QString &folder) {
            return folder + "/" + QDir(folder).entryList({"*.xml"}, QDir::Files).value(0);
        };
        switch (store) {
        case Store::Session:
            return onlyIn(app->strQuizXmlDataFilePath());
        case Store::CourseGrade:
            return onlyIn(app->strCourseGradeFilePath());
        case Store::Settings:
            return TovConfigXmlDatabase::sharedConfigUI()->filePath();
        case Store::StudentAdded:
            return TovStudentRoster::sharedUI()->studentRosterFilePath();
        }
        return QString();
    }
    static int classNo() { return TovClassXmlDatabase::sharedClassUI()->classNoByName("8C"); }
    static void seed(Store store)
    {
        QuizEntity quiz;
        quiz.setName("Week");
        quiz.setActionType("1");
        quiz.setTotalMark("100");
        StudentEntity s;
        s.setId("S0");
        s.setTotalMark("60");
        quiz.allStudents() << s;
        bool made = true;
        switch (store) {
        case Store::Session:
            made = TovQuizXmlDatabase().addQuizWithName("Week", quiz);
            break;
        case Store::CourseGrade:
            made = TovCourseGradeXmlDatabase().addQuizWithName("Grades", quiz);
            break;
        case Store::Settings:
            TovConfigXmlDatabase::sharedConfigUI()->loadConfig();
            break;
        case Store::StudentAdded:
            made = TovClassXmlDatabase::sharedClassUI()->addClassWithName("8C") > 0 &&
                   TovStudentRoster::sharedUI()->addStudentWithData(s);
            break;
        }
        ASSERT_TRUE(made);
    }
    // Edit number n of the store, as the teacher makes it. between runs between the read and the
    // save: of an editor that read the file when it opened, or, where the store reads and saves in
    // one call, as that save begins.
    static bool edit(Store store, int n, const std::function<void()> &between, QString *why)
    {
        const QString path = fileOf(store);
        if (store == Store::Session || store == Store::CourseGrade) {
            std::optional<QuizEntity> quiz = TovQuizXmlDatabase().getQuizInfoAll(path);
            if (!quiz)
                return false;
            quiz->setTitle(QStringLiteral("Title %1").arg(n));
            quiz->allStudents()[0].setTotalMark(QString::number(60 + n));
            if (between)
                between();
            return store == Store::Session ? TovQuizXmlDatabase().upDataQuizForReport(path, *quiz, why)
                                           : TovCourseGradeXmlDatabase().upDataQuizForReport(path, *quiz, why);
        }
        bool once = false;
        const auto atTheSave = [&](const QString &p) {
            if (between && (p == path || p == QFileInfo(path).absoluteFilePath()) && !std::exchange(once, true))
                between();
        };
        if (store == Store::Settings) {
            AtomicFile::setBeginHook(atTheSave);
            const bool saved = TovConfigXmlDatabase::sharedConfigUI()->updateMouseSettionValue(n, why);
            AtomicFile::setBeginHook({});
            return saved;
        }
        // The roster and the class change together: the save begins as their new bytes are written.
        AtomicFile::setFailureHook([&](const QString &p) {
            atTheSave(p);
            return false;
        });
        StudentEntity s;
        s.setId(QStringLiteral("S%1").arg(n));
        s.setFirstName("Kim");
        const RosterEdits::Result added = RosterEdits::addNewStudent(s, classNo(), 400);
        AtomicFile::setFailureHook({});
        if (why)
            *why = added.errorText;
        return added.ok();
    }
    // What the store holds, read afresh: the edit's number, or each student's ID in the roster
    // and then in the class.
    static QString holds(Store store)
    {
        const QString path = fileOf(store);
        if (store == Store::Session || store == Store::CourseGrade) {
            // A session keeps no total mark of its students: their answers give it.
            const std::optional<QuizEntity> quiz = TovQuizXmlDatabase().getQuizInfoAll(path);
            return !quiz ? QString("(unread)")
                         : quiz->title() + (store == Store::CourseGrade ? " " + quiz->allStudents().value(0).totalMark() : "");
        }
        if (store == Store::Settings) {
            TovConfigXmlDatabase::sharedConfigUI()->loadConfig();
            return QString::number(TovConfigXmlDatabase::sharedConfigUI()->getMouseValue());
        }
        QStringList ids;
        for (const StudentEntity &s : TovStudentRoster::sharedUI()->getAllStudents().value_or(QList<StudentEntity>()))
            ids << s.id();
        ids << "|";
        for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo()))
            ids << s.id();
        return ids.join(' ');
    }
    // What holds says once the edits numbered landed, in their order.
    static QString landed(Store store, const QList<int> &edits)
    {
        const int n = edits.last();
        if (store == Store::Session)
            return QStringLiteral("Title %1").arg(n);
        if (store == Store::CourseGrade)
            return QStringLiteral("Title %1 %2").arg(n).arg(60 + n);
        if (store == Store::Settings)
            return QString::number(n);
        QStringList added;
        for (const int e : edits)
            added << QStringLiteral("S%1").arg(e);
        return QStringLiteral("S0 %1 | %1").arg(added.join(' '));
    }
    // Side files a save left anywhere in the folder.
    QStringList leftovers(const QString &folder) const
    {
        QStringList out;
        for (const QString &file : filesBelow(folder).keys())
            if (file.contains(".tmp-") || file.contains(".new-") || file.contains(".old-") || file.contains(".journal"))
                out << file;
        return out;
    }
};

// Another program's save of path, the bytes it leaves: a new file renamed over it, or the file
// written into in place.
QByteArray savedByAnotherProgram(const QString &path, bool inPlace)
{
    QFile file(inPlace ? path : path + ".theirs");
    QByteArray bytes;
    {
        QFile read(path);
        if (read.open(QIODevice::ReadOnly))
            bytes = read.readAll() + "<!-- another program's -->\n";
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    file.close();
    if (!inPlace && std::rename(QFile::encodeName(path + ".theirs").constData(), QFile::encodeName(path).constData()) != 0)
        ADD_FAILURE() << "cannot rename over " << path.toStdString();
    return bytes;
}

// Another version of path of the very size of what it holds (its encoding named in capitals), to
// be written into it once the disk's clock has moved on from its last write: the first moment at
// which that write tells by its stamp. Waited for, as the clock goes on by itself within a tick
// (a few milliseconds; a second on a disk of whole seconds).
QByteArray ofTheSameSize(const QString &path)
{
    struct stat st{};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    const qint64 written = qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    const QDeadlineTimer deadline(10000);
    for (timespec now{}; ::clock_gettime(CLOCK_REALTIME_COARSE, &now) == 0 &&
                         qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec <= written;) {
        if (deadline.hasExpired()) {
            ADD_FAILURE() << "the clock did not pass the time of " << path.toStdString();
            break;
        }
        std::this_thread::yield();
    }
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("utf-8")) << bytes.toStdString();
    return bytes.replace("utf-8", "UTF-8");
}
} // namespace

// Each store saves again over what it wrote itself, and not over a save another program made
// since it read the file (renamed over it or written into it), which stays, with nothing left of
// the refused save.
TEST_F(SavedSinceTest, AStoreSavesOverWhatItReadOrWroteAndNotOverAnotherProgramsSaveSince)
{
    for (const Store store : {Store::Session, Store::CourseGrade, Store::Settings, Store::StudentAdded}) {
        for (const bool inPlace : {false, true}) {
            const std::string label = std::to_string(int(store)) + (inPlace ? " written in place" : " renamed over");
            startOn(QDir(home()).filePath(QString::fromStdString("case " + label)));
            seed(store);
            QString why;
            ASSERT_TRUE(edit(store, 1, {}, &why)) << label << ": " << why.toStdString();
            ASSERT_TRUE(edit(store, 2, {}, &why)) << label << ": over its own save: " << why.toStdString();
            EXPECT_EQ(holds(store).toStdString(), landed(store, {1, 2}).toStdString()) << label;

            const QString path = fileOf(store);
            QByteArray theirs;
            EXPECT_FALSE(edit(store, 3, [&] { theirs = savedByAnotherProgram(path, inPlace); }, &why)) << label;
            EXPECT_TRUE(why.contains(kChanged)) << label << ": " << why.toStdString();
            EXPECT_EQ(readFile(path), theirs) << label;
            EXPECT_EQ(leftovers(app()->strPollixFilePath()), QStringList()) << label;
        }
    }
}

// A Pollix stopped (for real) after it read a file and before its save put the new one in place,
// while its lock file went and another start took the folder and saved the same file: woken, it
// replaces nothing of that save, whether the other has ended since (so that no lock tells of it)
// or still holds the folder, and where the disk cannot exchange two names. The teacher is told
// that another program changed the file; the editor keeps what was typed.
TEST_F(SavedSinceTest, AStartStoppedWhileAnotherTookTheFolderAndSavedReplacesNothingOfThatSave)
{
    enum class Moment { AfterItsRead, AtTheExchange, AtTheRenameOnAShare };
    struct Case
    {
        const char *label;
        Store store;
        Moment moment;
        bool otherEnds;
    };
    const Case cases[] = {
        {"a session edited, stopped after its read", Store::Session, Moment::AfterItsRead, true},
        {"course grades edited, stopped after their read", Store::CourseGrade, Moment::AfterItsRead, true},
        {"a student added, stopped as the roster and class are saved", Store::StudentAdded, Moment::AfterItsRead, true},
        {"a session edited, stopped as its file changes places", Store::Session, Moment::AtTheExchange, false},
        {"a session edited on a share, stopped at its rename", Store::Session, Moment::AtTheRenameOnAShare, false},
    };
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        const Case &c = cases[readFile(folder + "/case").toInt()];
        startOn(folder);
        InstanceLock lock(folder, folder + "/Data");
        ASSERT_EQ(lock.take(), InstanceLock::Outcome::Taken);
        FolderHandle::setRefusalsForTesting({.renameFlags = c.moment == Moment::AtTheRenameOnAShare});
        bool stopped = false;
        const auto stop = [&] {
            if (!std::exchange(stopped, true))
                TracedRun::stopHere(folder);
        };
        if (c.moment != Moment::AfterItsRead)
            FileVersions::setReplaceHook([&](const QString &) { stop(); });
        QString why;
        EXPECT_FALSE(edit(c.store, 1, c.moment == Moment::AfterItsRead ? std::function<void()>(stop) : nullptr, &why));
        EXPECT_TRUE(stopped);
        EXPECT_TRUE(why.contains(kChanged)) << c.label << ": " << why.toStdString();
        return;
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        const QString root = QDir(home()).filePath(QStringLiteral("case %1").arg(i));
        ASSERT_TRUE(QDir().mkpath(root));
        startOn(root);
        seed(c.store);
        writeFile(QStringLiteral("case %1/case").arg(i), QByteArray::number(i));
        const TracedRun::Outcome run = TracedRun::runTakenWhileStopped(
            root,
            [&] {
                // The other start: tidying as a start does, where it ends before the first wakes.
                startOn(root, c.otherEnds);
                QString why;
                EXPECT_TRUE(edit(c.store, 2, {}, &why)) << c.label << ": " << why.toStdString();
            },
            c.otherEnds);
        EXPECT_TRUE(run.passed) << c.label << ": " << run.output.toStdString();
        startOn(root);
        EXPECT_EQ(holds(c.store).toStdString(), landed(c.store, {2}).toStdString()) << c.label;
        EXPECT_EQ(leftovers(root), QStringList()) << c.label;
    }
}

// A disk whose stamps vouch for nothing (a FUSE or network file system, as the platform's seam
// makes every disk in this test) may give a file nobody touched a new inode number between the
// read and the save, or tell an old stamp of a file another program changed: a save goes over
// the file while it holds what was read, and over nothing else, whatever its stamp says. A save
// of one file and a change of several files alike.
TEST_F(SavedSinceTest, WhereStampsVouchForNothingWhatTheFileHoldsDecides)
{
    enum class Meanwhile { Renumbered, RewrittenUnderItsOldStamp, RenamedOverAndRenumbered };
    struct Case
    {
        const char *label;
        Meanwhile meanwhile;
        bool saves;
    };
    const Case cases[] = {
        {"the disk gave the file a new inode number", Meanwhile::Renumbered, true},
        {"another program wrote other bytes of the size into it, its old stamp told", Meanwhile::RewrittenUnderItsOldStamp, false},
        {"another program's save renamed over it, numbered anew", Meanwhile::RenamedOverAndRenumbered, false},
    };
    const auto restore = qScopeGuard([] { ContentHash::setLooseDisksForTesting({}); });
    for (const Store store : {Store::Session, Store::StudentAdded}) {
        for (const Case &c : cases) {
            const std::string label = std::string(store == Store::Session ? "a session: " : "a student added: ") + c.label;
            startOn(QDir(home()).filePath(QString::fromStdString(label)));
            seed(store);
            const QString path = fileOf(store);
            // Numbered anew from the moment below.
            QSet<quint64> renumbered;
            ContentHash::setLooseDisksForTesting([&renumbered](ContentHash::Stamp &stamp) {
                if (renumbered.contains(stamp.inode))
                    stamp.inode += 1'000'000'007;
            });
            QByteArray theirs = readFile(path);
            const auto meanwhile = [&] {
                struct stat before{};
                ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
                if (c.meanwhile == Meanwhile::RewrittenUnderItsOldStamp) {
                    // Bytes of the same length, and the time of modification set back.
                    ASSERT_TRUE(theirs.contains("utf-8"));
                    theirs.replace("utf-8", "UTF-8");
                    QFile file(path);
                    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
                    ASSERT_EQ(file.write(theirs), theirs.size());
                    file.close();
                    const struct timespec times[2] = {before.st_atim, before.st_mtim};
                    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
                } else if (c.meanwhile == Meanwhile::RenamedOverAndRenumbered) {
                    theirs = savedByAnotherProgram(path, false);
                }
                // The disk's new number for the file nobody touched, or for the other program's.
                if (c.meanwhile != Meanwhile::RewrittenUnderItsOldStamp) {
                    struct stat now{};
                    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &now), 0);
                    renumbered << quint64(before.st_ino) << quint64(now.st_ino);
                }
            };
            QString why;
            EXPECT_EQ(edit(store, 1, meanwhile, &why), c.saves) << label << ": " << why.toStdString();
            if (c.saves) {
                EXPECT_EQ(holds(store).toStdString(), landed(store, {1}).toStdString()) << label;
            } else {
                EXPECT_TRUE(why.contains(kChanged)) << label << ": " << why.toStdString();
                EXPECT_EQ(readFile(path), theirs) << label;
            }
            ContentHash::setLooseDisksForTesting({});
            EXPECT_EQ(leftovers(app()->strPollixFilePath()), QStringList()) << label;
        }
    }
}

// A change of several files (a student added to the roster and class, a grading period saved)
// stopped (for real) right after its journal went in place, or right after its first file went in
// place, while another start finished the change from that journal: woken, it says so, whether
// that start took the folder and ended, took it and still holds it, or was a plain start beside a
// Pollix that holds no lock. Every file holds the change; done where the folder is still this
// Pollix's, else naming the other Pollix.
TEST_F(SavedSinceTest, AChangeFinishedFromItsJournalByAnotherStartIsSaidAsSuch)
{
    enum class Other { TookAndEnded, TookAndRuns, PlainStart };
    const auto periods = [] {
        TovPeriodXmlDatabase *store = TovPeriodXmlDatabase::sharedUI();
        store->loadPeriods();
        QStringList titles;
        for (const PeriodEntity &p : store->periodList())
            titles << p.title();
        return titles.join(' ');
    };
    if (const QString folder = TracedRun::childFolder(); !folder.isEmpty()) {
        const QList<QByteArray> said = readFile(folder + "/case").split(' ');
        const bool period = said.at(0) == "period", atTheJournal = said.at(1) == "journal";
        const Other other = Other(said.at(2).toInt());
        startOn(folder);
        std::optional<InstanceLock> lock;
        if (other != Other::PlainStart) {
            lock.emplace(folder, folder + "/Data");
            ASSERT_EQ(lock->take(), InstanceLock::Outcome::Taken);
        }
        TovPeriodXmlDatabase *store = TovPeriodXmlDatabase::sharedUI();
        store->loadPeriods();
        bool stopped = false;
        FolderHandle::setMomentHook([&](FolderHandle::Moment moment, const QString &path) {
            const bool placed = moment == FolderHandle::Moment::Renamed || moment == FolderHandle::Moment::Exchanged;
            if (placed && ChangeJournal::isJournalName(QFileInfo(path).fileName()) == atTheJournal && !std::exchange(stopped, true))
                TracedRun::stopHere(folder);
        });
        QString why;
        PeriodEntity p;
        p.setTitle("Term 1");
        const bool saved =
            period ? StoreTransaction::runAsOne([&](QString *failure) { return store->addWithData(p, failure) != -1; }, &why, store)
                   : edit(Store::StudentAdded, 1, {}, &why);
        FolderHandle::setMomentHook({});
        EXPECT_TRUE(stopped);
        if (other == Other::TookAndRuns) {
            EXPECT_FALSE(saved);
            EXPECT_TRUE(why.contains("another start of Pollix finished this change from its journal while this Pollix was "
                                     "stopped, and every file holds what it wrote. Another Pollix on this computer"))
                << why.toStdString();
        } else {
            EXPECT_TRUE(saved) << why.toStdString();
        }
        return;
    }
    for (const char *what : {"student", "period"}) {
        for (const char *where : {"journal", "file"}) {
            for (const Other other : {Other::TookAndEnded, Other::TookAndRuns, Other::PlainStart}) {
                const QByteArray label = QByteArray(what) + " " + where + " " + QByteArray::number(int(other));
                const QString root = QDir(home()).filePath(QString::fromLatin1(label));
                ASSERT_TRUE(QDir().mkpath(root));
                startOn(root);
                if (label.startsWith("student"))
                    seed(Store::StudentAdded);
                else
                    TovPeriodXmlDatabase::sharedUI()->loadPeriods();
                writeFile(QString::fromLatin1(label) + "/case", label);
                // The other start finishes what the journals note, as every start does first.
                const auto otherStart = [&] { startOn(root, true); };
                TracedRun::Outcome run;
                if (other == Other::PlainStart) {
                    TracedRun::Child child(root, {"--seccomp-bpf", "-e", "trace=none"});
                    const qint64 pid = child.waitUntilStopped();
                    ASSERT_GT(pid, 0) << label.constData() << ": " << child.finish().output.toStdString();
                    otherStart();
                    ASSERT_EQ(::kill(pid_t(pid), SIGCONT), 0);
                    run = child.finish();
                } else {
                    run = TracedRun::runTakenWhileStopped(root, otherStart, other == Other::TookAndEnded);
                }
                EXPECT_TRUE(run.passed) << label.constData() << ": " << run.output.toStdString();
                startOn(root);
                if (label.startsWith("period"))
                    EXPECT_EQ(periods().toStdString(), "Term 1") << label.constData();
                else
                    EXPECT_EQ(holds(Store::StudentAdded).toStdString(), landed(Store::StudentAdded, {1}).toStdString())
                        << label.constData();
                EXPECT_EQ(leftovers(root), QStringList()) << label.constData();
            }
        }
    }
}

// Another program copies its own version over the file in place (cp: the same file, written into)
// right as a save put its file there, by an exchange of names or, where the disk cannot exchange,
// by a rename: the save fails saying so, and that version stays. A session saved twice from one
// window passes over it neither time; a change of several files (a grading period, a student added
// to the roster and a class) puts back the file it had moved already. The other version is of
// another size, or of the very size of Pollix's own, written a tick of the disk's clock later
// (the time of its last write tells it then: on a disk whose stamps vouch).
TEST_F(SavedSinceTest, AnotherProgramsCopyIntoTheFileAsItGoesInPlaceStaysAndNoLaterSaveOfTheWindowPassesOverIt)
{
    enum class What { SessionSavedTwice, GradingPeriod, StudentAdded };
    using Moment = FolderHandle::Moment;
    const auto addPeriod = [](const char *title, QString *why) {
        TovPeriodXmlDatabase *store = TovPeriodXmlDatabase::sharedUI();
        PeriodEntity p;
        p.setTitle(QString::fromLatin1(title));
        return StoreTransaction::runAsOne([&](QString *failure) { return store->addWithData(p, failure) != -1; }, why, store);
    };
    const auto periodsFile = [] { return TovPeriodXmlDatabase::sharedUI()->filePath(); };
    const auto restore = qScopeGuard([] { FolderHandle::setMomentHook({}); });
    for (const What what : {What::SessionSavedTwice, What::GradingPeriod, What::StudentAdded}) {
        for (const auto &[share, sameSize] : {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
            const std::string label = std::to_string(int(what)) + (share ? " without exchange" : " exchanged") +
                                      (sameSize ? ", of the same size" : "");
            const QString root = QDir(home()).filePath(QString::fromStdString("case " + label));
            startOn(root);
            ASSERT_TRUE(!sameSize || ContentHash::stampsExactAt(home())) << label << ": the test's disk keeps no stamps that vouch";
            QString why;
            std::optional<QuizEntity> window;
            if (what == What::SessionSavedTwice) {
                seed(Store::Session);
                // The session window: its copy read once.
                window = TovQuizXmlDatabase().getQuizInfoAll(fileOf(Store::Session));
                ASSERT_TRUE(window) << label;
                window->setTitle("Edited");
            } else if (what == What::GradingPeriod) {
                TovPeriodXmlDatabase::sharedUI()->loadPeriods();
                ASSERT_TRUE(addPeriod("Term 1", &why)) << label << ": " << why.toStdString();
            } else {
                seed(Store::StudentAdded);
            }
            // The files the save puts in place; the other program copies over the last of them.
            const QStringList targets = what == What::SessionSavedTwice ? QStringList{fileOf(Store::Session)}
                                        : what == What::GradingPeriod
                                            ? QStringList{periodsFile()}
                                            : QStringList{fileOf(Store::StudentAdded),
                                                          TovClassXmlDatabase::sharedClassUI()->pathByClassNo(classNo())};
            // The other program's version: each file as it was before the save, and a line of its own.
            QHash<QString, QByteArray> before;
            for (const QString &target : targets)
                before.insert(target, readFile(target) + "<!-- their version -->\n");
            QStringList placed;
            QString copiedOver;
            QByteArray theirs;
            FolderHandle::setRefusalsForTesting({.renameFlags = share});
            FolderHandle::setMomentHook([&](Moment moment, const QString &path) {
                if (moment != Moment::Exchanged && moment != Moment::Renamed)
                    return;
                for (const QString &target : targets)
                    if (QFileInfo(path).fileName() == QFileInfo(target).fileName() && !placed.contains(target))
                        placed << target;
                if (placed.size() == targets.size() && copiedOver.isEmpty()) {
                    copiedOver = placed.last();
                    theirs = sameSize ? ofTheSameSize(copiedOver) : before.value(copiedOver);
                    theirs = AnotherProgram::copyInPlace(copiedOver, theirs, root);
                }
            });
            bool saved = false;
            if (what == What::SessionSavedTwice)
                saved = TovQuizXmlDatabase().upDataQuizForReport(fileOf(Store::Session), *window, &why);
            else if (what == What::GradingPeriod)
                saved = addPeriod("Term 2", &why);
            else
                saved = edit(Store::StudentAdded, 1, {}, &why);
            FolderHandle::setMomentHook({});
            FolderHandle::setRefusalsForTesting({});
            ASSERT_FALSE(copiedOver.isEmpty()) << label;
            EXPECT_FALSE(saved) << label;
            EXPECT_TRUE(why.contains(kChanged)) << label << ": " << why.toStdString();
            EXPECT_EQ(readFile(copiedOver), theirs) << label;
            if (what == What::SessionSavedTwice) {
                // The same window saves again: over the other program's version no more than before.
                EXPECT_FALSE(TovQuizXmlDatabase().upDataQuizForReport(fileOf(Store::Session), *window, &why)) << label;
                EXPECT_TRUE(why.contains(kChanged)) << label << ": " << why.toStdString();
                EXPECT_EQ(readFile(copiedOver), theirs) << label;
            } else if (what == What::StudentAdded) {
                // The roster, moved first, is put back: the student is in neither file (but in the
                // other program's copy of the class that Pollix wrote, of the same size).
                const QString holding = holds(Store::StudentAdded);
                EXPECT_FALSE((sameSize ? holding.section('|', 0, 0) : holding).contains("S1")) << label << ": " << holding.toStdString();
            }
            QFile::remove(QDir(root).filePath("their-version"));
            EXPECT_EQ(leftovers(root), QStringList()) << label;
        }
    }
}

// On a disk whose stamps count whole seconds (an ext4 of 128-byte inodes, as older and small disks
// are), another program's write of as many bytes into the file in place, in the second of a save's
// exchange or rename, leaves the file the stamp of Pollix's own write: there the bytes decide, and
// no later save of the window that made that save passes over the other program's version. On such
// a disk mounted for the test where that can be done (as root), else with every stamp cut to its
// second as that disk keeps it. A case whose other write fell in the next second proves nothing,
// and is tried again.
TEST_F(SavedSinceTest, OnADiskOfWholeSecondsAWriteOfTheSizeInTheSecondOfASaveIsNotSavedOverByTheWindow)
{
    if (SmallDisk::folder().isEmpty()) {
        const SmallDisk::Outcome outcome = SmallDisk::runCurrentTestInside({.kilobytes = 8192, .wholeSeconds = true});
        if (outcome != SmallDisk::Outcome::Unavailable) {
            EXPECT_EQ(outcome, SmallDisk::Outcome::Passed) << "the test failed on its disk of whole seconds";
            return;
        }
        ContentHash::setWholeSecondsForTesting(true);
    } else {
        struct stat disk{};
        ASSERT_EQ(::stat(QFile::encodeName(home()).constData(), &disk), 0);
        ASSERT_EQ(disk.st_ctim.tv_nsec, 0) << "the disk keeps fractions of a second";
    }
    using Moment = FolderHandle::Moment;
    const auto restore = qScopeGuard([] {
        ContentHash::setWholeSecondsForTesting(false);
        FolderHandle::setMomentHook({});
        FolderHandle::setRefusalsForTesting({});
    });
    for (const bool share : {false, true}) {
        bool proved = false;
        for (int attempt = 0; attempt < 10 && !proved; ++attempt) {
            const std::string label = std::string(share ? "without exchange" : "exchanged") + ", try " + std::to_string(attempt);
            const QString root = QDir(home()).filePath(QString::fromStdString(label));
            startOn(root);
            seed(Store::Session);
            const QString path = fileOf(Store::Session);
            std::optional<QuizEntity> window = TovQuizXmlDatabase().getQuizInfoAll(path);
            ASSERT_TRUE(window) << label;
            window->setTitle("Edited");
            QByteArray theirs;
            struct stat written{}, after{};
            FolderHandle::setRefusalsForTesting({.renameFlags = share});
            FolderHandle::setMomentHook([&](Moment moment, const QString &placed) {
                if ((moment != Moment::Exchanged && moment != Moment::Renamed) || !theirs.isEmpty() ||
                    QFileInfo(placed).fileName() != QFileInfo(path).fileName())
                    return;
                ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &written), 0);
                QByteArray bytes = readFile(path);
                ASSERT_EQ(bytes.count("Edited"), 1) << bytes.toStdString();
                theirs = AnotherProgram::copyInPlace(path, bytes.replace("Edited", "Theirs"), root);
                ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
            });
            QString why;
            const bool first = TovQuizXmlDatabase().upDataQuizForReport(path, *window, &why);
            FolderHandle::setMomentHook({});
            FolderHandle::setRefusalsForTesting({});
            ASSERT_FALSE(theirs.isEmpty()) << label;
            ASSERT_EQ(after.st_ino, written.st_ino) << label;
            if (after.st_mtim.tv_sec != written.st_mtim.tv_sec)
                continue;
            proved = true;
            // Right after the move the bytes cannot be told by a look at the stamps; the save may
            // say it landed, as it did, before the other program wrote. Then its window saves
            // again, twice: over the other program's version neither time.
            EXPECT_EQ(readFile(path), theirs) << label << ", the first save " << (first ? "landed" : "failed: ")
                                              << (first ? std::string() : why.toStdString());
            for (int again = 0; again < 2; ++again) {
                EXPECT_FALSE(TovQuizXmlDatabase().upDataQuizForReport(path, *window, &why)) << label << ", again " << again;
                EXPECT_TRUE(why.contains(kChanged)) << label << ": " << why.toStdString();
                EXPECT_EQ(readFile(path), theirs) << label << ", again " << again;
            }
            QFile::remove(QDir(root).filePath("their-version"));
            EXPECT_EQ(leftovers(root), QStringList()) << label;
        }
        EXPECT_TRUE(proved) << (share ? "without exchange" : "exchanged") << ": the other write never fell in the second of the save's";
    }
}
