#include "DemoData.h"

#include "core/engine/EndOfRunSave.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovStudentRoster.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "core/store/XMLControl.h"
#include "core/authoring/ExamPaperInfo.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/TovTableView.h"
#include "ui/reports/ReportController.h"
#include "ui/roster/ClassManageController.h"
#include "ui/roster/StudentTableView.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTest>

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

TEST_F(DemoDataTest, WhateverRanBeforeTheFolderHoldsTheNamedPastSessionsAndTheGradebookOnce)
{
    make();
    // A headless demo run saved its quiz here, and an earlier demo left week 2 without a name; the
    // gradebook has its period but not the rest.
    QuizEntity run;
    run.setName("Demo Quiz");
    run.setTitle("Demo Quiz.px");
    run.setClassName(DemoData::className());
    run.setActionType("1");
    run.setDate("2026-12-07T10:15:00");
    QString runPath, why;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Demo Quiz", run, &runPath, &why)) << why.toStdString();
    QuizEntity unnamed;
    unnamed.setTitle("Demo Quiz");
    unnamed.setClassName(DemoData::className());
    unnamed.setActionType("1");
    unnamed.setDate("2024-09-09T09:30:00");
    QString unnamedPath;
    ASSERT_TRUE(TovQuizXmlDatabase().addQuizWithName("Demo Quiz ", unnamed, &unnamedPath, &why)) << why.toStdString();
    PeriodEntity fall;
    fall.setTitle("Fall 2024");
    fall.setDateFrom("2024-09-01");
    fall.setDateTo("2024-12-20");
    ASSERT_GE(TovPeriodXmlDatabase::sharedUI()->addWithData(fall, &why), 0) << why.toStdString();

    for (int start = 0; start < 2; ++start) {
        ASSERT_TRUE(DemoData::ensureSessions(&why)) << why.toStdString();
        ASSERT_TRUE(DemoData::ensureGradebook(&why)) << why.toStdString();
    }

    QStringList names;
    for (const QString &file : QDir(app()->strQuizXmlDataFilePath()).entryList({"*.xml"}, QDir::Files))
        names << DataManager::getQuizAtPath(QDir(app()->strQuizXmlDataFilePath()).filePath(file))->name();
    names.sort();
    EXPECT_EQ(names, (QStringList{"Demo Quiz", "Demo Quiz, week 1", "Demo Quiz, week 2", "Demo Quiz, week 3"}));
    EXPECT_EQ(DataManager::getQuizAtPath(unnamedPath)->name(), "Demo Quiz, week 2") << "named where it is";
    EXPECT_EQ(DataManager::getQuizAtPath(unnamedPath)->title(), "Demo Quiz.px") << "titled as a run of its quiz";
    EXPECT_EQ(DataManager::getQuizAtPath(runPath)->title(), "Demo Quiz.px") << "the run's own stays as it was";
    const QStringList pointsOnly = DataManager::getCourseGradeFile().value_or(QStringList());
    ASSERT_EQ(pointsOnly.size(), 1);
    EXPECT_EQ(TovPeriodXmlDatabase::sharedUI()->periodList().size(), 1);
    EXPECT_EQ(TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightList().size(), 1);
    EXPECT_EQ(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList().size(), 1);

    // The Report window's Session column names every past session.
    ReportController window;
    QStringList shown;
    for (int row = 0; row < window.table1->model()->rowCount(); ++row)
        shown << window.table1->model()->index(row, 0).data().toString();
    for (const QString &name : QStringList{"Demo Quiz, week 1", "Demo Quiz, week 2", "Demo Quiz, week 3", "Lab report"})
        EXPECT_TRUE(shown.contains(name)) << name.toStdString() << " in " << shown.join(", ").toStdString();
}

// The past quizzes are stored as a run of "Demo Quiz.px" stores its session, so the Report window
// knows one Demo Quiz: its Test Title filter lists it once and lists the run with the past weeks.
TEST_F(DemoDataTest, ThePastQuizzesAreStoredAsARunOfTheDemoQuizStoresItsSession)
{
    make();
    QString why;
    ASSERT_TRUE(DemoData::ensureSessions(&why)) << why.toStdString();
    EndOfRunSave::Run run;
    run.strFileName = DemoData::questionFileName();
    run.curDeviceType = 3;
    run.arrQuizTime = QStringList{"2026-12-07T10:00:00", "2026-12-07T10:15:00", "900"};
    QString runPath;
    ASSERT_TRUE(EndOfRunSave::save("Demo Quiz", run, &runPath, &why)) << why.toStdString();

    // Each file is named as the run's is: the session's name and when it was made.
    const QStringList files = QDir(app()->strQuizXmlDataFilePath()).entryList({"*.xml"}, QDir::Files);
    ASSERT_EQ(files.size(), 4);
    for (const QString &file : files) {
        const std::optional<QuizEntity> quiz = DataManager::getQuizAtPath(QDir(app()->strQuizXmlDataFilePath()).filePath(file));
        ASSERT_TRUE(quiz);
        EXPECT_EQ(quiz->title(), "Demo Quiz.px") << file.toStdString();
        EXPECT_EQ(file, GlobalFunctions::safeFileName(quiz->name() + quiz->dateText()) + ".xml");
    }
    EXPECT_EQ(QFileInfo(runPath).fileName(), GlobalFunctions::safeFileName("Demo Quiz" + DataManager::getQuizAtPath(runPath)->dateText()) + ".xml");

    // The teacher picks the quiz in the Test Title filter: the three weeks and the run.
    ReportController window;
    QStringList titles;
    for (int i = 0; i < window.cboTestTitle1->count(); ++i)
        titles << window.cboTestTitle1->itemText(i);
    EXPECT_EQ(titles.count("Demo Quiz.px"), 1) << titles.join(" | ").toStdString();
    EXPECT_FALSE(titles.contains("Demo Quiz")) << titles.join(" | ").toStdString();
    window.show();
    window.cboTestTitle1->setFocus();
    QTest::keyClicks(window.cboTestTitle1, "Demo");
    ASSERT_EQ(window.cboTestTitle1->currentText(), "Demo Quiz.px");
    QStringList shown;
    for (int row = 0; row < window.table1->model()->rowCount(); ++row)
        shown << window.table1->model()->index(row, 0).data().toString();
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"Demo Quiz", "Demo Quiz, week 1", "Demo Quiz, week 2", "Demo Quiz, week 3"}));
}

// Keypads keep a question set by its exam ID: the demo quiz takes its ID from the folder's
// counter, so that the next question file or deck made there is given another one, in a new
// folder and in one whose counter has already handed IDs out.
TEST_F(DemoDataTest, TheDemoQuizsExamIdIsTakenFromTheCounterSoNoLaterSetSharesIt)
{
    for (const int handedOutBefore : {0, 41}) {
        SCOPED_TRACE(handedOutBefore);
        const QString quizPath = home() + QStringLiteral("Demo Quiz.px");
        QFile::remove(quizPath);
        QFile::remove(XMLControl::sharedXMLUI()->filePath());
        if (handedOutBefore) {
            ASSERT_TRUE(XMLControl::sharedXMLUI()->updateExamID(handedOutBefore));
        }
        ASSERT_EQ(make(), quizPath);
        QString why;
        const auto quiz = ExamPaperInfo::loadQuestionFile(quizPath, &why);
        ASSERT_TRUE(quiz) << why.toStdString();
        const std::optional<int> next = XMLControl::sharedXMLUI()->getExamID();
        ASSERT_TRUE(next);
        EXPECT_NE(*next, quiz->nExamPaperID());
        EXPECT_EQ(*next, quiz->nExamPaperID() + 1);
        if (handedOutBefore) {
            EXPECT_EQ(quiz->nExamPaperID(), handedOutBefore + 1);
        }
    }
}
