#include "core/engine/ForceLoginEnrolment.h"
#include "core/roster/RosterEdits.h"
#include "core/store/DataRecovery.h"
#include "core/store/StoreTransaction.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "platform/LeftAlone.h"
#include "support/KilledRuns.h"
#include "support/OrdinaryUser.h"
#include "support/PollixTest.h"
#include "support/TracedRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>

#include <sys/stat.h>

// Changes of several files, each killed for real at every one of its renames; the next start
// must find every file agreeing with the others and nothing that was there before lost.
namespace {
StudentEntity student(const QString &id, const QString &last)
{
    StudentEntity s;
    s.setId(id);
    s.setFirstName(QStringLiteral("Kim"));
    s.setLastName(last);
    s.setDeviceNo(5);
    s.setGroupNo(1);
    return s;
}

class KilledRosterChangesTest : public PollixTest
{
protected:
    // Classes 8C and 9A; A1 in the roster and in both, B2 in the roster and 8C.
    void seed(const QString &folder)
    {
        startOn(folder);
        auto *classes = TovClassXmlDatabase::sharedClassUI();
        auto *roster = TovStudentRoster::sharedUI();
        const int c8 = classes->addClassWithName(QStringLiteral("8C"));
        const int c9 = classes->addClassWithName(QStringLiteral("9A"));
        ASSERT_TRUE(roster->addStudentWithData(student("A1", "Old")));
        ASSERT_TRUE(classes->addStudentWithData(student("A1", "Old"), c8));
        ASSERT_TRUE(classes->addStudentWithData(student("A1", "Old"), c9));
        ASSERT_TRUE(roster->addStudentWithData(student("B2", "Stay")));
        ASSERT_TRUE(classes->addStudentWithData(student("B2", "Stay"), c8));
    }
    static int classNo(const char *name) { return TovClassXmlDatabase::sharedClassUI()->classNoByName(QString::fromLatin1(name)); }
    static std::optional<StudentEntity> inClass(const char *name, const QString &id)
    {
        for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo(name)))
            if (s.id() == id)
                return s;
        return std::nullopt;
    }
    static std::optional<StudentEntity> inRoster(const QString &id)
    {
        for (const StudentEntity &s : TovStudentRoster::sharedUI()->getAllStudents().value_or(QList<StudentEntity>()))
            if (s.id() == id)
                return s;
        return std::nullopt;
    }
    // Files of the change's own making left anywhere in the folder.
    static QStringList leftovers(const QString &folder)
    {
        static const QRegularExpression own(QStringLiteral("\\.(tmp|new|old)-[0-9a-f]{8}$|\\.journal$"));
        QStringList out;
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (own.match(it.next()).hasMatch())
                out << it.filePath();
        return out;
    }
    // What every start must find whatever the change did: the students that were there before.
    void expectEarlierDataWhole(bool killed)
    {
        EXPECT_TRUE(inRoster("B2") && inClass("8C", "B2")) << (killed ? "killed run" : "whole run");
        EXPECT_EQ(leftovers(home()), QStringList()) << (killed ? "killed run" : "whole run");
    }
};
} // namespace

TEST_F(KilledRosterChangesTest, ANewStudentKilledAtAnyStepIsInTheRosterAndTheClassOrInNeither)
{
    if (!KilledRuns::childFolder().isEmpty()) {
        startOn(KilledRuns::childFolder());
        EXPECT_TRUE(RosterEdits::addNewStudent(student("K1", "New"), classNo("8C"), 400).ok());
        return;
    }
    int landed = 0, notLanded = 0;
    const int killed = KilledRuns::atEveryStep([this](const QString &folder) { seed(folder); },
                                                 [&](const QString &folder, bool wasKilled) {
                                                     startOn(folder, true);
                                                     const bool inBoth = inRoster("K1") && inClass("8C", "K1");
                                                     EXPECT_EQ(bool(inRoster("K1")), bool(inClass("8C", "K1")));
                                                     (inBoth ? landed : notLanded) += wasKilled;
                                                     EXPECT_TRUE(inBoth || wasKilled);
                                                     expectEarlierDataWhole(wasKilled);
                                                     // Adding him again is what the teacher then does.
                                                     if (!inBoth) {
                                                         EXPECT_TRUE(RosterEdits::addNewStudent(student("K1", "New"), classNo("8C"), 400).ok());
                                                     }
                                                 });
    EXPECT_GE(killed, 3);
    EXPECT_GT(landed, 0) << "no kill fell after the change was noted down";
    EXPECT_GT(notLanded, 0) << "no kill fell before the change was noted down";
}

// A student added, killed at each of its renames and removals; then the class's side file of new
// bytes, where one is left, is replaced by a copy of the class file itself (one tidying after a
// crash), or written over in place by such a copy. The next start never takes that copy for the
// class's old file exchanged out of its place: the student is in the roster and the class or in
// neither, or the change is left as it is and the start names the file.
TEST_F(KilledRosterChangesTest, AClassSideFileReplacedByACopyOfTheClassIsJudgedByWhatItHolds)
{
    if (!KilledRuns::childFolder().isEmpty()) {
        startOn(KilledRuns::childFolder());
        EXPECT_TRUE(RosterEdits::addNewStudent(student("K1", "New"), classNo("8C"), 400).ok());
        return;
    }
    for (const char *call : {"renameat2", "unlinkat"}) {
        for (const bool inPlace : {false, true}) {
            const std::string label = std::string(call) + (inPlace ? ", copied in place" : ", replaced by a copy");
            int named = 0;
            KilledRuns::atEveryCall(
                QString::fromLatin1(call), [this](const QString &folder) { seed(folder); },
                [&](const QString &folder, bool wasKilled) {
                    startOn(folder);
                    const QString klass = TovClassXmlDatabase::sharedClassUI()->pathByName(QStringLiteral("8C"));
                    QStringList copies;
                    for (const QString &side : QDir(QFileInfo(klass).absolutePath())
                                                   .entryList({QFileInfo(klass).fileName() + ".new-????????"},
                                                              QDir::Files | QDir::Hidden)) {
                        const QString path = QFileInfo(klass).absolutePath() + "/" + side;
                        ASSERT_TRUE(inPlace || QFile::remove(path)) << label;
                        ASSERT_EQ(QProcess::execute("cp", {klass, path}), 0) << label;
                        copies << side;
                    }
                    LeftAloneList found;
                    QString why;
                    EXPECT_TRUE(DataRecovery::run(&why, nullptr, &found)) << label << ": " << why.toStdString();
                    const bool inBoth = inRoster("K1") && inClass("8C", "K1");
                    if (bool(inRoster("K1")) != bool(inClass("8C", "K1"))) {
                        // Left as it is: the start names the copy.
                        const bool told = std::any_of(found.cbegin(), found.cend(), [&](const LeftAlone &f) {
                            return std::any_of(copies.cbegin(), copies.cend(), [&](const QString &c) { return f.text.contains(c); });
                        });
                        EXPECT_TRUE(told) << label << ": the roster and the class disagree, and no file is named";
                        named += told;
                    } else {
                        EXPECT_TRUE(inBoth || wasKilled) << label;
                        EXPECT_TRUE(inRoster("B2") && inClass("8C", "B2")) << label;
                    }
                });
            EXPECT_TRUE(std::string(call) != "renameat2" || named > 0) << label << ": no kill left the roster moved and the class not";
        }
    }
}

// A student added, killed at each of its renames and removals (where the disk can exchange two
// names, and where it cannot), whose journal, where one is left, someone then removes by hand: the
// next start does not clear away the old bytes of a file the change had moved already, but keeps
// them and names them with the way back; put back as said, the student is in neither file, and
// the start after that clears what is left of the change without a word.
TEST_F(KilledRosterChangesTest, AChangeWhoseJournalWasRemovedByHandKeepsTheOldBytesOfWhatItMovedAndNamesThem)
{
    if (!KilledRuns::childFolder().isEmpty()) {
        startOn(KilledRuns::childFolder());
        EXPECT_TRUE(RosterEdits::addNewStudent(student("K1", "New"), classNo("8C"), 400).ok());
        return;
    }
    for (const QStringList &inject : {QStringList(), QStringList{"renameat2:error=EINVAL"}}) {
        const std::string label = inject.isEmpty() ? "exchanged" : "renamed";
        int named = 0;
        KilledRuns::atEveryStep(
            [this](const QString &folder) { seed(folder); },
            [&](const QString &folder, bool wasKilled) {
                startOn(folder);
                for (const QString &journal : QDir(folder + "/Data").entryList({".change-*.journal"}, QDir::Files | QDir::Hidden))
                    ASSERT_TRUE(QFile::remove(folder + "/Data/" + journal)) << label;
                const LeftAloneList found = startFinishingOn(folder);
                startOn(folder);
                EXPECT_TRUE(inRoster("B2") && inClass("8C", "B2")) << label;
                if (bool(inRoster("K1")) == bool(inClass("8C", "K1"))) {
                    EXPECT_TRUE(wasKilled || inRoster("K1")) << label;
                    return;
                }
                // The old bytes of what the change moved, each named, and what to do with them.
                ASSERT_FALSE(found.isEmpty()) << label << ": the roster and the class disagree, and no file is named";
                // Kept, at the next start too, until the teacher takes the way back.
                EXPECT_EQ(startFinishingOn(folder).size(), found.size()) << label;
                for (const LeftAlone &f : found) {
                    EXPECT_TRUE(f.text.contains(f.path) && f.text.contains("put this file in its place")) << f.text.toStdString();
                    const QString target = f.path.left(f.path.lastIndexOf(".old-"));
                    ASSERT_TRUE(QFile::exists(f.path) && target.size() < f.path.size()) << f.path.toStdString();
                    ASSERT_TRUE(QFile::remove(target) && QFile::rename(f.path, target)) << target.toStdString();
                }
                ++named;
                EXPECT_TRUE(startFinishingOn(folder).isEmpty()) << label;
                EXPECT_FALSE(inRoster("K1") || inClass("8C", "K1")) << label;
                expectEarlierDataWhole(wasKilled);
            },
            80, inject);
        EXPECT_GT(named, 0) << label << ": no kill left the roster moved and the class not";
    }
}

// A save of one file (the roster alone) where the disk cannot exchange two names, killed at each of
// its renames and removals: the second name its old bytes had until the new were in place is a
// leftover like any other, which the next start removes without a word; the roster is old or new.
TEST_F(KilledRosterChangesTest, ARosterSavedAloneKilledAtAnyStepWhereTheDiskCannotExchangeLeavesNothingToName)
{
    if (!KilledRuns::childFolder().isEmpty()) {
        startOn(KilledRuns::childFolder());
        EXPECT_TRUE(TovStudentRoster::sharedUI()->addStudentWithData(student("K1", "New")));
        return;
    }
    const int killed = KilledRuns::atEveryStep(
        [this](const QString &folder) { seed(folder); },
        [&](const QString &folder, bool wasKilled) {
            for (const LeftAlone &f : startFinishingOn(folder))
                ADD_FAILURE() << "named: " << f.text.toStdString();
            startOn(folder);
            EXPECT_TRUE(wasKilled || inRoster("K1"));
            expectEarlierDataWhole(wasKilled);
        },
        80, {"renameat2:error=EINVAL"});
    EXPECT_GE(killed, 2) << "the rename and the removal of the old bytes' second name";
}

TEST_F(KilledRosterChangesTest, KeypadsJoiningTheClassDuringARunKilledAtAnyStepAreInTheRosterAndTheClassOrInNeither)
{
    if (!KilledRuns::childFolder().isEmpty()) {
        startOn(KilledRuns::childFolder());
        QList<StudentInClassPtr> unknown;
        for (const char *id : {"N1", "N2"}) {
            auto s = std::make_shared<StudentInClass>();
            s->setStudentID(QString::fromLatin1(id));
            s->setStudentFirstName(QStringLiteral("Keypad"));
            s->setDeviceNo(9);
            unknown << s;
        }
        EXPECT_FALSE(ForceLoginEnrolment::enrol(unknown, classNo("9A"), 400).failed);
        return;
    }
    const int killed = KilledRuns::atEveryStep([this](const QString &folder) { seed(folder); },
                                               [&](const QString &folder, bool wasKilled) {
                                                   startOn(folder, true);
                                                   for (const char *id : {"N1", "N2"}) {
                                                       EXPECT_EQ(bool(inRoster(id)), bool(inClass("9A", id))) << id;
                                                       EXPECT_TRUE(wasKilled || inRoster(id)) << id;
                                                   }
                                                   EXPECT_EQ(bool(inRoster("N1")), bool(inRoster("N2")));
                                                   expectEarlierDataWhole(wasKilled);
                                               });
    EXPECT_GE(killed, 3) << "the journal and two moves";
}

TEST_F(KilledRosterChangesTest, AnEditOfAStudentHeldByTwoClassesKilledAtAnyStepChangesAllThreeFilesOrNone)
{
    if (!KilledRuns::childFolder().isEmpty()) {
        startOn(KilledRuns::childFolder());
        RosterEdits::StudentSave save;
        save.record = student("A1", "Renamed");
        save.classNo = classNo("8C");
        save.adding = false;
        save.oldID = "A1";
        // As the student editor saves: over the copies as it read them.
        save.asRead = RosterEdits::readStudent(save.classNo, "A1").records;
        EXPECT_EQ(save.asRead->size(), 3) << "the roster and both classes";
        EXPECT_TRUE(RosterEdits::saveStudent(save).ok());
        return;
    }
    const int killed = KilledRuns::atEveryStep([this](const QString &folder) { seed(folder); },
                              [&](const QString &folder, bool wasKilled) {
                                  startOn(folder, true);
                                  const QString name = inRoster("A1").value_or(StudentEntity()).lastName();
                                  EXPECT_TRUE(name == "Renamed" || (wasKilled && name == "Old")) << name.toStdString();
                                  EXPECT_EQ(inClass("8C", "A1").value_or(StudentEntity()).lastName(), name);
                                  EXPECT_EQ(inClass("9A", "A1").value_or(StudentEntity()).lastName(), name);
                                  expectEarlierDataWhole(wasKilled);
                              });
    EXPECT_GE(killed, 4) << "the journal and three moves";
}

TEST_F(KilledRosterChangesTest, ADeleteKilledAtAnyStepTakesTheStudentFromRosterAndClassOrFromNeither)
{
    if (!KilledRuns::childFolder().isEmpty()) {
        startOn(KilledRuns::childFolder());
        EXPECT_TRUE(RosterEdits::deleteStudent("A1", classNo("8C")).ok());
        return;
    }
    const int killed = KilledRuns::atEveryStep([this](const QString &folder) { seed(folder); },
                              [&](const QString &folder, bool wasKilled) {
                                  startOn(folder, true);
                                  EXPECT_EQ(bool(inRoster("A1")), bool(inClass("8C", "A1")));
                                  EXPECT_TRUE(wasKilled || !inRoster("A1"));
                                  EXPECT_TRUE(inClass("9A", "A1")) << "the other class keeps its copy";
                                  expectEarlierDataWhole(wasKilled);
                              });
    EXPECT_GE(killed, 3) << "the journal and two moves";
}

TEST_F(KilledRosterChangesTest, ADeleteTheNextStartCouldNotFinishIsNotOvertakenByANewerSaveAndBothFilesAgreeAfterwards)
{
    if (const QString folder = KilledRuns::childFolder(); !folder.isEmpty()) {
        startOn(folder);
        QFile told(folder + "/newer-save");
        if (!told.exists()) {
            // The change, killed at each of its steps.
            EXPECT_TRUE(RosterEdits::deleteStudent("A1", classNo("8C")).ok());
            return;
        }
        // The next start, whose moves fail; then the teacher deletes another student.
        QString why;
        DataRecovery::run(&why);
        const RosterEdits::Result r = RosterEdits::deleteStudent("B2", classNo("8C"));
        ASSERT_TRUE(told.open(QIODevice::WriteOnly));
        told.write((why + "\n" + (r.ok() ? QStringLiteral("saved") : "not saved: " + r.errorText)).toUtf8());
        return;
    }
    POLLIX_AS_ORDINARY_USER();
    int heldBack = 0;
    const int killed = KilledRuns::atEveryStep(
        [this](const QString &folder) { seed(folder); },
        [&](const QString &folder, bool wasKilled) {
            // The moves the change still has to make once it was noted down: each of them fails
            // with an input/output error at the next start, and only they do.
            const bool noted = !QDir(folder + "/Data").entryList({".change-????????.journal"}, QDir::Files | QDir::Hidden).isEmpty();
            int moves = 0;
            for (QDirIterator it(folder + "/Data", {"*.new-????????"}, QDir::Files, QDirIterator::Subdirectories); noted && it.hasNext();) {
                // A new file's name that holds the old file after their exchange (its second name
                // beside the .old- one) has no move left to make.
                struct stat st{};
                if (::stat(QFile::encodeName(it.next()).constData(), &st) == 0 && st.st_nlink == 1)
                    ++moves;
            }
            // (Each made relative to its folder held open.)
            QStringList strace{"-e", "trace=renameat"};
            if (moves > 0)
                strace << "-e" << QStringLiteral("inject=renameat:error=EIO:when=1..%1").arg(moves);
            QFile(folder + "/newer-save").open(QIODevice::WriteOnly);
            const TracedRun::Outcome next = TracedRun::runCurrentTest(folder, strace);
            ASSERT_TRUE(next.passed) << next.output.toStdString();
            const QString told = QString::fromUtf8(readFile(folder + "/newer-save"));
            QFile::remove(folder + "/newer-save");
            if (moves > 0) {
                ++heldBack;
                EXPECT_TRUE(told.contains("Input/output error")) << told.toStdString();
                EXPECT_TRUE(told.contains("not saved: ") && told.contains("is not finished yet")) << told.toStdString();
            } else {
                EXPECT_TRUE(told.endsWith("saved")) << told.toStdString();
            }
            // A start with nothing failing: the delete is finished, and the files agree.
            startOn(folder, true);
            for (const char *id : {"A1", "B2"})
                EXPECT_EQ(bool(inRoster(id)), bool(inClass("8C", id))) << id << (wasKilled ? " (killed run)" : "");
            EXPECT_TRUE(wasKilled || !inRoster("A1"));
            EXPECT_EQ(bool(inRoster("B2")), moves > 0) << "the newer save is made unless it is held back";
            EXPECT_TRUE(inClass("9A", "A1")) << "the other class keeps its copy";
            EXPECT_EQ(leftovers(folder), QStringList());
        });
    EXPECT_GE(killed, 3) << "the journal and two moves";
    EXPECT_GE(heldBack, 2) << "no kill left moves to do";
}

TEST_F(KilledRosterChangesTest, GradingPeriodsSavedTogetherAndKilledAtAnyStepAreAllOldOrAllNew)
{
    auto titles = [] {
        QStringList out;
        for (const PeriodEntity &p : TovPeriodXmlDatabase::sharedUI()->periodList())
            out << p.title();
        out.sort();
        return out;
    };
    if (!KilledRuns::childFolder().isEmpty()) {
        startOn(KilledRuns::childFolder());
        auto *store = TovPeriodXmlDatabase::sharedUI();
        // As the settings window saves its table: a removal, a change and an addition.
        QString why;
        EXPECT_TRUE(StoreTransaction::runAsOne(
            [&](QString *failure) {
                PeriodEntity second = *store->periodByTitle("Term 2");
                second.setTitle("Term 2b");
                PeriodEntity third;
                third.setTitle("Term 3");
                third.setDateFrom("2013-01-01");
                third.setDateTo("2013-03-31");
                return store->deleteWithNo(store->periodByTitle("Term 1")->no(), failure) &&
                       store->updateWithData(second, failure) && store->addWithData(third, failure) > 0;
            },
            &why, store))
            << why.toStdString();
        EXPECT_EQ(titles(), (QStringList{"Term 2b", "Term 3"}));
        return;
    }
    const int killed = KilledRuns::atEveryStep(
        [this](const QString &folder) {
            seed(folder);
            for (const char *title : {"Term 1", "Term 2"}) {
                PeriodEntity p;
                p.setTitle(title);
                p.setDateFrom("2012-09-01");
                p.setDateTo("2012-12-31");
                ASSERT_GT(TovPeriodXmlDatabase::sharedUI()->addWithData(p), 0);
            }
        },
        [&](const QString &folder, bool wasKilled) {
            startOn(folder, true);
            const QStringList now = titles();
            EXPECT_TRUE(now == (QStringList{"Term 2b", "Term 3"}) || (wasKilled && now == (QStringList{"Term 1", "Term 2"})))
                << now.join(", ").toStdString();
            expectEarlierDataWhole(wasKilled);
        });
    EXPECT_GE(killed, 2) << "the journal and the move";
}
