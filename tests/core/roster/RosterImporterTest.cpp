#include "core/base/CommonFunc.h"
#include "core/roster/ImportItemsForStudent.h"
#include "core/roster/ImportPreviewState.h"
#include "core/roster/RosterImporter.h"
#include "core/store/StoreTestBase.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "core/store/TovTeacherXmlDatabase.h"

#include <QFile>

#include <algorithm>

namespace {
QStringList record(const QString &id, const QString &first = "Ann", const QString &gender = "Male", const QString &device = "1")
{
    return {device, id, first, "Lee", "7A", "2", "2001-02-03", "", "", "", "", "", gender};
}

StudentEntity stored(const QString &id, const QString &first)
{
    StudentEntity s;
    s.setId(id);
    s.setFirstName(first);
    s.setLastName("Old");
    s.setBirthday(QDate(1999, 9, 9).startOfDay());
    return s;
}

void overwrite(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QStringList idsOf(const QList<StudentEntity> &students)
{
    QStringList ids;
    for (const StudentEntity &s : students)
        ids << s.id();
    return ids;
}
} // namespace

class RosterImporterTest : public StoreTestBase
{
protected:
    void SetUp() override
    {
        StoreTestBase::SetUp();
        classNo = TovClassXmlDatabase::sharedClassUI()->addClassWithName("7A");
        ASSERT_GT(classNo, 0);
        importer.setClassNoToImport(classNo, "7A");
        importer.setMaxStudentNumberAllowed(400);
        importer.onClassFull = [this](int limit) { fullAlerts << limit; };
        importer.onProgress = [this](int percent) { levels << percent; };
    }
    QList<StudentEntity> inClass() const { return TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo); }
    QList<StudentEntity> inRoster() const { return TovStudentRoster::sharedUI()->getAllStudents().value_or(QList<StudentEntity>()); }
    QStringList lostReasons() const
    {
        QStringList out;
        for (const RosterImporter::LostStudent &l : importer.studentsLost())
            out << l.student.studentID() + ": " + l.reason;
        return out;
    }

    int classNo = 0;
    RosterImporter importer;
    QList<int> fullAlerts;
    QList<int> levels;
};

TEST_F(RosterImporterTest, SpreadsheetFileGoesWholeIntoClassAndRoster)
{
    ImportPreviewState preview(ImportItemsForStudent(1).allImportItems());
    QString error;
    ASSERT_EQ(preview.loadFile(testDataPath("roster/import-spreadsheet/students-cp1252.csv"), &error,
                               CSVOperator::TextEncoding::Windows1252),
              0);
    ASSERT_EQ(preview.previewData().startRow(), 2) << "the heading row is left out";
    ASSERT_FALSE(preview.bHasError());
    EXPECT_TRUE(importer.importStudentsUsingPreviewResultData(RosterImporter::studentsFromRecords(preview.resultData())));
    EXPECT_TRUE(importer.studentsLost().isEmpty());
    EXPECT_EQ(readFile(TovClassXmlDatabase::sharedClassUI()->pathByClassNo(classNo)),
              testData("roster/import-spreadsheet/expected-class.xml"));
    const QList<StudentEntity> roster = inRoster();
    ASSERT_EQ(roster.size(), 3);
    EXPECT_EQ(roster.at(1).firstName(), QString::fromUtf8("José"));
    EXPECT_EQ(roster.at(2).lastName(), QString::fromUtf8("Øster"));
    EXPECT_EQ(roster.at(0).gender(), 2);
}

TEST_F(RosterImporterTest, FullClassTakesWhatFitsAndListsTheRestOnce)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    ASSERT_TRUE(classes->addStudentWithData(stored("K1", "Kim"), classNo));
    ASSERT_TRUE(classes->addStudentWithData(stored("K2", "Kai"), classNo));
    importer.setMaxStudentNumberAllowed(4);
    QList<QStringList> records;
    for (const QString id : {"N1", "N2", "N3", "N4", "N5"})
        records << record(id);
    EXPECT_FALSE(importer.importStudentsUsingPreviewResultData(RosterImporter::studentsFromRecords(records)));
    EXPECT_EQ(idsOf(inClass()), QStringList({"K1", "K2", "N1", "N2"}));
    EXPECT_EQ(fullAlerts, QList<int>{4}) << "the limit is told once";
    EXPECT_EQ(lostReasons(), QStringList({"N3: The class is full.", "N4: The class is full.", "N5: The class is full."}));
    EXPECT_EQ(importer.studentsLost().at(0).student.studentFullName(), "Ann Lee");
    EXPECT_TRUE(importer.failureText().isEmpty());
    EXPECT_EQ(levels, QList<int>({20, 40, 60, 80, 100}));
}

TEST_F(RosterImporterTest, AnIdIsOneStudentWhateverItsLetterCase)
{
    ASSERT_TRUE(TovStudentRoster::sharedUI()->addStudentWithData(stored("ABC", "Rosa")));
    ASSERT_TRUE(TovClassXmlDatabase::sharedClassUI()->addStudentWithData(stored("xyz", "Xena"), classNo));
    const QList<QStringList> records{record("abc", "New"), record("XYZ"), record("Abc"), record(""), record("q1")};
    EXPECT_FALSE(importer.importStudentsUsingPreviewResultData(RosterImporter::studentsFromRecords(records)));
    EXPECT_EQ(lostReasons(), QStringList({"XYZ: Already in this class.", "Abc: Already in this class.", ": No student ID."}));
    const QList<StudentEntity> klass = inClass();
    EXPECT_EQ(idsOf(klass), QStringList({"xyz", "abc", "q1"}));
    EXPECT_EQ(klass.at(1).firstName(), "New") << "the class takes the file's data";
    const QList<StudentEntity> roster = inRoster();
    EXPECT_EQ(idsOf(roster), QStringList({"ABC", "XYZ", "q1"}));
    EXPECT_EQ(roster.at(0).firstName(), "Rosa") << "the roster keeps its older data";
}

TEST_F(RosterImporterTest, AStoreThatFailsMeansNothingIsImported)
{
    const QList<StudentEntity> students = RosterImporter::studentsFromRecords({record("S1"), record("S2")});
    const QString classPath = TovClassXmlDatabase::sharedClassUI()->pathByClassNo(classNo);
    const QByteArray classBefore = readFile(classPath);
    ASSERT_TRUE(TovStudentRoster::sharedUI()->getAllStudents());
    const QString rosterPath = TovStudentRoster::sharedUI()->studentRosterFilePath();
    const QByteArray rosterBefore = readFile(rosterPath);

    // The class file cannot be written: the roster is not written either.
    failWritesTo(classPath);
    EXPECT_FALSE(importer.importStudentsUsingPreviewResultData(students));
    allowWrites();
    EXPECT_EQ(importer.failureText(), "The class file cannot be saved.");
    EXPECT_FALSE(importer.failureReason().isEmpty());
    EXPECT_EQ(lostReasons(), QStringList({"S1: The class file cannot be saved.", "S2: The class file cannot be saved."}));
    EXPECT_EQ(readFile(classPath), classBefore);
    EXPECT_EQ(readFile(rosterPath), rosterBefore);

    // The class file cannot be read.
    overwrite(classPath, "<ClassRoom><Students>");
    EXPECT_FALSE(importer.importStudentsUsingPreviewResultData(students));
    EXPECT_EQ(importer.failureText(), "The class file cannot be read.");
    EXPECT_EQ(importer.studentsLost().size(), 2);
    EXPECT_EQ(readFile(rosterPath), rosterBefore);

    // Only the roster cannot be written: the class is left as it was too.
    overwrite(classPath, classBefore);
    failWritesTo(rosterPath);
    EXPECT_FALSE(importer.importStudentsUsingPreviewResultData(students));
    allowWrites();
    EXPECT_FALSE(importer.classSaved());
    EXPECT_EQ(importer.failureText(), "The student roster cannot be saved.");
    EXPECT_EQ(lostReasons(), QStringList({"S1: The student roster cannot be saved.", "S2: The student roster cannot be saved."}));
    EXPECT_EQ(readFile(classPath), classBefore);
    EXPECT_EQ(readFile(rosterPath), rosterBefore);
}

TEST_F(RosterImporterTest, RecordsBecomeStudentsAndTeachersAsTyped)
{
    for (const QString male : {"Male", "male", "M", "m", "", " MALE "})
        EXPECT_EQ(RosterImporter::genderFromText(male), 1) << male.toStdString();
    for (const QString female : {"Female", "female", "F", "f", "FEMALE"})
        EXPECT_EQ(RosterImporter::genderFromText(female), 2) << female.toStdString();

    const StudentEntity s = RosterImporter::studentsFromRecords(
        {{"12", " S9 ", "", "Lee", "9Z", "7", "2004/2/29", "Monitor", "R", "A", "P", "E", "f"}}).at(0);
    EXPECT_EQ(s.deviceNo(), 12);
    EXPECT_EQ(s.id(), "S9");
    EXPECT_EQ(s.firstName(), "") << "no first name stays none, not the text Null";
    EXPECT_EQ(s.groupNo(), 7);
    EXPECT_EQ(s.birthday().date(), QDate(2004, 2, 29));
    EXPECT_EQ(QStringList({s.duty(), s.remark(), s.address(), s.telephone(), s.eMail()}),
              QStringList({"Monitor", "R", "A", "P", "E"}));
    EXPECT_EQ(s.gender(), 2);

    TeacherEntity lee;
    lee.setFirstName("Ann");
    lee.setLastName("Lee");
    ASSERT_TRUE(TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(lee));
    const QList<QStringList> teachers{{"1", "Ann", "Lee", "Dr", "", "", "F"},
                                      {"2", "Bo", "", "Mr", "", "", "M"},
                                      {"3", "Bo", "", "Sir", "", "", "M"},
                                      {"4", "", "", "", "", "", ""},
                                      {"5", "Sean", "O'Neil", "", "", "", "Female"}};
    RosterImporter teacherImport;
    EXPECT_FALSE(teacherImport.importTeachersUsingPreviewResultData(RosterImporter::teachersFromRecords(teachers)));
    QStringList lost;
    for (const RosterImporter::LostTeacher &l : teacherImport.teachersLost())
        lost << l.teacher.teacherName() + "/" + l.teacher.title() + ": " + l.reason;
    EXPECT_EQ(lost, QStringList({"Ann Lee/Dr: Already in the teacher list.", "Bo/Sir: Already in the teacher list.",
                                 "/: No teacher name."}));
    TovTeacherXmlDatabase::sharedUI()->loadTeachers();
    QStringList names;
    for (const TeacherEntity &t : TovTeacherXmlDatabase::sharedUI()->teacherList())
        names << t.name() + ":" + QString::number(t.gender());
    EXPECT_EQ(names, QStringList({"Ann Lee:1", "Bo:1", "Sean O'Neil:2"}));

    // A teacher list that cannot be read takes nothing and lists every record.
    overwrite(TovTeacherXmlDatabase::sharedUI()->teacherRosterFilePath(), "<Teachers><Teacher>");
    RosterImporter failing;
    EXPECT_FALSE(failing.importTeachersUsingPreviewResultData(RosterImporter::teachersFromRecords(teachers.mid(1, 1))));
    EXPECT_EQ(failing.failureText(), "The teacher list cannot be read.");
    ASSERT_EQ(failing.teachersLost().size(), 1);
    EXPECT_EQ(failing.teachersLost().at(0).reason, "The teacher list cannot be read.");
}

TEST_F(RosterImporterTest, StudentsWithoutAKeypadNumberTakeTheClassesNextFreeOnes)
{
    // A Dravel file names its students by ID only; the class already holds keypad 1.
    StudentEntity first = stored("S0", "Zed");
    first.setDeviceNo(1);
    ASSERT_TRUE(TovClassXmlDatabase::sharedClassUI()->addStudentWithData(first, classNo));
    ImportPreviewState preview(ImportItemsForStudent(3).allImportItems());
    QString error;
    ASSERT_EQ(preview.loadFile(writeFile("dravel.csv", "Student ID,First Name\r\nS1,Ann\r\nS2,Bo\r\nS3,Cy\r\n"), &error), 0);
    EXPECT_FALSE(preview.bHasError()) << preview.statusText().toStdString();
    EXPECT_TRUE(importer.importStudentsUsingPreviewResultData(RosterImporter::studentsFromRecords(preview.resultData())));
    QList<int> numbers;
    for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo))
        numbers << s.deviceNo();
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers, QList<int>({1, 2, 3, 4})) << "not keypad 1 for everyone";
}

// A keypad number typed that a student of the class or an earlier record going in holds follows
// the class's rule for a shared number: the first holder keeps it, the record is given the next
// free one, passing over the numbers every record typed; a record that stays out moves nobody.
TEST_F(RosterImporterTest, ATypedKeypadNumberAnotherStudentHoldsIsGivenTheNextFreeOne)
{
    // Students by "ID:number".
    const auto students = [](const QStringList &typed) {
        QList<StudentEntity> out;
        for (const QString &t : typed) {
            StudentEntity s;
            s.setId(t.section(':', 0, 0));
            s.setDeviceNo(t.section(':', 1).toInt());
            out << s;
        }
        return out;
    };
    const struct
    {
        const char *name;
        QStringList inClass, records;
        QStringList placed; // per record: "keeps", or the number given and who held the one typed
    } cases[] = {
        {"held by the class", {"A:1", "B:2"}, {"R1:2", "R2:3"}, {"4 class", "keeps"}},
        {"typed twice in the file", {"A:1"}, {"R1:5", "R2:5", "R3:0"}, {"keeps", "2 row", "3 nobody"}},
        {"held by two of the class already", {"A:7", "B:7"}, {"R1:7", "R2:8"}, {"1 class", "keeps"}},
        {"typed by a record that stays out", {"A:1"}, {"a:1", "R1:1"}, {"keeps", "2 class"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QStringList placed;
        for (const RosterImporter::Placement &p : RosterImporter::placements(students(c.records), students(c.inClass), 400)) {
            const char *held = p.heldBy == RosterImporter::HeldBy::Class        ? "class"
                               : p.heldBy == RosterImporter::HeldBy::EarlierRow ? "row"
                                                                                  : "nobody";
            placed << (p.given ? QStringLiteral("%1 %2").arg(p.given->number).arg(held) : QStringLiteral("keeps"));
        }
        EXPECT_EQ(placed.join(", ").toStdString(), c.placed.join(", ").toStdString());
    }
}
