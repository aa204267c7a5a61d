#include "GradebookTestBase.h"

#include "core/gradebook/GradebookBackupFile.h"
#include "core/store/TovGradeSessionsXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "platform/AtomicFileSet.h"
#include "support/SmallDisk.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>
#include <limits>

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

// Where the fields of the golden backup's first student lie.
constexpr qsizetype kFirstDetail = 29 + 73 + 4 + 64 + 228 + 4;

QByteArray withMark(QByteArray bytes, float mark)
{
    char raw[4];
    std::memcpy(raw, &mark, 4); // little-endian machines only, as the file is
    bytes.replace(kFirstDetail + 320, 4, QByteArray(raw, 4));
    return bytes;
}

class GradebookBackupFileTest : public GradebookTestBase
{
protected:
    void TearDown() override
    {
        AtomicFileSet::setMoveFailureHook({});
        GradebookTestBase::TearDown();
    }
    // A backup of a period this installation lacks, with a course grade that replaces a stored
    // one and one that is new; what the stores hold before it.
    Backup intoAStoredPeriod()
    {
        Backup stored = twoGrades();
        EXPECT_EQ(GradebookBackupFile::storeBackup(stored, [](const CourseGradeEntity &) { return true; }),
                  GradebookBackupFile::StoreResult::Done);
        Backup b;
        b.period.setTitle("Spring");
        b.period.setDateFrom("2013-02-01");
        b.period.setDateTo("2013-06-30");
        b.grades << grade("7A", "Maths", "Kim", {detail("S001", "Ann Lee", 91.0f, "A")});
        // Some 400 kB of course grades: more than the small disk of the test below holds.
        for (int i = 0; i < 3000; ++i)
            b.grades[0].allGradeDetails() << detail(QStringLiteral("S%1").arg(i + 100), "Someone Else", 50.0f, "F");
        b.grades << grade("8B", "Art", "Lee", {detail("S002", "Bo", 40.0f, "F")});
        for (CourseGradeEntity &g : b.grades)
            g.setPeriod(b.period);
        // And one of the stored period, to be replaced.
        CourseGradeEntity again = stored.grades.at(0);
        again.allGradeDetails()[0].setMark(12.0f);
        b.grades << again;
        return b;
    }
    // The stores on the disk and in memory, to compare before and after.
    std::string everything() const
    {
        QStringList out{QString::fromUtf8(dataFile("Periods.xml")), QString::fromUtf8(dataFile("CourseGrade.xml"))};
        for (const PeriodEntity &p : periods()->periodList())
            out << p.unique_title();
        out << describe(grades()->courseGradeList());
        return out.join('\n').toStdString();
    }

    // Another installation: a fresh, empty application folder with fresh stores.
    void moveToAnEmptyFolder()
    {
        TearDown();
        SetUp();
    }
    // Every stored mark with what identifies it, as the course-grade file holds it now.
    static std::string storedMarks()
    {
        grades()->loadGradeSessionList();
        QStringList out;
        for (const CourseGradeEntity &g : grades()->courseGradeList())
            for (const CourseGradeDetail &d : g.allGradeDetails()) {
                quint32 bits = 0;
                // Bit for bit, but for the sign of a zero: -0 and 0 are one mark.
                const float mark = d.mark() + 0.0f;
                std::memcpy(&bits, &mark, sizeof bits);
                out << QStringLiteral("%1/%2/%3/%4 %5 (%6)")
                           .arg(g.period().unique_title(), g.className(), g.subjectName(), d.studentID())
                           .arg(bits, 8, 16, QLatin1Char('0'))
                           .arg(double(mark));
            }
        out.sort();
        return out.join('\n').toStdString();
    }

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

TEST_F(GradebookBackupFileTest, MarksThatAreNoNumberAndTextsThatAreNotTextRefuseTheFile)
{
    const QByteArray good = *GradebookBackupFile::encode(twoGrades());
    GradebookBackupFile::ReadError error = GradebookBackupFile::ReadError::None;
    QString why;
    for (const float mark : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity()}) {
        EXPECT_FALSE(GradebookBackupFile::decode(withMark(good, mark), &error, &why)) << mark;
        EXPECT_EQ(error, GradebookBackupFile::ReadError::Invalid) << mark;
        EXPECT_TRUE(why.contains("student 1 of course grade 1")) << why.toStdString();
    }
    // Nor is such a mark written.
    Backup nan = twoGrades();
    nan.grades[0].allGradeDetails()[1].setMark(std::nanf(""));
    EXPECT_FALSE(GradebookBackupFile::encode(nan, &why));
    EXPECT_TRUE(why.contains("S002")) << why.toStdString();
    // Any finite mark is one: a rush quiz's deductions go below 0, raised points above 100.
    for (const float mark : {0.0f, 100.0f, -0.5f, -99.9f, 100.5f, 150.0f, 3.0e38f, -3.0e38f}) {
        const std::optional<Backup> back = GradebookBackupFile::decode(withMark(good, mark));
        ASSERT_TRUE(back) << mark;
        EXPECT_EQ(back->grades.at(0).allGradeDetails().at(0).mark(), mark);
    }

    // A byte that starts no UTF-8 character, a cut character, a field without its NUL.
    QByteArray badName = good;
    badName[kFirstDetail + 13 + 1] = char(0xff);
    QByteArray cutClass = good;
    cutClass.replace(29 + 73 + 4, 2, QByteArray("\xc3", 1) + QByteArray(1, '\0'));
    QByteArray noNul = good;
    noNul.replace(kFirstDetail + 324, 50, QByteArray(50, 'A'));
    QByteArray badTitle = good;
    badTitle[29 + 2] = char(0xc0);
    const std::pair<QByteArray, const char *> cases[] = {{badName, "the name of student 1 of course grade 1"},
                                                         {cutClass, "the class of course grade 1"},
                                                         {noNul, "the letter grade of student 1 of course grade 1"},
                                                         {badTitle, "the grading period's title"}};
    for (const auto &[bytes, field] : cases) {
        EXPECT_FALSE(GradebookBackupFile::decode(bytes, &error, &why)) << field;
        EXPECT_EQ(error, GradebookBackupFile::ReadError::Invalid);
        EXPECT_EQ(why, QStringLiteral("%1 is not valid text").arg(QLatin1String(field)));
    }

    // A period without a title or days of the calendar.
    Backup b = twoGrades();
    b.period.setDateTo("2013-02-30");
    EXPECT_FALSE(GradebookBackupFile::decode(*GradebookBackupFile::encode(b), &error, &why));
    EXPECT_EQ(error, GradebookBackupFile::ReadError::Invalid);
    b = twoGrades();
    b.period.setTitle("  ");
    EXPECT_FALSE(GradebookBackupFile::decode(*GradebookBackupFile::encode(b), &error, &why));

    // Refused on import before anything is stored.
    const QString path = home() + "bad.gbd";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(badName);
    f.close();
    EXPECT_FALSE(GradebookBackupFile::read(path, &error));
    EXPECT_TRUE(periods()->periodList().isEmpty());
    EXPECT_TRUE(grades()->courseGradeList().isEmpty());
}

TEST_F(GradebookBackupFileTest, ABackupIsStoredWholeOrNotAtAll)
{
    const Backup b = intoAStoredPeriod();
    const std::string before = everything();

    // The course grades cannot be put in place after the new period was: the period goes back.
    const QString courseGrades = QFileInfo(data("CourseGrade.xml")).absoluteFilePath();
    AtomicFileSet::setMoveFailureHook([&](const QString &p) { return p == courseGrades; });
    int asked = 0;
    QString why;
    EXPECT_EQ(GradebookBackupFile::storeBackup(b, [&](const CourseGradeEntity &) { return ++asked, true; }, &why),
              GradebookBackupFile::StoreResult::Failed);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(everything(), before);

    AtomicFileSet::setMoveFailureHook({});
    EXPECT_EQ(GradebookBackupFile::storeBackup(b, [](const CourseGradeEntity &) { return true; }),
              GradebookBackupFile::StoreResult::Done);
    EXPECT_EQ(periods()->periodList().size(), 2);
    EXPECT_EQ(grades()->courseGradeList().size(), 4);
    // On the disk as well: the replaced course grade last, with its new mark.
    grades()->loadGradeSessionList();
    ASSERT_EQ(grades()->courseGradeList().size(), 4);
    EXPECT_EQ(grades()->courseGradeList().last().period().title(), "Fall");
    EXPECT_EQ(grades()->courseGradeList().last().allGradeDetails().at(0).mark(), 12.0f);
}

TEST_F(GradebookBackupFileTest, ABackupTooBigForTheDiskLeavesBothStoresAsTheyWere)
{
    POLLIX_ON_SMALL_DISK(.kilobytes = 160);
    const Backup b = intoAStoredPeriod();
    const std::string before = everything();
    QString why;
    EXPECT_EQ(GradebookBackupFile::storeBackup(b, [](const CourseGradeEntity &) { return true; }, &why),
              GradebookBackupFile::StoreResult::Failed);
    // The new period fits; the course grades do not, so neither lands.
    EXPECT_TRUE(why.startsWith("CourseGrade.xml")) << why.toStdString();
    EXPECT_EQ(everything(), before);
    // Nothing is left beside the stores either.
    EXPECT_EQ(QDir(home() + "Data").entryList({"Periods.xml*", "CourseGrade.xml*"}, QDir::Files),
              (QStringList{"CourseGrade.xml", "Periods.xml"}));
}

TEST_F(GradebookBackupFileTest, AnyStoredMarkComesBackThroughAFileIntoAnEmptyFolder)
{
    QTemporaryDir outside;
    for (quint32 seed = 1; seed <= 25; ++seed) {
        if (seed > 1)
            moveToAnEmptyFolder();
        QRandomGenerator rng(seed);
        // Marks as course grades come out: one decimal, below 0 after a rush quiz's deductions,
        // above 100 after points were raised; and any finite float the store could hold.
        const auto mark = [&]() -> float {
            switch (rng.bounded(5)) {
            case 0:
                return -float(rng.bounded(10000)) / 10.0f;
            case 1:
                return 100.0f + float(rng.bounded(100000)) / 10.0f;
            case 2:
                return float(rng.bounded(100001)) / 1000.0f;
            case 3:
                return float(rng.generateDouble() * 2e6 - 1e6);
            default:
                for (;;) {
                    const quint32 bits = rng.generate();
                    float any = 0;
                    std::memcpy(&any, &bits, sizeof any);
                    if (std::isfinite(any))
                        return any;
                }
            }
        };
        PeriodEntity period;
        period.setTitle(QStringLiteral("Term %1").arg(seed));
        period.setDateFrom("2012-09-01");
        period.setDateTo("2013-01-31");
        const QStringList subjects{"Maths", "Art", "Music"};
        const int courseGrades = 1 + int(rng.bounded(4));
        for (int i = 0; i < courseGrades; ++i) {
            CourseGradeEntity g = grade(QStringLiteral("%1A").arg(i + 5), subjects.at(int(rng.bounded(3))), "Kim", {});
            g.setPeriod(period);
            const int students = int(rng.bounded(7));
            for (int k = 0; k < students; ++k)
                g.allGradeDetails() << detail(QStringLiteral("S%1").arg(k + 1), "Someone", mark(), "F");
            QString why;
            ASSERT_TRUE(grades()->addCourseGradeSession(g, &why)) << why.toStdString();
        }
        // The two marks of the examples are among them.
        CourseGradeEntity examples =
            grade("5A", "Science", "Kim", {detail("S1", "Ann", -99.9f, "F"), detail("S2", "Bo", 150.0f, "A")});
        examples.setPeriod(period);
        ASSERT_TRUE(grades()->addCourseGradeSession(examples));
        const std::string before = storedMarks();

        QString why;
        const std::optional<Backup> out =
            GradebookBackupFile::gatherForExport(period.unique_title(), subjects + QStringList{"Science"}, &why);
        ASSERT_TRUE(out) << why.toStdString();
        const QString file = outside.filePath(QStringLiteral("term%1.gbd").arg(seed));
        ASSERT_TRUE(GradebookBackupFile::write(file, *out, &why)) << "seed " << seed << ": " << why.toStdString();

        moveToAnEmptyFolder();
        GradebookBackupFile::ReadError error = GradebookBackupFile::ReadError::None;
        const std::optional<Backup> in = GradebookBackupFile::read(file, &error, &why);
        ASSERT_TRUE(in) << "seed " << seed << ": " << why.toStdString();
        ASSERT_EQ(GradebookBackupFile::storeBackup(*in, [](const CourseGradeEntity &) { return false; }, &why),
                  GradebookBackupFile::StoreResult::Done)
            << why.toStdString();
        EXPECT_EQ(storedMarks(), before) << "seed " << seed;
        EXPECT_NE(before.find("/5A/Science/S1 c2c7cccd (-99.9)"), std::string::npos) << before;
        EXPECT_NE(before.find("/5A/Science/S2 43160000 (150)"), std::string::npos) << before;
    }
}
