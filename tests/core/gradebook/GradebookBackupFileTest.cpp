#include "GradebookTestBase.h"

#include "core/gradebook/GradebookBackupFile.h"
#include "core/gradebook/TovGradeSessionsXmlDatabase.h"
#include "core/gradebook/TovPeriodXmlDatabase.h"

#include <QFile>

namespace {
using Backup = GradebookBackupFile::Backup;

CourseGradeDetail detail(const QString &id, const QString &name, float mark, const QString &letter)
{
    CourseGradeDetail d;
    d.setStudentID(id);
    d.setStudentName(name);
    d.setMark(mark);
    d.setLetterGrade(letter);
    return d;
}

CourseGradeEntity grade(const QString &c, const QString &s, const QString &t, const QList<CourseGradeDetail> &details)
{
    CourseGradeEntity g;
    g.setClassName(c);
    g.setSubjectName(s);
    g.setTeacherName(t);
    g.setAllGradeDetails(details);
    return g;
}

// The backup of the golden case: Fall 2012-09-01..2013-01-31 with 7A Maths (two students) and
// 8B Art (none).
Backup twoGrades()
{
    Backup b;
    b.period.setTitle("Fall");
    b.period.setDateFrom("2012-09-01");
    b.period.setDateTo("2013-01-31");
    b.grades << grade("7A", "Maths", "Kim", {detail("S001", "Ann Lee", 87.5f, "B+"), detail("S002", "Bo", 0.0f, "None")})
             << grade("8B", "Art", "Lee", {});
    for (CourseGradeEntity &g : b.grades)
        g.setPeriod(b.period);
    return b;
}

QStringList describe(const QList<CourseGradeEntity> &grades)
{
    QStringList out;
    for (const CourseGradeEntity &g : grades) {
        QStringList details;
        for (const CourseGradeDetail &d : g.allGradeDetails())
            details << QStringLiteral("%1 %2 %3 %4").arg(d.studentID(), d.studentName()).arg(double(d.mark())).arg(d.letterGrade());
        out << QStringLiteral("%1/%2/%3 %4 [%5]").arg(g.className(), g.subjectName(), g.teacherName(),
                                                       g.period().unique_title(), details.join(", "));
    }
    return out;
}

class GradebookBackupFileTest : public GradebookTestBase
{
protected:
    static TovGradeSessionsXmlDatabase *grades() { return TovGradeSessionsXmlDatabase::sharedUI(); }
    static TovPeriodXmlDatabase *periods() { return TovPeriodXmlDatabase::sharedUI(); }
};
} // namespace

TEST_F(GradebookBackupFileTest, TheFileIsLaidOutRecordByRecordInLittleEndian)
{
    const std::optional<QByteArray> bytes = GradebookBackupFile::encode(twoGrades());
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, golden("backup-two-grades", "expected.gbd"));

    const qsizetype firstDetail = 29 + 73 + 4 + 64 + 228 + 4;
    EXPECT_EQ(bytes->mid(28, 1), QByteArray(1, '\0'));
    EXPECT_EQ(bytes->mid(29 + 73, 4), QByteArray("\x02\x00\x00\x00", 4));
    EXPECT_EQ(bytes->mid(firstDetail + 64, 12), QByteArray("\xd0\x07\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00", 12));
    // 87.5 is 0x42af0000.
    EXPECT_EQ(bytes->mid(firstDetail + 320, 4), QByteArray("\x00\x00\xaf\x42", 4));

    const std::optional<Backup> back = GradebookBackupFile::decode(*bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->period.unique_title(), "Fall(2012-09-01~2013-01-31)");
    EXPECT_EQ(describe(back->grades), describe(twoGrades().grades));
}

TEST_F(GradebookBackupFileTest, TextsThatIdentifyARecordMustFitAndNamesAreCutBetweenCharacters)
{
    Backup b = twoGrades();
    b.grades[0].allGradeDetails()[0].setStudentID("S0123456789AB");
    QString why;
    EXPECT_FALSE(GradebookBackupFile::encode(b, &why));
    EXPECT_TRUE(why.contains("S0123456789AB"));

    b = twoGrades();
    // 24 two-byte letters and a three-byte one: the last does not fit into 49 bytes whole.
    const QString name = QString(24, QChar(0x00e9)) + QChar(0x20ac);
    b.grades[0].allGradeDetails()[0].setStudentName(name);
    const std::optional<Backup> back = GradebookBackupFile::decode(*GradebookBackupFile::encode(b));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->grades.at(0).allGradeDetails().at(0).studentName(), QString(24, QChar(0x00e9)));
}

TEST_F(GradebookBackupFileTest, DamagedOrForeignFilesAreRefusedWholeBeforeAnythingIsStored)
{
    const QByteArray good = *GradebookBackupFile::encode(twoGrades());
    GradebookBackupFile::ReadError error = GradebookBackupFile::ReadError::None;
    QString why;

    QByteArray foreign = good;
    foreign[28] = ' ';
    EXPECT_FALSE(GradebookBackupFile::decode(foreign, &error));
    EXPECT_EQ(error, GradebookBackupFile::ReadError::NotABackup);

    // Cut anywhere inside the records.
    for (const qsizetype size : {qsizetype(29), qsizetype(60), qsizetype(105), good.size() - 500, good.size() - 1}) {
        EXPECT_FALSE(GradebookBackupFile::decode(good.left(size), &error, &why)) << size;
        EXPECT_EQ(error, GradebookBackupFile::ReadError::Damaged) << size;
        EXPECT_FALSE(why.isEmpty());
    }
    // Counts the rest of the file cannot hold.
    QByteArray hugeN = good;
    hugeN.replace(29 + 73, 4, QByteArray("\xff\xff\xff\x7f", 4));
    EXPECT_FALSE(GradebookBackupFile::decode(hugeN, &error, &why));
    QByteArray negativeM = good;
    negativeM.replace(29 + 73 + 4 + 64 + 228, 4, QByteArray("\xff\xff\xff\xff", 4));
    EXPECT_FALSE(GradebookBackupFile::decode(negativeM, &error));

    const QString path = home() + "cut.gbd";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(good.left(good.size() - 10));
    f.close();
    EXPECT_FALSE(GradebookBackupFile::read(path, &error));
    EXPECT_FALSE(GradebookBackupFile::read(home() + "none.gbd", &error, &why));
    EXPECT_EQ(error, GradebookBackupFile::ReadError::CannotOpen);
    EXPECT_TRUE(grades()->courseGradeList().isEmpty());
    EXPECT_TRUE(periods()->periodList().isEmpty());
}

TEST_F(GradebookBackupFileTest, ImportAddsThePeriodAndAsksBeforeEachReplace)
{
    Backup b = twoGrades();
    b.grades << grade("9C", "Maths", "Kim", {detail("S009", "Cy", 50.0f, "F")});
    for (CourseGradeEntity &g : b.grades)
        g.setPeriod(b.period);
    int asked = 0;
    EXPECT_EQ(GradebookBackupFile::storeBackup(b, [&](const CourseGradeEntity &) { return ++asked, true; }),
              GradebookBackupFile::StoreResult::Done);
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(periods()->periodList().size(), 1);
    EXPECT_EQ(periods()->periodList().at(0).unique_title(), "Fall(2012-09-01~2013-01-31)");
    EXPECT_EQ(grades()->courseGradeList().size(), 3);

    // Again, with changed marks: the second question is answered No; the first course grade is
    // replaced, the others stay as they were.
    for (CourseGradeEntity &g : b.grades)
        for (CourseGradeDetail &d : g.allGradeDetails())
            d.setMark(99.0f);
    QStringList questions;
    EXPECT_EQ(GradebookBackupFile::storeBackup(b,
                                               [&](const CourseGradeEntity &g) {
                                                   questions << g.className();
                                                   return questions.size() == 1;
                                               }),
              GradebookBackupFile::StoreResult::Stopped);
    EXPECT_EQ(questions, (QStringList{"7A", "8B"}));
    EXPECT_EQ(periods()->periodList().size(), 1);
    grades()->loadGradeSessionList();
    QList<float> marks;
    for (const CourseGradeEntity &g : grades()->courseGradeList())
        if (!g.allGradeDetails().isEmpty())
            marks << g.allGradeDetails().at(0).mark();
    EXPECT_EQ(marks, (QList<float>{50.0f, 99.0f}));

    // Export gathers each subject once, whatever the class and teacher.
    const std::optional<Backup> out = GradebookBackupFile::gatherForExport("FALL(2012-09-01~2013-01-31)",
                                                                           {"Maths", "Maths"});
    ASSERT_TRUE(out);
    EXPECT_EQ(out->grades.size(), 2);

    failWritesTo("CourseGrade.xml");
    QString why;
    Backup fresh = twoGrades();
    fresh.grades[0].setClassName("10D");
    EXPECT_EQ(GradebookBackupFile::storeBackup(fresh, [](const CourseGradeEntity &) { return true; }, &why),
              GradebookBackupFile::StoreResult::Failed);
    EXPECT_FALSE(why.isEmpty());
}
