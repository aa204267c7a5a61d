#include "core/reports/ReportTestBase.h"

#include "core/app/Orvenda_AppDelegate.h"
#include "core/store/TovClassXmlDatabase.h"
#include "support/ReportShots.h"
#include "support/Shots.h"
#include "ui/reports/AbsenteeReportController.h"
#include "ui/reports/GroupResultController.h"
#include "ui/reports/GroupStudentReportController.h"
#include "ui/reports/PersonalStandardsReportController.h"
#include "ui/reports/ResultByQuestionInGroupModeController.h"
#include "ui/reports/StandardsAnalysisReportController.h"

#include <QComboBox>
#include <QDir>
#include <QScreen>
#include <QStandardItemModel>
#include <QTreeView>

// The group session and standards report windows as a person sees them: every window and page
// looked at draws, in every run of the suite; with a picture folder set (./dev shots) the pictures
// go there, with the PDF and CSV files beside them. POLLIX_SCREENSHOT_HOME names an application
// folder (the demo folder) whose first session is shown, run by the groups of its roster; a large
// session (400 students in 8 groups, 100 questions over 12 standards) is shown too.
namespace {
class GroupReportScreensTest : public ReportTestBase
{
protected:
    void shoot(ReportFrame *w, const QString &name) { ReportShots::drewWithItsPage(w, name); }
    void show(ReportFrame &w, const QString &name)
    {
        w.show();
        shoot(&w, name);
        if (w.outlineView) {
            // The last node of the outline, the deepest one.
            const QAbstractItemModel *model = w.outlineView->model();
            QModelIndex last = model->index(model->rowCount() - 1, 0);
            while (model->rowCount(last) > 0)
                last = model->index(model->rowCount(last) - 1, 0, last);
            w.outlineView->setCurrentIndex(last);
            shoot(&w, name + QStringLiteral("-outline"));
        }
        w.lastPage();
        shoot(&w, name + QStringLiteral("-last"));
        w.cboScale->setCurrentText(QStringLiteral("200%"));
        w.comboBoxWillDismiss();
        shoot(&w, name + QStringLiteral("-200"));
        w.cboScale->setCurrentText(QStringLiteral("Whole Page"));
        w.comboBoxWillDismiss();
        shoot(&w, name + QStringLiteral("-whole"));
        if (const QString folder = Shots::folder(); !folder.isEmpty()) {
            w.saveToPDF(QDir(folder).filePath(name + QStringLiteral(".pdf")));
            w.saveToCSV(QDir(folder).filePath(name + QStringLiteral(".csv")));
        }
        w.close();
    }
    void all(const QuizEntity &quiz, const QString &prefix)
    {
        const QList<SelectStudents> students = ticked(quiz);
        GroupResultController groupResult(quiz);
        show(groupResult, prefix + QStringLiteral("group-result"));
        GroupStudentReportController groupStudents(quiz);
        show(groupStudents, prefix + QStringLiteral("group-student"));
        ResultByQuestionInGroupModeController byQuestion(quiz);
        show(byQuestion, prefix + QStringLiteral("result-by-question"));
        AbsenteeReportController absentees(quiz);
        show(absentees, prefix + QStringLiteral("absentee"));
        PersonalStandardsReportController personal(quiz, students);
        show(personal, prefix + QStringLiteral("personal-standards"));
        StandardsAnalysisReportController analysis(quiz);
        show(analysis, prefix + QStringLiteral("standards-analysis"));
    }
    // 400 students in groups 1 to 8, some absent, 100 questions over 12 standards, a long name.
    static QuizEntity large()
    {
        QuizEntity quiz;
        quiz.setName(QStringLiteral("Term review of every unit, all classes of the year group together, "
                                    "with the questions of the mock test"));
        quiz.setClassName(QStringLiteral("Year 9"));
        quiz.setSubject(QStringLiteral("Science"));
        quiz.setTeacherName(QStringLiteral("Mary Smith"));
        quiz.setActionType(QStringLiteral("4"));
        quiz.setGroup(8);
        for (int k = 1; k <= 100; ++k) {
            QuestionEntity q;
            q.setQuNo(k);
            q.setRightAns(QString(QChar('A' + k % 4)));
            q.setMark(5 + k % 3 * 5);
            q.setTitle(QStringLiteral("Question text number %1 about one of the units of the term, long enough to "
                                      "wrap over two lines of the header block of its page")
                           .arg(k));
            StandardEntity standard;
            standard.setCode(QStringLiteral("SC.%1.%2").arg(k % 12 + 1).arg(k % 3));
            standard.setTitle(QStringLiteral("Standard %1: explain the ideas of unit %1 and use them on new problems")
                                  .arg(k % 12 + 1));
            q.setStandard(standard);
            quiz.allQuestions() << q;
        }
        for (int i = 1; i <= 400; ++i) {
            StudentEntity s;
            s.setId(QString::number(1000 + i));
            s.setFirstName(QStringLiteral("Student"));
            s.setLastName(QString::number(i));
            s.setGroupNo((i - 1) % 8 + 1);
            if (i % 37 != 0)
                s.setLoginTime(QStringLiteral("2012-03-23T14:01:00"));
            quiz.allStudents() << s;
            if (i % 37 == 0)
                continue;
            for (int k = 1; k <= 100; ++k) {
                ResponseDataEntity a;
                a.setStudentID(s.id());
                a.setQuestionID(QString::number(k));
                const bool right = (i * 7 + k * 3) % 5 != 0;
                a.setResponse(right ? quiz.allQuestions()[k - 1].rightAns() : (i + k) % 9 == 0 ? "__N" : "E");
                a.setStudentPoint(QString::number(right ? quiz.allQuestions()[k - 1].mark() : 0));
                quiz.allStudentsAns() << a;
            }
        }
        return quiz;
    }
};
} // namespace

TEST_F(GroupReportScreensTest, GroupAndStandardsReports)
{
    const QString demo = qEnvironmentVariable("POLLIX_SCREENSHOT_HOME");
    if (!demo.isEmpty()) {
        const QStringList files = QDir(demo + QStringLiteral("/Data/Quiz")).entryList({"*.xml"}, QDir::Files, QDir::Name);
        ASSERT_FALSE(files.isEmpty());
        std::optional<QuizEntity> quiz = DataManager::getQuizAtPath(demo + QStringLiteral("/Data/Quiz/") + files.first());
        ASSERT_TRUE(quiz);
        // The demo's sessions are run by the whole class; run this one by its roster's groups.
        Orvenda_AppDelegate *before = Orvenda_AppDelegate::getAppDelegate();
        Orvenda_AppDelegate app(demo);
        Orvenda_AppDelegate::setAppDelegate(&app);
        TovClassXmlDatabase *classes = TovClassXmlDatabase::sharedClassUI();
        QHash<QString, int> groupOf;
        for (const StudentEntity &s : classes->getStudentListByClassNo(classes->classNoByName(quiz->className())))
            groupOf.insert(s.id(), s.groupNo());
        quiz->setGroup(classes->maxGroupNoInClass(classes->classNoByName(quiz->className())));
        Orvenda_AppDelegate::setAppDelegate(before);
        ASSERT_FALSE(groupOf.isEmpty());
        for (StudentEntity &s : quiz->allStudents())
            s.setGroupNo(groupOf.value(s.id(), 0));
        all(*quiz, QStringLiteral("demo-"));
    } else {
        all(session("group-session"), QStringLiteral("test-"));
    }
    all(large(), QStringLiteral("large-"));
}
