// What the random walk holds a walk to about the data: a session, class or student that goes
// fails it, unless Pollix's own command took it away while a step acted; so does a data file that
// no longer reads, and one that holds what no save of Pollix's wrote there.

#include "core/app/zipHelper.h"
#include "core/roster/RosterEdits.h"
#include "core/store/DataFolderLayout.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "support/PollixTest.h"
#include "support/RecordWatch.h"

#include "DemoData.h"

#include <QFile>

#include <functional>
#include <optional>

namespace {

QString firstSession()
{
    for (const DataFolderLayout::File &file : DataFolderLayout::filesOfKeptFolders())
        if (file.relative.startsWith(QLatin1String("Quiz/")))
            return file.path;
    return QString();
}

int demoClass()
{
    TovClassXmlDatabase::sharedClassUI()->loadClasses();
    return TovClassXmlDatabase::sharedClassUI()->classNoByName(DemoData::className());
}

bool writeOver(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The first session as its store reads it, with another title, saved again by the store.
void retitleFirstSession()
{
    std::optional<QuizEntity> quiz = TovQuizXmlDatabase().getQuizInfoAll(firstSession());
    ASSERT_TRUE(quiz);
    quiz->setTitle(QStringLiteral("Retitled"));
    QString why;
    ASSERT_TRUE(TovQuizXmlDatabase().upDataQuizForReport(firstSession(), *quiz, &why)) << why.toStdString();
}

bool rewrite(const QString &path, const QByteArray &from, const QByteArray &to)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = f.readAll();
    f.close();
    bytes.replace(from, to);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

using RecordWatchTest = PollixTest;

TEST_F(RecordWatchTest, ARecordGoneFailsUnlessPollixsOwnCommandTookItWhileTheUserActed)
{
    struct Case
    {
        const char *name;
        bool acting;
        std::function<void()> change;
        const char *failure; // a part of the one failure expected; none when null
        bool onlySaves = false; // told nothing but a save
    };
    const QString classFile = QStringLiteral("Classes/Demo Class.xml");
    const Case cases[] = {
        {"a session removed behind Pollix's back", true, [] { QFile::remove(firstSession()); },
         "the session Quiz/Demo Quiz, week "},
        {"a session deleted by Pollix", true, [] { TovQuizXmlDatabase().deleteQuizWithName(firstSession()); }, nullptr},
        {"a session deleted by Pollix while no step acts", false,
         [] { TovQuizXmlDatabase().deleteQuizWithName(firstSession()); }, "the session Quiz/Demo Quiz, week "},
        {"the sessions cleared in Data Management", true, [] { zipHelper().clearSession(); }, nullptr},
        {"a student deleted from the class and the roster", true,
         [] { RosterEdits::deleteStudent(DemoData::studentID(1), demoClass()); }, nullptr},
        {"a student taken out of the class", true,
         [] { RosterEdits::removeFromClass({DemoData::studentID(2)}, demoClass()); }, nullptr},
        {"a student given another ID", true,
         [] {
             RosterEdits::StudentSave save;
             save.classNo = demoClass();
             save.adding = false;
             save.oldID = DemoData::studentID(3);
             for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(save.classNo))
                 if (s.id() == save.oldID)
                     save.record = s;
             save.record.setId(QStringLiteral("S903"));
             RosterEdits::saveStudent(save);
         },
         nullptr},
        {"the class renamed", true,
         [] { TovClassXmlDatabase::sharedClassUI()->updateClassWithNo(demoClass(), QStringLiteral("Renamed")); }, nullptr},
        {"a student dropped from the class file behind Pollix's back", true,
         [classFile] { rewrite(DataFolderLayout::dataFolder() + QLatin1Char('/') + classFile, "<ID>S004</ID>", "<ID></ID>"); },
         "the student s004 of Classes/Demo Class.xml"},
        {"a session file that no longer reads", true, [] { rewrite(firstSession(), "</Session>", "</Sess"); },
         "no longer reads"},
        {"a session saved again by Pollix", true, [] { retitleFirstSession(); }, nullptr, true},
        {"a session saved again by Pollix while no step acts", false, [] { retitleFirstSession(); }, nullptr, true},
        {"a session emptied into one that reads, behind Pollix's back", true,
         [] { writeOver(firstSession(), "<Session></Session>"); }, "holds what no save of Pollix's wrote there"},
        {"a session saved by Pollix, then rewritten behind its back", true,
         [] {
             retitleFirstSession();
             rewrite(firstSession(), "Retitled", "Changed!");
         },
         "the session Quiz/Demo Quiz, week "},
        {"a class file rewritten behind Pollix's back, its students kept", true,
         [classFile] { rewrite(DataFolderLayout::dataFolder() + QLatin1Char('/') + classFile, "<ID>S004</ID>", "<ID>S004</ID> "); },
         "the class Classes/Demo Class.xml holds what no save"},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = home() + QStringLiteral("case-%1").arg(++n);
        startOn(folder);
        QString why;
        ASSERT_FALSE(DemoData::ensure(folder, QString(), &why).isEmpty()) << why.toStdString();
        ASSERT_TRUE(DemoData::ensureSessions(&why)) << why.toStdString();
        bool acting = false;
        RecordWatch watch([&acting] { return acting; });
        ASSERT_TRUE(watch.check().failures.isEmpty());
        acting = c.acting;
        c.change();
        acting = false;
        const RecordWatch::Findings findings = watch.check();
        if (!c.failure) {
            EXPECT_TRUE(findings.failures.isEmpty()) << findings.failures.join(QLatin1Char('\n')).toStdString();
            EXPECT_FALSE((c.onlySaves ? findings.saves : findings.removals).isEmpty());
        } else {
            ASSERT_EQ(findings.failures.size(), 1) << findings.failures.join(QLatin1Char('\n')).toStdString();
            EXPECT_TRUE(findings.failures.first().contains(QLatin1String(c.failure)))
                << findings.failures.first().toStdString();
        }
        // Named once: the next census holds what is left.
        EXPECT_TRUE(watch.check().failures.isEmpty());
    }
}
