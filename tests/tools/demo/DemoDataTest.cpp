#include "DemoData.h"

#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "ui/roster/ClassManageController.h"
#include "ui/roster/StudentTableView.h"

#include <QStringList>

namespace {
class DemoDataTest : public PollixTest
{
protected:
    static QStringList ids(const QList<StudentEntity> &students)
    {
        QStringList out;
        for (const StudentEntity &s : students)
            out << s.id();
        return out;
    }
    QList<StudentEntity> demoClass() const
    {
        auto *classes = TovClassXmlDatabase::sharedClassUI();
        return classes->getStudentListByClassNo(classes->classNoByName(DemoData::className()));
    }
    QString make()
    {
        QString why;
        const QString quiz = DemoData::ensure(home(), QString(), &why);
        EXPECT_FALSE(quiz.isEmpty()) << why.toStdString();
        return quiz;
    }
};
} // namespace

TEST_F(DemoDataTest, TheDemoClassesStudentsAreInTheSchoolRosterAndOfferedFromIt)
{
    make();
    const QList<StudentEntity> klass = demoClass();
    ASSERT_EQ(klass.size(), DemoData::kStudents);
    const QList<StudentEntity> roster = TovStudentRoster::sharedUI()->getAllStudents().value_or(QList<StudentEntity>());
    EXPECT_EQ(ids(roster), ids(klass));
    EXPECT_EQ(roster.first().firstName(), klass.first().firstName());
    EXPECT_EQ(roster.last().lastName(), klass.last().lastName());

    // Manage Students, From the Roster: every demo student is there to pick.
    DialogAnswers answers;
    ClassManageController manage;
    manage.setClassIndex(0);
    manage.awakeFromNib();
    EXPECT_EQ(manage.tblStudentRoster->rowCount(), DemoData::kStudents);

    // Made again, the folder gains nothing twice.
    make();
    EXPECT_EQ(TovStudentRoster::sharedUI()->getAllStudents()->size(), DemoData::kStudents);
}

TEST_F(DemoDataTest, ADemoFolderWhoseRosterIsEmptyGainsTheClassesStudents)
{
    // A folder made before the roster was filled: the class holds students the roster lacks,
    // and one of them the teacher has entered in the roster since.
    make();
    auto *roster = TovStudentRoster::sharedUI();
    for (const StudentEntity &s : demoClass()) {
        if (s.id() != DemoData::studentID(3)) {
            ASSERT_TRUE(roster->deleteStudentWithID(s.id()));
        }
    }
    ASSERT_EQ(roster->getAllStudents()->size(), 1);
    make();
    const QStringList inRoster = ids(roster->getAllStudents().value_or(QList<StudentEntity>()));
    EXPECT_EQ(inRoster.size(), DemoData::kStudents);
    EXPECT_EQ(inRoster.count(DemoData::studentID(3)), 1);
    for (const StudentEntity &s : demoClass())
        EXPECT_TRUE(inRoster.contains(s.id())) << s.id().toStdString();
}
