#include "../gradebook/GradebookTestBase.h"

#include "core/roster/RosterEdits.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "support/AnotherProgram.h"
#include "support/GradebookSeeds.h"

#include <QFile>

#include <functional>

// A window's save rewrites a record from the copy the window showed. The file is read again for
// the save, so that what another program changed in other records stays; the record itself must
// still be as the window read it, or the other program's change to it would be lost to the copy.
namespace {
constexpr char kChanged[] = "was changed by another program since Pollix read it";

class RecordAsReadTest : public GradebookTestBase
{
protected:
    static StudentEntity student(const QString &id, const QString &first)
    {
        StudentEntity s;
        s.setId(id);
        s.setFirstName(first);
        s.setLastName(QStringLiteral("Lee"));
        s.setDeviceNo(id.mid(1).toInt());
        s.setGroupNo(1);
        return s;
    }
    // The student editor's save of a student of classNo, from the student as read.
    static RosterEdits::Result saveStudent(const RosterEdits::StudentRead &read, int classNo, const QString &id,
                                           const QString &newFirstName)
    {
        RosterEdits::StudentSave save;
        save.record = read.student.value_or(StudentEntity());
        save.record.setFirstName(newFirstName);
        save.classNo = classNo;
        save.adding = false;
        save.oldID = id;
        save.asRead = read.records;
        return RosterEdits::saveStudent(save);
    }
};

} // namespace

// Each store whose save rewrites a record a window read: another program's change to that very
// record since (in a field the teacher did not touch) fails the save, saying so, and the other
// program's file stays byte for byte; its change to another record does not stop the save, and
// stays beside it.
TEST_F(RecordAsReadTest, ARecordChangedSinceTheWindowReadItIsNotSavedOver)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    auto *roster = TovStudentRoster::sharedUI();
    const int c1 = classes->addClassWithName("8C");
    const int c2 = classes->addClassWithName("9A");
    const QList<StudentEntity> three{student("S1", "Ann"), student("S2", "Bo"), student("S3", "Cy")};
    ASSERT_TRUE(roster->addSomeStudentsToRoster(three));
    ASSERT_TRUE(classes->addSomeStudents(three, c1));
    ASSERT_TRUE(classes->addStudentWithData(student("S3", "Cy"), c2));
    ASSERT_TRUE(classes->addStudentWithData(student("S4", "Di"), c2)); // in no roster
    ASSERT_TRUE(roster->addStudentWithData(student("S5", "Eve")));
    ASSERT_TRUE(classes->addStudentWithData(student("S5", "Eve"), c1));
    const QByteArray rosterBytes = readFile(roster->studentRosterFilePath());
    const qsizetype s5At = rosterBytes.indexOf("<Student><ID>S5</ID>");
    const QByteArray s5InRoster = rosterBytes.mid(s5At, rosterBytes.indexOf("</Student>", s5At) + 10 - s5At);

    TeacherEntity mary;
    mary.setFirstName("Mary");
    mary.setLastName("Smith");
    mary.setTitle("Dr");
    ASSERT_TRUE(TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(mary));
    PeriodEntity term;
    term.setTitle("Term 1");
    term.setDateFrom("2012-09-01");
    term.setDateTo("2013-01-31");
    ASSERT_GT(TovPeriodXmlDatabase::sharedUI()->addWithData(term), 0);
    PeriodEntity term2 = term;
    term2.setTitle("Term 2");
    term2.setDateFrom("2013-02-01");
    term2.setDateTo("2013-06-30");
    ASSERT_GT(TovPeriodXmlDatabase::sharedUI()->addWithData(term2), 0);
    LetterGradeEntity scale = GradebookSeeds::twoLetterScale("Main");
    scale.setClassName("7A");
    ASSERT_GT(TovGradeLetterXmlDatabase::sharedUI()->addWithData(scale), 0);
    SessionTypeInWeight exam;
    exam.setSessionTypeNo(2);
    exam.setIsSelect(true);
    exam.setWeight(60);
    SessionTypeEntity quizType;
    quizType.setName("Quiz");
    SessionTypeInWeight quiz;
    quiz.setSessionTypeNo(TovWeightAndSessionTypeXmlDatabase::sharedUI()->addSessionTypeWithData(quizType));
    quiz.setIsSelect(true);
    quiz.setWeight(40);
    WeightEntity weights;
    weights.setTitle("Main");
    weights.setClassName("7A");
    weights.setSessionTypesInWeight({exam, quiz});
    ASSERT_GT(TovWeightAndSessionTypeXmlDatabase::sharedUI()->addWeightWithData(weights), 0);

    struct Row
    {
        const char *label;
        QString file;
        QByteArray from, to; // the other program's change of the record
        std::function<void()> read;
        std::function<bool(QString *)> save;
    };
    RosterEdits::StudentRead shown;
    const auto editorOn = [&](int classNo, const char *id) {
        return [&shown, classNo, id] { shown = RosterEdits::readStudent(classNo, id); };
    };
    const auto studentSaved = [&](int classNo, const char *id) {
        return [&shown, classNo, id](QString *why) {
            const RosterEdits::Result r = saveStudent(shown, classNo, id, "Bea");
            *why = r.errorText;
            return r.ok();
        };
    };
    const Row rows[] = {
        {"a student the roster holds otherwise", roster->studentRosterFilePath(), "<ID>S1</ID><Name>Ann",
         "<ID>S1</ID><Name>Anna", editorOn(c1, "S1"), studentSaved(c1, "S1")},
        {"a student the class holds otherwise", classes->pathByClassNo(c1), "<ID>S2</ID><FName>Bo</FName><LName>Lee",
         "<ID>S2</ID><FName>Bo</FName><LName>Leigh", editorOn(c1, "S2"), studentSaved(c1, "S2")},
        {"a student another class holds otherwise", classes->pathByClassNo(c2), "<ID>S3</ID><FName>Cy</FName><LName>Lee",
         "<ID>S3</ID><FName>Cy</FName><LName>Lyon", editorOn(c1, "S3"), studentSaved(c1, "S3")},
        {"a student the roster gained", roster->studentRosterFilePath(), "</Students>",
         "<Student><ID>S4</ID><Name>Dinah</Name></Student></Students>", editorOn(c2, "S4"), studentSaved(c2, "S4")},
        {"a student the roster lost", roster->studentRosterFilePath(), s5InRoster, "", editorOn(c1, "S5"),
         studentSaved(c1, "S5")},
        {"a teacher", data(TovTeacherXmlDatabase::kFileName), "<Title>Dr</Title>", "<Title>Prof</Title>",
         [] { TovTeacherXmlDatabase::sharedUI()->loadTeachers(); },
         [&](QString *why) {
             TeacherEntity t = mary;
             t.setPhone("123");
             return TovTeacherXmlDatabase::sharedUI()->updateTeacherWithData(1, t, why);
         }},
        {"a period", data(TovPeriodXmlDatabase::kFileName), "<PeriodTo>2013-01-31</PeriodTo>", "<PeriodTo>2013-02-28</PeriodTo>",
         [] { TovPeriodXmlDatabase::sharedUI()->loadPeriods(); },
         [&](QString *why) {
             PeriodEntity p = term;
             p.setNo(TovPeriodXmlDatabase::sharedUI()->periodByTitle("Term 1")->no());
             p.setDateFrom("2012-08-01");
             return TovPeriodXmlDatabase::sharedUI()->updateWithData(p, why);
         }},
        {"a letter scale", data(TovGradeLetterXmlDatabase::kFileName), "<PointFrom>50</PointFrom>", "<PointFrom>55</PointFrom>",
         [] { TovGradeLetterXmlDatabase::sharedUI()->loadGradeLetterList(); },
         [&](QString *why) {
             LetterGradeEntity s = scale;
             s.setNo(1);
             s.setClassName("7B");
             return TovGradeLetterXmlDatabase::sharedUI()->updateWithData(s, why);
         }},
        {"a weight list", data(TovWeightAndSessionTypeXmlDatabase::kFileName), "<Weight>60.000000</Weight>", "<Weight>70.000000</Weight>",
         [] { TovWeightAndSessionTypeXmlDatabase::sharedUI()->loadWeights(); },
         [&](QString *why) {
             WeightEntity w = weights;
             w.setNo(1);
             w.setClassName("7B");
             return TovWeightAndSessionTypeXmlDatabase::sharedUI()->updateWeightWithData(w, why);
         }},
        {"a weight list a session type's new name goes into", data(TovWeightAndSessionTypeXmlDatabase::kFileName),
         "<Weight>40.000000</Weight>", "<Weight>45.000000</Weight>",
         [] {
             TovWeightAndSessionTypeXmlDatabase::sharedUI()->loadSessionTypes();
             TovWeightAndSessionTypeXmlDatabase::sharedUI()->loadWeights();
         },
         [&](QString *why) {
             SessionTypeEntity renamed = quizType;
             renamed.setNo(quiz.sessionTypeNo());
             renamed.setName("Test");
             return TovWeightAndSessionTypeXmlDatabase::sharedUI()->updateSessionTypeWithData(renamed, why);
         }},
    };
    for (const Row &row : rows) {
        row.read();
        const QByteArray theirs = AnotherProgram::changeInPlace(row.file, row.from, row.to);
        QString why;
        EXPECT_FALSE(row.save(&why)) << row.label;
        EXPECT_TRUE(why.contains(kChanged)) << row.label << ": " << why.toStdString();
        EXPECT_EQ(readFile(row.file), theirs) << row.label;
    }

    // Read again, each record saves; the other program's changes stay.
    const RosterEdits::StudentRead s2 = RosterEdits::readStudent(c1, "S2");
    shown = RosterEdits::readStudent(c1, "S1");
    QString why;
    ASSERT_TRUE(studentSaved(c1, "S1")(&why)) << why.toStdString();
    EXPECT_EQ(roster->getAllStudents()->at(0).firstName(), "Bea");
    EXPECT_EQ(classes->getStudentListByClassNo(c1).at(1).lastName(), "Leigh");
    EXPECT_EQ(classes->getStudentListByClassNo(c2).at(0).lastName(), "Lyon");

    // Another record changed since the read stays, and the save goes ahead.
    AnotherProgram::changeInPlace(classes->pathByClassNo(c1), "<ID>S3</ID><FName>Cy<", "<ID>S3</ID><FName>Cyd<");
    shown = s2;
    ASSERT_TRUE(studentSaved(c1, "S2")(&why)) << why.toStdString();
    EXPECT_EQ(classes->getStudentListByClassNo(c1).at(1).firstName(), "Bea");
    EXPECT_EQ(classes->getStudentListByClassNo(c1).at(2).firstName(), "Cyd");
    TovPeriodXmlDatabase::sharedUI()->loadPeriods();
    AnotherProgram::changeInPlace(data(TovPeriodXmlDatabase::kFileName), "<PeriodTo>2013-06-30</PeriodTo>", "<PeriodTo>2013-07-31</PeriodTo>");
    PeriodEntity p = *TovPeriodXmlDatabase::sharedUI()->periodByTitle("Term 1");
    p.setDateFrom("2012-08-01");
    ASSERT_TRUE(TovPeriodXmlDatabase::sharedUI()->updateWithData(p, &why)) << why.toStdString();
    EXPECT_TRUE(dataFile(TovPeriodXmlDatabase::kFileName).contains("<PeriodFrom>2012-08-01</PeriodFrom><PeriodTo>2013-02-28</PeriodTo>"));
    EXPECT_TRUE(dataFile(TovPeriodXmlDatabase::kFileName).contains("<PeriodTo>2013-07-31</PeriodTo>"));
}
