#include "core/reports/ReportTestBase.h"

#include "core/store/TovFastQuizXmlDatabase.h"
#include "support/DialogAnswers.h"
#include "support/ReportShots.h"
#include "support/Shots.h"
#include "ui/controls/TovTableView.h"
#include "ui/gradebook/GradebookWindows.h"
#include "ui/reports/CreateReportController.h"
#include "ui/reports/ReportController.h"
#include "ui/reports/ReportFrame.h"
#include "ui/reports/ReportRegistry.h"
#include "ui/reports/StudentPointsListController.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

// The Report window, the chooser and each report as a person sees them: every window and page
// looked at draws, in every run of the suite; with a picture folder set (./dev shots) the pictures
// go there, with the PDF and CSV files of each report beside them. POLLIX_SCREENSHOT_HOME names an
// application folder to list instead of the test's sessions (the demo folder after a demo run),
// POLLIX_SCREENSHOT_SESSION the session to report on.
namespace {
class ReportScreensTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        const QString demo = qEnvironmentVariable("POLLIX_SCREENSHOT_HOME");
        if (!demo.isEmpty()) {
            demoApp = std::make_unique<Orvenda_AppDelegate>(demo);
            Orvenda_AppDelegate::setAppDelegate(demoApp.get());
        }
        ReportRegistry::clear();
        ReportRegistry::registerBuiltReports();
        GradebookWindows::installCourseGradeTabs();
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        ReportController::hooks().addCourseGradeTabs = {};
        ReportTestBase::TearDown();
    }
    void shoot(QWidget *w, const QString &name) { EXPECT_TRUE(Shots::drew(w, name)); }
    void reportWindow(ReportFrame *w, const QString &name) { ReportShots::shootReportWindow(w, name); }

    std::unique_ptr<Orvenda_AppDelegate> demoApp;
    DialogAnswers answers;
};
} // namespace

TEST_F(ReportScreensTest, ReportWindowChooserAndReports)
{
    if (!demoApp) {
        session("class-response");
        session("student-session");
        session("response-spread");
        session("question-paper");
    }
    ReportController window;
    window.show();
    shoot(&window, QStringLiteral("report-window"));
    int shown = 0;
    DialogHooks::setModalResponder([&](QDialog *d) {
        if (auto *chooser = qobject_cast<CreateReportController *>(d)) {
            chooser->show();
            chooser->btnSelectAll->click();
            shoot(chooser, QStringLiteral("chooser"));
            for (const char *report : {"Class Response Report", "Student Session Report", "Response Spread Report",
                                       "Question Report", "Study Guide", "Class Study Guide",
                                       "Student Response Result"})
                for (int r = 0; r < chooser->tableReportFormat->rowCount(); ++r)
                    if (chooser->reportNameAt(r) == QLatin1String(report)) {
                        chooser->tableReportFormat->selectRow(r);
                        chooser->btnPreview->click();
                    }
            chooser->close();
        } else if (auto *report = qobject_cast<ReportFrame *>(d)) {
            reportWindow(report, report->objectName() + QString::number(++shown));
        }
        return 0;
    });
    // The first session that has reports (a points-only session has none), or the one named in
    // POLLIX_SCREENSHOT_SESSION.
    const QString wanted = qEnvironmentVariable("POLLIX_SCREENSHOT_SESSION");
    for (int i = 0; i < window.table1Array().size(); ++i) {
        window.table1->clearSelection();
        window.table1->selectRow(i);
        if (window.btnReport1->isEnabled() && (wanted.isEmpty() || window.table1Array()[i].session() == wanted))
            break;
    }
    window.btnReport1->click();
    EXPECT_GE(shown, 3);
}

// The second reports on each session kind of the tests (or of the demo folder's sessions), and on
// a large session of every kind: each window's first pages, zoomed, with its PDF and CSV.
TEST_F(ReportScreensTest, SecondReportsOfEveryKind)
{
    static const QStringList mine{"Vote Report", "Attendance", "Correct Rate Statistics",
                                  "Result By Question(Answer Detail)", "Result By Question(Scores)",
                                  "Result Of Elimination"};
    int shown = 0;
    DialogHooks::setModalResponder([&](QDialog *d) {
        if (auto *report = qobject_cast<ReportFrame *>(d))
            reportWindow(report, report->objectName() + QString::number(++shown));
        return 0;
    });
    const auto openAll = [&](const QuizEntity &quiz) {
        QList<SelectStudents> students = ticked(quiz);
        // A loaded session names its activity; one made here gives its code.
        const int code = DataManager::getActModeNoByName(quiz.actionType());
        const QString activity = DataManager::getActModeNameByActModeNo(code);
        for (const QString &name : ReportChoice::reportsFor(ReportChoice::isGroupSession(quiz), activity, 3))
            if (mine.contains(name))
                ReportRegistry::open(name, nullptr, quiz, students);
        if (code == 15)
            ReportRegistry::open(QStringLiteral("Voting Result"), nullptr, quiz, students);
    };
    if (demoApp) {
        for (const QString &name : DataManager::getAllFileNames().value_or(QStringList()))
            if (const auto quiz = DataManager::getQuizAtPath(demoApp->strQuizXmlDataFilePath() + QLatin1Char('/') + name + ".xml"))
                openAll(*quiz);
        for (const QString &name : DataManager::getCourseGradeFile().value_or(QStringList()))
            if (const auto quiz = DataManager::getQuizAtPath(demoApp->strCourseGradeFilePath() + QLatin1Char('/') + name + ".xml")) {
                StudentPointsListController list(*quiz);
                reportWindow(&list, QStringLiteral("StudentPointsList") + QString::number(++shown));
            }
        return;
    }
    for (const char *c : {"vote", "attendance", "correct-rate", "result-by-question", "elimination"})
        openAll(session(c));
    StudentPointsListController list(session("points-list"));
    reportWindow(&list, QStringLiteral("StudentPointsList") + QString::number(++shown));

    // Large: 300 students of long names on 40 questions, answering at every speed.
    QuizEntity large = session("correct-rate");
    large.setName(QStringLiteral("A long session name that takes the head's second line, to see the pages shrink"));
    large.allStudents().clear();
    large.allStudentsAns().clear();
    QList<QuestionEntity> questions;
    for (int k = 1; k <= 40; ++k) {
        QuestionEntity q = session("correct-rate").allQuestions().at(k % 2);
        q.setQuNo(k);
        q.setTitle(QStringLiteral("Question %1 of the long test, with a text that runs over more than one line of the "
                                  "page so that the wrapping shows")
                       .arg(k));
        questions.append(q);
    }
    large.allQuestions() = questions;
    for (int s = 1; s <= 300; ++s) {
        StudentEntity st;
        st.setId(QString::number(s));
        st.setFirstName(QStringLiteral("Alexandrina-%1").arg(s));
        st.setLastName(QStringLiteral("Montgomery-Featherstonehaugh"));
        st.setLoginTime(QStringLiteral("2012-03-23T14:01:00"));
        large.allStudents().append(st);
        for (int k = 1; k <= 40; ++k) {
            ResponseDataEntity a;
            a.setStudentID(st.id());
            a.setQuestionID(QString::number(k));
            a.setResponse(QString(QChar(u'A' + (s + k) % 4)));
            a.setTime((s * 7 + k) % 43);
            large.allStudentsAns().append(a);
        }
    }
    RollCallEntity roll;
    roll.setAbsenceStu(QStringLiteral("|5|17|33|"));
    large.allRollCall() = {roll};
    for (const char *code : {"15", "13", "1", "4", "5"}) {
        large.setActionType(QString::fromLatin1(code));
        openAll(large);
    }
    EXPECT_GT(shown, 10);
}
