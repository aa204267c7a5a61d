// What the start reads back to finish earlier work (journals, keep notes, the record of unfinished
// work) may have been put there by anyone who could write the folder: a record that would reach
// outside the application folder touches nothing, stays where it is, and is named.
#include "StoreTestBase.h"

#include "core/store/DataRecovery.h"
#include "support/OrdinaryUser.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

namespace {
// Everything in and below folder, links and folders too, as a teacher would find it.
QMap<QString, QByteArray> everything(const QString &folder)
{
    QMap<QString, QByteArray> out;
    const QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        QByteArray what;
        if (fi.isSymLink())
            what = "link to " + fi.symLinkTarget().toUtf8();
        else if (fi.isDir())
            what = "folder";
        else if (QFile file(fi.filePath()); file.open(QIODevice::ReadOnly))
            what = file.readAll();
        out.insert(root.relativeFilePath(fi.filePath()), what);
    }
    return out;
}

void link(const QString &from, const QString &to)
{
    ASSERT_EQ(::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()), 0) << to.toStdString();
}

void symlink(const QString &target, const QString &at)
{
    ASSERT_TRUE(QFile::link(target, at)) << at.toStdString();
}

QByteArray encoded(const QString &name)
{
    return QUrl::toPercentEncoding(name);
}

class UntrustedRecordsTest : public StoreTestBase
{
protected:
    QString data() const { return home() + "Data/"; }
    // A journal of one step, as a change writes it.
    void journal(const QString &name, const char *direction, const QString &target, const QString &staged, const QString &kept)
    {
        writeFile("Data/" + name, "Pollix change journal 1\n" + QByteArray(direction) + "\n" + encoded(target) + " " +
                                      (staged.isEmpty() ? QByteArray("-") : encoded(staged)) + " " +
                                      (kept.isEmpty() ? QByteArray("-") : encoded(kept)) + "\nend\n");
    }
};
} // namespace

TEST_F(UntrustedRecordsTest, RecordsThatReachOutsideTheApplicationFolderTouchNothingStayAndAreNamed)
{
    POLLIX_AS_ORDINARY_USER();
    // The folder watched: a teacher's files elsewhere, named as a change's side files would be.
    QTemporaryDir watchedDir;
    const QString watched = watchedDir.path();
    for (const char *name : {"victim.xml", "gone.xml", "inner/report.xml", "b.zip.part-12345678"})
        ASSERT_TRUE(QDir().mkpath(QFileInfo(watched + "/" + name).absolutePath()));
    for (const char *name : {"victim.xml", "gone.xml", "inner/report.xml", "b.zip.part-12345678"}) {
        QFile f(watched + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("the teacher's ") + name);
    }
    QFile(watched + "/victim.xml.new-00000001").open(QIODevice::WriteOnly);
    link(watched + "/victim.xml", watched + "/victim.xml.old-00000001");
    link(watched + "/gone.xml", watched + "/gone.xml.old-00000002");
    const QMap<QString, QByteArray> before = everything(watched);

    writeFile("Data/Subjects.xml", "<Subjects/>");
    writeFile("Data/Classes/8C.xml", "<ClassRoom/>");
    const QString outside = QDir(data()).relativeFilePath(watched);
    // An absolute target, and one that leads out with "..".
    journal(".change-00000001.journal", "forward", watched + "/victim.xml", watched + "/victim.xml.new-00000001",
            watched + "/victim.xml.old-00000001");
    journal(".change-00000002.journal", "forward", outside + "/gone.xml", {}, outside + "/gone.xml.old-00000002");
    // A target through a link to the watched folder.
    symlink(watched, data() + "Link");
    journal(".change-00000003.journal", "forward", "Link/victim.xml", "Link/victim.xml.new-00000001",
            "Link/victim.xml.old-00000001");
    // Side files that are links: moved into place, the next save would write through them.
    symlink(watched + "/victim.xml", data() + "Subjects.xml.new-00000004");
    link(data() + "Subjects.xml", data() + "Subjects.xml.old-00000004");
    journal(".change-00000004.journal", "forward", "Subjects.xml", "Subjects.xml.new-00000004", "Subjects.xml.old-00000004");
    symlink(watched + "/victim.xml", data() + "Classes/8C.xml.old-00000005");
    journal(".change-00000005.journal", "back", "Classes/8C.xml", {}, "Classes/8C.xml.old-00000005");
    // A target that is a link (and its kept name a second link to that link).
    symlink(watched + "/gone.xml", data() + "Teachers.xml");
    link(data() + "Teachers.xml", data() + "Teachers.xml.old-00000006");
    journal(".change-00000006.journal", "forward", "Teachers.xml", {}, "Teachers.xml.old-00000006");
    // A swap whose restore folder is a link: removing it would empty what it leads to.
    symlink(watched + "/inner", home() + "Data.restore-aBc123");
    ASSERT_TRUE(QDir().mkpath(home() + "Data.old-dEf456"));
    writeFile(".Data.swap-00000007.journal", "Pollix folder swap 1\nData\nData.restore-aBc123\nData.old-dEf456\nend\n");
    // Keep notes that send a restore's folder out of the application folder, or are links.
    writeFile("Data.old-gHi789/Subjects.xml", "<Subjects/>");
    writeFile("Data.old-gHi789/.kept-as", (watched + "/taken").toUtf8());
    writeFile("Data.old-jKl012/Subjects.xml", "<Subjects/>");
    writeFile("Data.old-mNo345/Subjects.xml", "<Subjects/>");
    writeFile("Data.old-mNo345/.kept-as", "../../taken");
    symlink(watched + "/victim.xml", home() + "Data.old-jKl012/.kept-as");
    // Work noted as unfinished: a part file reached through a link, and a file of no part name.
    symlink(watched, home() + "Out");
    const QByteArray work = "999999999\t" + QFileInfo(home()).canonicalFilePath().toUtf8() + "/Out/b.zip.part-12345678\n999999999\t" + watched.toUtf8() +
                            "/victim.xml\n";
    writeFile(".unfinished-work", work);
    const QMap<QString, QByteArray> records = everything(home());

    startOn(home());
    QString why;
    EXPECT_FALSE(DataRecovery::run(&why));
    // The files a journal would have put links in place of are saved as usual.
    EXPECT_TRUE(GlobalFunctions::createQXmlFileAtPath(data() + "Subjects.xml", "<Subjects>saved</Subjects>"));
    EXPECT_TRUE(GlobalFunctions::createQXmlFileAtPath(data() + "Classes/8C.xml", "<ClassRoom>saved</ClassRoom>"));

    EXPECT_EQ(everything(watched), before) << "the watched folder changed";
    QMap<QString, QByteArray> now = everything(home());
    EXPECT_EQ(now.take("Data/Subjects.xml"), "<Subjects>saved</Subjects>");
    EXPECT_EQ(now.take("Data/Classes/8C.xml"), "<ClassRoom>saved</ClassRoom>");
    QMap<QString, QByteArray> expected = records;
    expected.remove("Data/Subjects.xml");
    expected.remove("Data/Classes/8C.xml");
    EXPECT_EQ(now, expected) << "every record stays where it is";

    const std::pair<const char *, const char *> named[] = {
        {".change-00000001.journal", "is no name inside its folder"},
        {".change-00000002.journal", "leads out of its folder"},
        {".change-00000003.journal", "Link, which is a symbolic link"},
        {".change-00000004.journal", "Subjects.xml.new-00000004 is a symbolic link"},
        {".change-00000005.journal", "Classes/8C.xml.old-00000005 is a symbolic link"},
        {".change-00000006.journal", "Teachers.xml is a symbolic link"},
        {".Data.swap-00000007.journal", "Data.restore-aBc123 is a symbolic link"},
        {"Data.old-gHi789", "is no name inside its folder"},
        {"Data.old-jKl012", "it is a symbolic link"},
        {"Data.old-mNo345", "leads out of its folder"},
        {"Out/b.zip.part-12345678", "Out, which is a symbolic link"},
        {"victim.xml is no part file", ".unfinished-work"},
    };
    for (const auto &[record, reason] : named) {
        const qsizetype at = why.indexOf(QLatin1String(record));
        ASSERT_GE(at, 0) << record << " is not named in: " << why.toStdString();
        const QString line = why.mid(why.lastIndexOf(QLatin1Char('\n'), at) + 1).section(QLatin1Char('\n'), 0, 0);
        EXPECT_TRUE(line.contains(QLatin1String(reason))) << record << " without its reason: " << line.toStdString();
    }
}

TEST_F(UntrustedRecordsTest, WhatAnEarlierPollixNotedIsStillFollowed)
{
    // A keep note with the whole path of its folder in Backups, as earlier versions wrote it.
    ASSERT_TRUE(QDir(home()).mkpath("Backups"));
    const QString kept = home() + "Backups/Before restore 2024-05-01 14-07-09";
    writeFile("Data.old-aBc123/Subjects.xml", "<Subjects/>");
    writeFile("Data.old-aBc123/.kept-as", kept.toUtf8());
    writeFile("Data/Subjects.xml", "<Subjects/>");
    // Unfinished work: a backup's part file and a restore's (empty) folder, killed while they were
    // made.
    writeFile("Out/b.zip.part-0badf00d", "part of an archive");
    writeFile(".unfinished-work", "999999999\t" + home().toUtf8() + "Out/b.zip.part-0badf00d\n999999999\t" + home().toUtf8() +
                                      "Data.restore-dEf456\n");
    ASSERT_TRUE(QDir(home()).mkpath("Data.restore-dEf456"));

    startOn(home());
    QString why;
    EXPECT_FALSE(DataRecovery::run(&why));
    QMap<QString, QByteArray> keptNow = everything(kept);
    EXPECT_EQ(keptNow.take(".pollix-kept").left(19), "Pollix kept folder ");
    EXPECT_EQ(keptNow, (QMap<QString, QByteArray>{{"Subjects.xml", "<Subjects/>"}}));
    // Its line says nothing of which file the backup made: the file stays, and is named.
    EXPECT_TRUE(QFileInfo::exists(home() + "Out/b.zip.part-0badf00d"));
    EXPECT_TRUE(why.contains("b.zip.part-0badf00d was noted by an earlier version of Pollix")) << why.toStdString();
    EXPECT_EQ(QDir(home()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              (QStringList{".unfinished-work", "Backups", "Data", "Out"}));
}
