#include "GradebookUiFixture.h"
#include "support/RealAlerts.h"

#include "core/gradebook/GradebookBackupFile.h"
#include "core/gradebook/ReportCardReport.h"
#include "core/gradebook/GradebookNameRecords.h"
#include "core/store/TovGradeSessionsXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "ui/controls/MyComboBox.h"
#include "ui/gradebook/CreateSubjectGradeReportController.h"
#include "ui/gradebook/GradebookWindows.h"
#include "ui/gradebook/ReportCourseGradeListTab.h"
#include "ui/gradebook/ReportCardController.h"
#include "ui/gradebook/ReportCourseGradeTab.h"
#include "ui/gradebook/SessionSelectController.h"
#include "ui/gradebook/SubjectGradeSettingController.h"
#include "ui/reports/ReportController.h"

#include <QCheckBox>
#include <QDir>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {
// 7A Maths with Kim Lee: two quizzes run in class (Ann 8 and 9 of 10, Bo 6 and 7) and one
// points-only lab report of 100 (Ann 95, Bo 70).
class CourseGradeTabsTest : public GradebookUiFixture
{
protected:
    void SetUp() override
    {
        GradebookUiFixture::SetUp();
        ReportController::resetHooks();
        GradebookWindows::install();
        quiz("Quiz 1", "2012-10-01", {{"S1", 8}, {"S2", 6}});
        quiz("Quiz 2", "2012-10-08", {{"S1", 9}, {"S2", 7}});
        QuizEntity lab;
        lab.setName("Lab report");
        lab.setDate(QStringLiteral("2012-10-12T10:00:00"));
        lab.setActionType("1");
        lab.setClassName("7A");
        lab.setSubject("Maths");
        lab.setTeacherName("Kim Lee");
        lab.setSessionType("Lab");
        lab.setTotalMark("100");
        lab.allStudents() << student("S1", "Ann", "Lee", "95") << student("S2", "Bo", "Chan", "70");
        EXPECT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName(lab.name(), lab));
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        ReportController::resetHooks();
        GradebookNameRecords::install(nullptr);
        GradebookUiFixture::TearDown();
    }
    static StudentEntity student(const QString &id, const QString &first, const QString &last, const QString &mark = {})
    {
        StudentEntity s;
        s.setId(id);
        s.setFirstName(first);
        s.setLastName(last);
        s.setTotalMark(mark);
        return s;
    }
    static void quiz(const QString &name, const QString &day, const QList<QPair<QString, int>> &points)
    {
        QuizEntity q;
        q.setName(name);
        q.setDate(day + "T09:30:00");
        q.setStartTime(day + "T09:00:00");
        q.setActionType("1");
        q.setClassName("7A");
        q.setSubject("Maths");
        q.setTeacherName("Kim Lee");
        q.setSessionType("Exam");
        q.setTotalMark("10");
        QuestionEntity question;
        question.setQuNo(1);
        question.setMark(10);
        q.allQuestions() << question;
        q.allStudents() << student("S1", "Ann", "Lee") << student("S2", "Bo", "Chan");
        for (const auto &[id, p] : points) {
            ResponseDataEntity a;
            a.setStudentID(id);
            a.setQuestionID("1");
            a.setStudentPoint(QString::number(p));
            q.allStudentsAns() << a;
        }
        EXPECT_TRUE(TovQuizXmlDatabase().addQuizWithName(name, q));
    }
    // A course grade of Maths taught by Kim Lee in the Fall period, stored.
    static void storeFallGrade(const QString &className, const QList<std::pair<QString, float>> &marks,
                               const QString &letter)
    {
        PeriodEntity p;
        p.setTitle("Fall");
        p.setDateFrom("2012-09-01");
        p.setDateTo("2013-01-31");
        CourseGradeEntity g;
        g.setPeriod(p);
        g.setClassName(className);
        g.setSubjectName("Maths");
        g.setTeacherName("Kim Lee");
        for (const auto &[id, mark] : marks) {
            CourseGradeDetail d;
            d.setStudentID(id);
            d.setStudentName(id == "S1" ? QStringLiteral("Ann") : id);
            d.setMark(mark);
            d.setLetterGrade(letter);
            g.allGradeDetails() << d;
        }
        ASSERT_TRUE(TovGradeSessionsXmlDatabase::sharedUI()->addCourseGradeSession(g));
    }
    static void choose(MyComboBox *box, const QString &text)
    {
        const int at = box->findText(text);
        ASSERT_GE(at, 0) << text.toStdString();
        box->setCurrentIndex(at);
    }
};
} // namespace

TEST_F(CourseGradeTabsTest, ANewcomerSetsUpTheGradebookComputesAClassAndFindsItInTheList)
{
    ReportController report;
    report.show();
    auto *tab2 = report.findChild<ReportCourseGradeTab *>("tab2");
    auto *tab3 = report.findChild<ReportCourseGradeListTab *>("tab3");
    ASSERT_TRUE(tab2 && tab3);
    report.tabView->setCurrentWidget(tab2);
    shoot(&report, "newcomer-1-course-grade-tab");

    // The settings: a grading period, a weight list (exams 70, labs 30) and the five letters.
    DialogHooks::setModalResponder([&](QDialog *dialog) {
        auto *settings = qobject_cast<SubjectGradeSettingController *>(dialog);
        EXPECT_TRUE(settings);
        if (!settings)
            return 0;
        settings->show();
        switch (settings->tabIndex()) {
        case 0:
            settings->doAdd1();
            editCell(settings->table1, 0, 0, "Fall 2012");
            editCell(settings->table1, 0, 1, "2012-09-01");
            editCell(settings->table1, 0, 2, "2013-01-31");
            shoot(settings, "newcomer-2-periods");
            settings->doSaveClose1();
            break;
        case 1:
            type(settings->textWeightTitle2, "Exams and labs");
            QTest::keyClick(settings->textWeightTitle2, Qt::Key_Return);
            settings->selectSessionTable2->item(1, 0)->setCheckState(Qt::Checked);
            editCell(settings->selectSessionTable2, 1, 2, "70");
            settings->selectSessionTable2->item(4, 0)->setCheckState(Qt::Checked);
            editCell(settings->selectSessionTable2, 4, 2, "30");
            shoot(settings, "newcomer-3-weights");
            settings->doSaveClose2();
            break;
        case 2:
            type(settings->textConversionTitle3, "Five letters");
            QTest::keyClick(settings->textConversionTitle3, Qt::Key_Return);
            settings->doSaveClose3();
            break;
        }
        return 0;
    });
    tab2->doPeriod2();
    tab2->doWeight2();
    tab2->doLetterGrade2();
    ASSERT_EQ(tab2->cboGradingPeriod2->count(), 2);
    ASSERT_EQ(tab2->weightListTable2->rowCount(), 1);
    ASSERT_EQ(tab2->conversionListTable2->rowCount(), 1);

    // Create with nothing chosen names the first thing missing.
    tab2->doCreate2();
    EXPECT_EQ(answers.alertTexts().last(), "Class is required.");
    choose(tab2->cboClass2, "7A");
    choose(tab2->cboSubject2, "Maths");
    choose(tab2->cboTeacher2, "Kim Lee");
    choose(tab2->cboGradingPeriod2, "Fall 2012");
    EXPECT_EQ(tab2->dateFrom2->date(), QDate(2012, 9, 1));
    EXPECT_EQ(tab2->dateTo2->date(), QDate(2013, 1, 31));
    tab2->weightListTable2->selectRow(0);
    tab2->conversionListTable2->selectRow(0);
    tab2->doCreate2();
    EXPECT_EQ(answers.alertTexts().last(), "Course Grade is required.");
    tab2->textSubjectGrade2->setText(QString(40, QLatin1Char('M')));
    EXPECT_EQ(tab2->textSubjectGrade2->text().size(), 35);
    tab2->textSubjectGrade2->setText("Maths, fall term");
    shoot(&report, "newcomer-4-course-grade-tab-filled");

    QStringList grid;
    DialogHooks::setModalResponder([&](QDialog *dialog) {
        if (auto *selection = qobject_cast<SessionSelectController *>(dialog)) {
            selection->show();
            for (int r = 0; r < selection->tableSession->rowCount(); ++r)
                selection->setTicked(r, true);
            shoot(selection, "newcomer-5-session-select");
            selection->doPreview();
        } else if (auto *grade = qobject_cast<CreateSubjectGradeReportController *>(dialog)) {
            grade->show();
            shoot(grade, "newcomer-6-course-grade");
            for (int r = 0; r < grade->tableLeft->rowCount(); ++r)
                grid << QStringLiteral("%1 %2 %3")
                            .arg(grade->tableLeft->item(r, 0)->text(), grade->tableLeft->item(r, 3)->text(),
                                 grade->tableLeft->item(r, 4)->text());
            grade->doSave();
        }
        return 0;
    });
    tab2->doCreate2();
    // Ann: exams (0.8 + 0.9) / 2 x 70 = 59.5, lab 0.95 x 30 = 28.5: 88.0. Bo: 45.5 + 21 = 66.5.
    EXPECT_EQ(grid, (QStringList{"Ann Lee 88.0 Letter2", "Bo Chan 66.5 Letter4"}));

    // The saved course grade is listed in the third tab at once.
    report.tabView->setCurrentWidget(tab3);
    choose(tab3->cboGradingPeriod3, "Fall 2012(2012-09-01~2013-01-31)");
    QStringList students;
    for (int r = 0; r < tab3->tableSelectStudent3->rowCount(); ++r)
        students << tab3->tableSelectStudent3->item(r, 2)->text();
    EXPECT_EQ(students, (QStringList{"Ann Lee", "Bo Chan"}));
    EXPECT_TRUE(tab3->btnSaveAs3->isEnabled());
    shoot(&report, "newcomer-7-course-grade-list");

    // Their report cards, one page each, the head naming the student shown.
    tab3->doPreview3();
    EXPECT_EQ(answers.alertTexts().last(), "Please select a student record.");
    QStringList heads;
    DialogHooks::setModalResponder([&](QDialog *dialog) {
        auto *cards = qobject_cast<ReportCardController *>(dialog);
        EXPECT_TRUE(cards);
        if (!cards)
            return 0;
        cards->show();
        for (int page = 1; page <= cards->totalPage(); ++page)
            heads << cards->reportCardReport()->headView(cards->reportCardReport()->slice(page)).studentName();
        shoot(cards, "newcomer-8-report-card");
        return 0;
    });
    tab3->btnSelectAll->click();
    tab3->doPreview3();
    EXPECT_EQ(heads, (QStringList{"Ann Lee", "Bo Chan"}));
}

TEST_F(CourseGradeTabsTest, SubjectsOfAPeriodAreSavedToABackupReadBackAndDeletedByClassAndTeacher)
{
    for (const char *className : {"7A", "8B"})
        storeFallGrade(className, {{"S1", 87.5f}}, "B");
    ReportController report;
    auto *tab3 = report.findChild<ReportCourseGradeListTab *>("tab3");
    report.tabView->setCurrentWidget(tab3);
    report.show();
    choose(tab3->cboGradingPeriod3, "Fall(2012-09-01~2013-01-31)");
    EXPECT_EQ(tab3->tableSelectStudent3->rowCount(), 2);

    tab3->doExport3();
    EXPECT_FALSE(tab3->listMode());
    EXPECT_EQ(tab3->btnExportDelete3->text(), "Save As");
    ASSERT_EQ(tab3->tableSelectSubject3->rowCount(), 1);
    tab3->doExportDelete3();
    EXPECT_EQ(answers.alertTexts().last(), "Please select at least one Subject.");
    tab3->tableSelectSubject3->item(0, 0)->setCheckState(Qt::Checked);
    shoot(&report, "course-grade-list-export");
    const QString backup = home() + "fall.gbd";
    answers.answerFile(backup);
    tab3->doExportDelete3();
    EXPECT_EQ(answers.alertTexts().last(), "Exported successfully.");
    EXPECT_EQ(answers.alerts().last().informativeText, "Saved to " + QDir::toNativeSeparators(backup));
    EXPECT_TRUE(tab3->listMode());
    const std::optional<GradebookBackupFile::Backup> read = GradebookBackupFile::read(backup);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->grades.size(), 2);

    // Delete takes the class and teacher of the subject's row, not the other class.
    tab3->doDelete3();
    choose(tab3->cboGradingPeriod3, "Fall(2012-09-01~2013-01-31)");
    tab3->tableSelectSubject3->item(0, 0)->setCheckState(Qt::Checked);
    answers.answerAlert(0);
    tab3->doExportDelete3();
    ASSERT_EQ(TovGradeSessionsXmlDatabase::sharedUI()->courseGradeList().size(), 1);
    EXPECT_EQ(TovGradeSessionsXmlDatabase::sharedUI()->courseGradeList().at(0).className(), "8B");

    // Read back: the period joins the period store, the deleted grade comes back, the other one
    // is asked about (and kept on No).
    answers.answerFile(backup);
    answers.answerAlert(1);
    tab3->doImport3();
    EXPECT_EQ(answers.alertTexts().last(), "Do you want to save the changes to contents?");
    EXPECT_EQ(TovGradeSessionsXmlDatabase::sharedUI()->courseGradeList().size(), 2);
    EXPECT_TRUE(TovPeriodXmlDatabase::sharedUI()->periodByTitle("fall"));
    auto *tab2 = report.findChild<ReportCourseGradeTab *>("tab2");
    EXPECT_EQ(tab2->cboGradingPeriod2->count(), 2);
    // Escape on that question, or its close box, ends the import as No does: nothing changes.
    const QByteArray gradesBefore = readFile(home() + "Data/CourseGrade.xml");
    for (RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
        RealAlerts real;
        real.leave(way);
        answers.answerFile(backup);
        tab3->doImport3();
        EXPECT_EQ(real.seen(), QStringList{"Do you want to save the changes to contents?"});
        EXPECT_EQ(real.stuck(), 0);
        EXPECT_EQ(readFile(home() + "Data/CourseGrade.xml"), gradesBefore);
    }

    // A file that is no backup, and one cut short, change nothing.
    const QString other = writeFile("other.gbd", "not a backup at all, but long enough to hold a head");
    answers.answerFile(other);
    tab3->doImport3();
    EXPECT_EQ(answers.alertTexts().last(), "Please choose the correct file");
    QByteArray cut = readFile(backup);
    cut.chop(100);
    answers.answerFile(writeFile("cut.gbd", cut));
    tab3->doImport3();
    EXPECT_EQ(answers.alertTexts().last(), "The file cannot be read.");
    EXPECT_EQ(TovGradeSessionsXmlDatabase::sharedUI()->courseGradeList().size(), 2);
    // Nor does one whose first mark is no number: the alert says which.
    QByteArray nan = readFile(backup);
    nan.replace(29 + 73 + 4 + 64 + 228 + 4 + 320, 4, QByteArray("\x00\x00\xc0\x7f", 4));
    const QByteArray storedBefore = readFile(home() + "Data/CourseGrade.xml");
    answers.answerFile(writeFile("nan.gbd", nan));
    tab3->doImport3();
    EXPECT_EQ(answers.alertTexts().last(), "The file cannot be read.");
    EXPECT_TRUE(answers.alerts().last().informativeText.contains("the mark of student 1 of course grade 1"))
        << answers.alerts().last().informativeText.toStdString();
    EXPECT_EQ(readFile(home() + "Data/CourseGrade.xml"), storedBefore);
}

// A rush quiz's deductions give a course grade below 0, points raised above a session's total one
// above 100: Save As writes them like any other.
TEST_F(CourseGradeTabsTest, CourseGradesBelowZeroOrAbove100AreSavedToABackup)
{
    storeFallGrade("5A", {{"S1", -99.9f}, {"S2", 150.0f}, {"S3", 87.5f}}, "F");
    ReportController report;
    auto *tab3 = report.findChild<ReportCourseGradeListTab *>("tab3");
    report.tabView->setCurrentWidget(tab3);
    report.show();
    choose(tab3->cboGradingPeriod3, "Fall(2012-09-01~2013-01-31)");

    QTest::mouseClick(tab3->btnSaveAs3, Qt::LeftButton);
    ASSERT_EQ(tab3->tableSelectSubject3->rowCount(), 1);
    tab3->tableSelectSubject3->item(0, 0)->setCheckState(Qt::Checked);
    const QString backup = home() + "fall.gbd";
    answers.answerFile(backup);
    QTest::mouseClick(tab3->btnExportDelete3, Qt::LeftButton);
    ASSERT_EQ(answers.alertTexts().last(), "Exported successfully.") << answers.alerts().last().informativeText.toStdString();

    const std::optional<GradebookBackupFile::Backup> read = GradebookBackupFile::read(backup);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->grades.size(), 1);
    QList<float> marks;
    for (const CourseGradeDetail &d : read->grades.at(0).allGradeDetails())
        marks << d.mark();
    EXPECT_EQ(marks, (QList<float>{-99.9f, 150.0f, 87.5f}));
}
