// Whatever stands under a name Pollix reads (a data file, a session, a question file, a deck, a
// roster, a gradebook backup, an archive to restore, a file going into a backup) may be a pipe, a
// folder or a sparse file claiming gigabytes, put there by another program or a copied folder.
// Each reader refuses it with a reason at once: none waits on a pipe or takes memory for the
// claimed size.
#include "core/app/ZipArchive.h"
#include "core/authoring/ExamPaperInfo.h"
#include "core/gradebook/GradebookBackupFile.h"
#include "core/roster/CSVOperator.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovSessionXmlParsedResult.h"
#include "platform/OpcPackage.h"
#include "platform/RegularFile.h"
#include "support/OrdinaryUser.h"
#include "support/PollixTest.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

#include <pugixml.hpp>

namespace {
// A reader: whether it took the file, and the reason it gave when it did not.
using Reader = std::function<bool(const QString &path, QString *why)>;

const QList<std::pair<const char *, Reader>> &readers()
{
    static const QList<std::pair<const char *, Reader>> all{
        {"a data file",
         [](const QString &path, QString *why) {
             pugi::xml_document doc;
             return GlobalFunctions::loadXmlFile(path, doc, why);
         }},
        {"a session's header",
         [](const QString &path, QString *why) {
             TovSessionXmlParsedResult session;
             const bool opened = session.parseXMLFile(path);
             *why = session.damage();
             return opened;
         }},
        {"a question file",
         [](const QString &path, QString *why) { return ExamPaperInfo::unarchiveObjectWithFile(path, why) != nullptr; }},
        {"a deck",
         [](const QString &path, QString *why) {
             OpcPackage package;
             return package.loadFile(path, why);
         }},
        {"a roster",
         [](const QString &path, QString *why) {
             CSVOperator csv;
             QString text;
             return csv.loadCSVFrom(path, &text, why);
         }},
        {"a gradebook backup",
         [](const QString &path, QString *why) { return GradebookBackupFile::read(path, nullptr, why).has_value(); }},
        {"an archive to restore",
         [](const QString &path, QString *why) {
             ZipArchive zip;
             return zip.UnzipOpenFile(path, why);
         }},
        {"a file going into a backup",
         [](const QString &path, QString *why) {
             ZipArchive zip;
             const QString archive = QFileInfo(path).absolutePath() + QStringLiteral("/out.zip");
             if (!zip.CreateZipFile2(archive, why))
                 return false;
             bool fileAtFault = false;
             const bool added = zip.addFileToZip(path, QStringLiteral("entry"), why, &fileAtFault);
             zip.CloseZipFile2();
             QFile::remove(archive);
             return added || !fileAtFault;
         }},
        {"a question file copied in",
         [](const QString &path, QString *why) {
             return TovQuizXmlDatabase().copyFileFrom(path, QFileInfo(path).absolutePath() + QStringLiteral("/copy.xml"), why);
         }},
    };
    return all;
}

class ReadByNameTest : public PollixTest
{
protected:
    // The reader's answer, or a failure when it still waits after a few seconds; a reader held by
    // the pipe is let go (a writer comes and goes) so the test ends either way.
    static std::optional<std::pair<bool, QString>> readSoon(const Reader &read, const QString &path)
    {
        auto answer = std::async(std::launch::async, [&] {
            QString why;
            const bool took = read(path, &why);
            return std::make_pair(took, why);
        });
        if (answer.wait_for(std::chrono::seconds(5)) == std::future_status::ready)
            return answer.get();
        const int writer = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        answer.wait();
        return std::nullopt;
    }
};
} // namespace

TEST_F(ReadByNameTest, APipeOrAFolderUnderTheNameIsRefusedAtOnceWithAReason)
{
    POLLIX_AS_ORDINARY_USER();
    const QString pipe = home() + QStringLiteral("Classes.xml");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString folder = home() + QStringLiteral("Quiz.xml");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const auto &[what, read] : readers()) {
        for (const QString &path : {pipe, folder}) {
            const auto answer = readSoon(read, path);
            ASSERT_TRUE(answer) << what << " waited on " << path.toStdString();
            EXPECT_FALSE(answer->first) << what << " took " << path.toStdString();
            EXPECT_FALSE(answer->second.isEmpty()) << what << " gave no reason for " << path.toStdString();
        }
    }
    // The reason a teacher reads names what is wrong.
    QString why;
    pugi::xml_document doc;
    EXPECT_FALSE(GlobalFunctions::loadXmlFile(pipe, doc, &why));
    EXPECT_EQ(why, QStringLiteral("it is no regular file"));
    EXPECT_FALSE(GlobalFunctions::loadXmlFile(folder, doc, &why));
    EXPECT_EQ(why, QStringLiteral("it is a folder"));
}

TEST_F(ReadByNameTest, AFileClaimingGigabytesIsRefusedByItsSizeWithoutBeingReadWhole)
{
    const QString huge = home() + QStringLiteral("Session.xml");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(qint64(64) << 30)) << f.errorString().toStdString();
    }
    for (const auto &[what, read] : readers()) {
        // A session's header is read as a stream and stops at the first element it cannot find.
        if (QByteArray(what) == "a session's header")
            continue;
        const auto answer = readSoon(read, huge);
        ASSERT_TRUE(answer) << what << " still reads the 64 GB file";
        EXPECT_FALSE(answer->first) << what;
    }
    QString why;
    pugi::xml_document doc;
    EXPECT_FALSE(GlobalFunctions::loadXmlFile(huge, doc, &why));
    EXPECT_EQ(why, QStringLiteral("it is larger than 1024 MB"));
}

TEST_F(ReadByNameTest, ALinkToARegularFileIsStillRead)
{
    // A teacher may keep a file elsewhere and link it in: only what the link reaches is judged.
    const QString target = writeFile(QStringLiteral("elsewhere/Subjects.xml"), "<Subjects><Subject/></Subjects>");
    const QString link = home() + QStringLiteral("Subjects.xml");
    ASSERT_TRUE(QFile::link(target, link));
    pugi::xml_document doc;
    QString why;
    EXPECT_TRUE(GlobalFunctions::loadXmlFile(link, doc, &why)) << why.toStdString();
    EXPECT_STREQ(doc.document_element().name(), "Subjects");
    EXPECT_EQ(RegularFile::readAll(link, &why, 10), std::nullopt);
    EXPECT_EQ(why, QStringLiteral("it is larger than 10 bytes"));
}
