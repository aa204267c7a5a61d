#include "StoreTestBase.h"

#include "core/store/TovConfigXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "core/store/XMLControl.h"
#include "platform/Log.h"
#include "support/OrdinaryUser.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

using RosterStoreTest = StoreTestBase;
using ConfigStoreTest = StoreTestBase;
using ExamIdTest = StoreTestBase;

namespace {
StudentEntity rosterStudent(const QString &id, const QString &first, const QString &last)
{
    StudentEntity s;
    s.setId(id);
    s.setFirstName(first);
    s.setLastName(last);
    s.setDeviceNo(3);
    s.setGroupNo(2);
    s.setGender(2);
    s.setBirthday(QDateTime(QDate(2001, 5, 4), QTime(10, 0)));
    return s;
}
} // namespace

TEST_F(RosterStoreTest, FileIsCreatedAndStudentsRoundTrip)
{
    TovStudentRoster *roster = TovStudentRoster::sharedUI();
    const QString path = home() + "Data/StudentRoster.xml";
    ASSERT_TRUE(roster->getAllStudents().has_value());
    EXPECT_TRUE(roster->getAllStudents()->isEmpty());
    EXPECT_EQ(readFile(path), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ClassRoom><Students></Students></ClassRoom>");
    ASSERT_TRUE(roster->addStudentWithData(rosterStudent("S001", "Ann", "Lee")));
    EXPECT_EQ(readFile(path), golden("roster-one"));
    EXPECT_TRUE(roster->existStudentWithID("s001"));

    ASSERT_TRUE(roster->addStudentWithData(rosterStudent("X", "", "")));
    const QList<StudentEntity> all = *roster->getAllStudents();
    EXPECT_EQ(all[0].name(), "Ann Lee");
    EXPECT_EQ(all[1].name(), "Null");
    EXPECT_EQ(all[1].no(), 2);
    EXPECT_EQ(all[0].birthday().date(), QDate(2001, 5, 4));
}

TEST_F(RosterStoreTest, UpdateMovesNameLastAndDeleteTakesTheFirstOfEqualIds)
{
    TovStudentRoster *roster = TovStudentRoster::sharedUI();
    const QString path = home() + "Data/StudentRoster.xml";
    roster->addStudentWithData(rosterStudent("A", "One", "L"));
    roster->addStudentWithData(rosterStudent("A", "Two", "L"));
    EXPECT_TRUE(roster->updateStudentByID("a", rosterStudent("B", "Uno", "M")));
    EXPECT_TRUE(readFile(path).contains("<Gender>2</Gender><Name>Uno</Name></Student>"));
    QList<StudentEntity> all = *roster->getAllStudents();
    EXPECT_EQ(all[0].id(), "B");
    EXPECT_EQ(all[0].firstName(), "Uno");
    EXPECT_EQ(all[0].deviceNo(), 3);
    EXPECT_TRUE(roster->deleteStudentWithID("A"));
    all = *roster->getAllStudents();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0].firstName(), "Uno");

    const QByteArray before = readFile(path);
    EXPECT_FALSE(roster->deleteStudentWithID("nobody"));
    EXPECT_FALSE(roster->updateStudentWithData(rosterStudent("nobody", "", "")));
    EXPECT_EQ(readFile(path), before);
}

TEST_F(RosterStoreTest, BrokenRosterFailsEverywhere)
{
    writeFile("Data/StudentRoster.xml", "<ClassRoom></ClassRoom>");
    TovStudentRoster *roster = TovStudentRoster::sharedUI();
    EXPECT_FALSE(roster->getAllStudents().has_value());
    EXPECT_FALSE(roster->addStudentWithData(rosterStudent("A", "B", "C")));
    EXPECT_FALSE(roster->existStudentWithID("A"));
    EXPECT_FALSE(roster->addSomeStudentsToRoster({rosterStudent("A", "B", "C")}));
    EXPECT_EQ(readFile(home() + "Data/StudentRoster.xml"), "<ClassRoom></ClassRoom>");
}

namespace {
QStringList s_logged;
void keepLine(QtMsgType, const QMessageLogContext &, const QString &line)
{
    s_logged << line;
}
} // namespace

TEST_F(RosterStoreTest, ARosterThatIsNoFileIsRefusedWithTheReasonInTheLogAndLeftAsItIs)
{
    POLLIX_AS_ORDINARY_USER();
    const QString path = home() + "Data/StudentRoster.xml";
    ASSERT_TRUE(QDir().mkpath(home() + "Data"));
    const auto makeFifo = [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); };
    const auto makeFolder = [&] { ASSERT_TRUE(QDir().mkpath(path + "/inside")); };
    const auto makeDevice = [&] { ASSERT_TRUE(QFile::link("/dev/null", path)); };
    const auto makeHuge = [&] {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize((qint64(1) << 30) + 1));
    };
    const QList<std::tuple<const char *, std::function<void()>, QString>> cases{
        {"a pipe", makeFifo, "it is no regular file"},
        {"a folder", makeFolder, "it is a folder"},
        {"a device", makeDevice, "it is no regular file"},
        {"a file of 1 GB and a byte", makeHuge, "it is larger than 1024 MB"},
    };
    const auto previous = qInstallMessageHandler(keepLine);
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, true);
    for (const auto &[what, make, reason] : cases) {
        make();
        s_logged.clear();
        TovStudentRoster *roster = TovStudentRoster::sharedUI();
        EXPECT_FALSE(roster->getAllStudents().has_value()) << what;
        QString why;
        EXPECT_FALSE(roster->addStudentWithData(rosterStudent("A", "B", "C"), &why)) << what;
        EXPECT_EQ(why, reason) << what;
        EXPECT_FALSE(roster->beginUpdateStudents(&why)) << what;
        EXPECT_FALSE(roster->deleteStudentWithID("A", &why)) << what;
        const QString line = "Error occurs while reading student roster file: " + reason;
        EXPECT_EQ(s_logged.count(line), 4) << what << ": " << s_logged.join(" | ").toStdString();
        // Nothing was written in its place.
        const QFileInfo left(path);
        EXPECT_FALSE(left.isFile() && !left.isSymLink() && left.size() <= (qint64(1) << 30)) << what;
        QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
    }
    const_cast<QLoggingCategory &>(lcPollix()).setEnabled(QtInfoMsg, false);
    qInstallMessageHandler(previous);
}

TEST_F(RosterStoreTest, BatchWritesAtTheEndAndReportsFailure)
{
    TovStudentRoster *roster = TovStudentRoster::sharedUI();
    EXPECT_TRUE(roster->addSomeStudentsToRoster({rosterStudent("A", "1", ""), rosterStudent("B", "2", "")}));
    EXPECT_EQ(roster->getAllStudents()->size(), 2);
    failWritesTo(home() + "Data/StudentRoster.xml");
    EXPECT_FALSE(roster->addSomeStudentsToRoster({rosterStudent("C", "3", "")}));
    allowWrites();
    EXPECT_EQ(roster->getAllStudents()->size(), 2);
}

TEST_F(ConfigStoreTest, DefaultsAreWrittenAndRead)
{
    TovConfigXmlDatabase *config = TovConfigXmlDatabase::sharedConfigUI();
    EXPECT_EQ(readFile(home() + "config.xml"), golden("config-default"));
    ASSERT_EQ(config->audioList().size(), 3);
    EXPECT_EQ(config->audioList()[1].name(), "Start Answer");
    EXPECT_EQ(config->audioList()[1].state(), 0);
    EXPECT_EQ(config->getMouseValue(), 30);
    EXPECT_EQ(config->getSendQuestionState(), 1);
}

TEST_F(ConfigStoreTest, MissingPiecesOfTheFile)
{
    writeFile("config.xml", "<Config><MouseSetting>12</MouseSetting></Config>");
    TovConfigXmlDatabase *config = TovConfigXmlDatabase::sharedConfigUI();
    EXPECT_TRUE(config->audioList().isEmpty());
    EXPECT_EQ(config->getMouseValue(), 0);
    EXPECT_EQ(config->getSendQuestionState(), 0);

    writeFile("config.xml", "<Config><Music><Name>Enter Activity</Name></Music><SendQuestionFlag>abc</SendQuestionFlag></Config>");
    config->loadConfig();
    EXPECT_EQ(config->getMouseValue(), 30);
    EXPECT_EQ(config->getSendQuestionState(), 0);
    EXPECT_FALSE(readFile(home() + "config.xml").contains("MouseSetting"));
    EXPECT_TRUE(config->updateMouseSettionValue(44));
    EXPECT_TRUE(readFile(home() + "config.xml").contains("<MouseSetting>44</MouseSetting>"));
}

TEST_F(ConfigStoreTest, SoundsChangeOnlyUnderTheirExactName)
{
    TovConfigXmlDatabase *config = TovConfigXmlDatabase::sharedConfigUI();
    AudioConfigEntity sound = *config->musicByName("enter activity");
    EXPECT_EQ(sound.path(), home() + "Enter.WAV");
    sound.setState(1);
    sound.setPath("/x/ding.wav");
    sound.setName("enter activity");
    EXPECT_FALSE(config->updateMusic(sound));
    sound.setName("Clap");
    EXPECT_FALSE(config->updateMusic(sound));
    EXPECT_EQ(readFile(home() + "config.xml"), golden("config-default"));
    sound.setName("Enter Activity");
    EXPECT_TRUE(config->updateMusic(sound));
    EXPECT_EQ(config->musicByName("Enter Activity")->state(), 1);
    EXPECT_EQ(config->musicByName("Enter Activity")->path(), "/x/ding.wav");
}

TEST_F(ConfigStoreTest, FailedWritesKeepTheOldValues)
{
    TovConfigXmlDatabase *config = TovConfigXmlDatabase::sharedConfigUI();
    failWritesTo(home() + "config.xml");
    EXPECT_FALSE(config->updateSendQuestionState(0));
    EXPECT_EQ(config->getSendQuestionState(), 1);
    EXPECT_FALSE(config->updateMouseSettionValue(5));
    EXPECT_EQ(config->getMouseValue(), 30);
    AudioConfigEntity sound = *config->musicByName("Stop Answer");
    sound.setState(1);
    EXPECT_FALSE(config->updateMusic(sound));
    EXPECT_EQ(config->musicByName("Stop Answer")->state(), 0);
}

TEST_F(ExamIdTest, SequenceWrapsAfter9999)
{
    XMLControl *exam = XMLControl::sharedXMLUI();
    EXPECT_EQ(exam->getExamID(), 1);
    EXPECT_EQ(readFile(home() + "ExamID.xml"), golden("examid-1"));
    EXPECT_EQ(exam->getExamID(), 2);
    const std::pair<QByteArray, int> cases[] = {{"9998", 9999}, {"9999", 1}, {"12000", 1}, {"abc", 1}, {"", 1}, {"-5", -4}};
    for (const auto &[stored, next] : cases) {
        writeFile("ExamID.xml", "<Config><ExamID>" + stored + "</ExamID></Config>");
        EXPECT_EQ(exam->getExamID(), next) << stored.constData();
        EXPECT_TRUE(readFile(home() + "ExamID.xml").contains("<ExamID>" + QByteArray::number(next) + "</ExamID>"));
    }
}

TEST_F(ExamIdTest, FailuresHandOutNoNumber)
{
    XMLControl *exam = XMLControl::sharedXMLUI();
    writeFile("ExamID.xml", "<Config><ExamID>7</Exam");
    EXPECT_EQ(exam->getExamID(), std::nullopt);
    EXPECT_EQ(readFile(home() + "ExamID.xml"), "<Config><ExamID>7</Exam");
    writeFile("ExamID.xml", "<Config><ExamID>7</ExamID></Config>");
    failWritesTo(home() + "ExamID.xml");
    EXPECT_EQ(exam->getExamID(), std::nullopt);
    allowWrites();
    EXPECT_EQ(exam->getExamID(), 8);
}
