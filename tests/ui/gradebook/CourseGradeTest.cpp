#include "GradebookUiFixture.h"

#include "core/gradebook/GradebookNameRecords.h"
#include "core/store/TovGradeSessionsXmlDatabase.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ui/controls/PollixAlert.h"
#include "support/SlideDecks.h"
#include "ui/gradebook/CreateSubjectGradeReportController.h"
#include "ui/gradebook/GradebookWindows.h"
#include "ui/gradebook/ProgressiveReportController.h"
#include "ui/gradebook/SessionSelectController.h"
#include "ui/gradebook/SubjectGradeSummaryController.h"
#include "ui/reports/ReportController.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

namespace {
StudentEntity student(const QString &id, const QString &first, const QString &last, const QString &points = {})
{
    StudentEntity s;
    s.setId(id);
    s.setFirstName(first);
    s.setLastName(last);
    s.setTotalMark(points);
    return s;
}

// A period of 7A Maths with Kim Lee: two exams run as quizzes (10 points; Ann 8 then 10, Bo 5
// then absent) and a points-only homework of 20 (Ann 13, Bo 20), and one more exam in 8B.
class CourseGradeTest : public GradebookUiFixture
{
protected:
    void SetUp() override
    {
        GradebookUiFixture::SetUp();
        GradebookWindows::install();
        exam("Exam 1", "2012-10-01T09:00:00", {{"S1", 8}, {"S2", 5}});
        exam("Exam 2", "2012-11-05T09:00:00", {{"S1", 10}});
        exam("Exam 8B", "2012-11-06T09:00:00", {{"S9", 10}}, "8B");
        QuizEntity homework = header("Homework 1", "2012-10-15T00:00:00");
        homework.setSessionType("Homework");
        homework.setTotalMark("20");
        homework.allStudents() << student("S1", "Ann", "Lee", "13") << student("S2", "Bo", "", "20");
        EXPECT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName(homework.name(), homework));

        period.setNo(1);
        period.setTitle("Fall");
        period.setDateFrom("2012-09-01");
        period.setDateTo("2013-01-31");
        weight.setTitle("Main");
        for (const auto &[type, w] : {std::pair{"Exam", 60.0f}, {"Homework", 40.0f}, {"Lab", 0.0f}}) {
            SessionTypeInWeight e;
            e.setSessionType(type);
            e.setIsSelect(true);
            e.setWeight(w);
            weight.sessionTypesInWeight() << e;
        }
        scale.setTitle("Letters");
        for (const auto &[name, from, to] : {std::tuple{"A", 90, 100}, {"B", 70, 89}, {"C", 0, 69}}) {
            LetterEntity l;
            l.setLetter(name);
            l.setPointFrom(from);
            l.setPointTo(to);
            scale.letterList() << l;
        }
        maths.setNo(1);
        maths.setName("Maths");
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        NotificationCenter::defaultCenter()->removeObserver(&observer);
        ReportController::resetHooks();
        GradebookNameRecords::install(nullptr);
        GradebookUiFixture::TearDown();
    }

    static QuizEntity header(const QString &name, const QString &when, const QString &className = "7A")
    {
        QuizEntity quiz;
        quiz.setName(name);
        quiz.setDate(when);
        quiz.setStartTime(when);
        quiz.setActionType("1");
        quiz.setClassName(className);
        quiz.setSubject("Maths");
        quiz.setTeacherName("Kim Lee");
        return quiz;
    }
    static void exam(const QString &name, const QString &when, const QList<QPair<QString, int>> &points,
                     const QString &className = "7A")
    {
        QuizEntity quiz = header(name, when, className);
        quiz.setSessionType("Exam");
        quiz.setTotalMark("10");
        QuestionEntity q;
        q.setQuNo(1);
        q.setMark(10);
        quiz.allQuestions() << q;
        quiz.allStudents() << student("S1", "Ann", "Lee") << student("S2", "Bo", "");
        for (const auto &[id, p] : points) {
            ResponseDataEntity a;
            a.setStudentID(id);
            a.setQuestionID("1");
            a.setStudentPoint(QString::number(p));
            quiz.allStudentsAns() << a;
        }
        EXPECT_TRUE(TovQuizXmlDatabase().addQuizWithName(name, quiz));
    }
    SessionSelectController *selection()
    {
        m_selection = std::make_unique<SessionSelectController>(weight, scale, period, 1, maths, 1);
        return m_selection.get();
    }
    static QStringList grid(QTableWidget *table)
    {
        QStringList out;
        for (int r = 0; r < table->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columnCount(); ++c)
                cells << table->item(r, c)->text();
            out << cells.join(" | ");
        }
        return out;
    }

    PeriodEntity period;
    WeightEntity weight;
    LetterGradeEntity scale;
    SubjectEntity maths;
    QObject observer;
    std::unique_ptr<SessionSelectController> m_selection;
};
} // namespace

TEST_F(CourseGradeTest, TheSelectionListsTheCountedSessionsNewestFirstAndWantsEveryTypeTicked)
{
    SessionSelectController *w = selection();
    QStringList listed;
    for (const SessionSelect &s : w->sessionSelectArray())
        listed << s.session() + " " + s.date();
    EXPECT_EQ(listed, (QStringList{"Exam 2 2012-11-05", "Homework 1 2012-10-15", "Exam 1 2012-10-01"}));
    ASSERT_EQ(w->sessionWeightArray().size(), 2); // Lab weighs 0
    shoot(w, "session-select");

    w->doPreview();
    EXPECT_EQ(answers.alertTexts().last(), "Please select at least one Session to start with.");
    w->setTicked(0, true);
    w->doPreview();
    EXPECT_EQ(answers.alertTexts().last(), "Homework type session missing.Either create a Homework type session OR "
                                           "Delete Homework type session from Set Weight.");
}

TEST_F(CourseGradeTest, TheCourseGradeIsComputedSavedAndAnnounced)
{
    int announced = 0;
    NotificationCenter::defaultCenter()->addObserver(&observer, Notify::UpdateGradingPeriod,
                                                    [&](const auto &) { ++announced; });
    SessionSelectController *w = selection();
    for (int r = 0; r < 3; ++r)
        w->setTicked(r, true);
    QStringList seen;
    DialogHooks::setModalResponder([&](QDialog *dialog) {
        auto *grade = qobject_cast<CreateSubjectGradeReportController *>(dialog);
        EXPECT_TRUE(grade);
        if (!grade)
            return 0;
        grade->show();
        shoot(grade, "course-grade");
        // Ann: exams 0.8 and 1.0 of 60 = 54, homework 13/20 of 40 = 26: 80. Bo: exams 0.5 and 0
        // (absent) = 15, homework 40: 55.
        seen = grid(grade->tableLeft);
        EXPECT_EQ(grade->textTotalStudents->text(), "2");
        EXPECT_EQ(grade->textAverage->text(), "67.5");
        EXPECT_EQ(grade->textTeacher->text(), "Kim Lee");
        EXPECT_FALSE(grade->btnPreview->isEnabled()) << "no report chosen yet";
        grade->tableRight->setCurrentRow(1);
        EXPECT_TRUE(grade->btnPreview->isEnabled());
        QTest::mouseClick(grade->btnSave, Qt::LeftButton);
        EXPECT_FALSE(grade->btnSave->isEnabled());
        // Said once the file, read again, holds it, with where it went.
        EXPECT_EQ(answers.alertTexts().last(), "Saved successfully.");
        const QString where = answers.alerts().last().informativeText;
        EXPECT_TRUE(where.contains(QDir::toNativeSeparators(home() + "Data/CourseGrade.xml"))) << where.toStdString();
        EXPECT_TRUE(where.contains("Fall(2012-09-01~2013-01-31)")) << where.toStdString();
        grade->doClose();
        return 0;
    });
    w->doPreview();
    EXPECT_EQ(seen, (QStringList{"Ann Lee | 54.0 | 26.0 | 80.0 | B", "Bo | 15.0 | 40.0 | 55.0 | C"}));
    EXPECT_EQ(announced, 1);
    for (const SessionSelect &s : w->sessionSelectArray())
        EXPECT_FALSE(s.isSelect());
    for (const SelectSessionType &t : w->sessionWeightArray())
        EXPECT_FALSE(t.isSelect());
    ASSERT_EQ(TovGradeSessionsXmlDatabase::sharedUI()->courseGradeList().size(), 1);
    const CourseGradeEntity stored = TovGradeSessionsXmlDatabase::sharedUI()->courseGradeList().at(0);
    EXPECT_EQ(stored.period().unique_title(), "Fall(2012-09-01~2013-01-31)");
    EXPECT_EQ(stored.className(), "7A");
    EXPECT_EQ(stored.teacherName(), "Kim Lee");
    EXPECT_EQ(stored.allGradeDetails().at(1).letterGrade(), "C");
}

TEST_F(CourseGradeTest, EachReportOfTheListOpensForTheSelectedStudents)
{
    SessionSelectController *w = selection();
    for (int r = 0; r < 3; ++r)
        w->setTicked(r, true);
    QTemporaryDir out;
    QStringList opened;
    DialogHooks::setModalResponder([&](QDialog *dialog) {
        if (auto *grade = qobject_cast<CreateSubjectGradeReportController *>(dialog)) {
            grade->tableRight->setCurrentRow(0);
            grade->doPreview();
            EXPECT_EQ(answers.alertTexts().last(), "Please select a student record.");
            // Bo alone; the class grade report lists the whole class all the same.
            grade->tableLeft->selectRow(1);
            for (int r = 0; r < 4; ++r) {
                grade->tableRight->setCurrentRow(r);
                grade->doPreview();
            }
            grade->tableLeft->selectAll();
            for (int r : {0, 2}) {
                grade->tableRight->setCurrentRow(r);
                grade->table1DoubleAction();
            }
            grade->doClose();
            return 0;
        }
        auto *report = qobject_cast<ReportFrame *>(dialog);
        EXPECT_TRUE(report);
        if (!report)
            return 0;
        report->show();
        opened << QStringLiteral("%1 %2").arg(report->objectName()).arg(report->totalPage());
        if (qobject_cast<ProgressiveReportController *>(report) && report->totalPage() == 2) {
            // Choosing the second student shows their page; the PDF takes every page and the
            // window comes back to the page it showed.
            report->tableView->selectRow(1);
            EXPECT_EQ(report->curPageNum(), 2);
            const QString pdf = out.filePath("progressive.pdf");
            EXPECT_TRUE(report->saveToPDF(pdf));
            EXPECT_EQ(SlideDecks::pdfPageCount(pdf), 2);
            EXPECT_EQ(report->curPageNum(), 2);
            const QString text = SlideDecks::pdfText(pdf);
            EXPECT_TRUE(text.contains("Maths Progressive Report"));
            EXPECT_TRUE(text.contains("Missed Session(s)"));
            EXPECT_TRUE(text.contains("Bo")) << text.toStdString();
        } else if (qobject_cast<SubjectGradeSummaryController *>(report) && report->totalPage() == 2) {
            // The summary's PDF is the page shown.
            report->lastPage();
            const QString pdf = out.filePath("summary.pdf");
            EXPECT_TRUE(report->saveToPDF(pdf));
            EXPECT_EQ(SlideDecks::pdfPageCount(pdf), 1);
            EXPECT_TRUE(SlideDecks::pdfText(pdf).contains("S2"));
            EXPECT_EQ(report->curPageNum(), 2);
        }
        return 0;
    });
    w->doPreview();
    EXPECT_EQ(opened, (QStringList{"ProgressiveReport 1", "AcademicSummary 1", "AcademicSummary 1", "ClassGradeReport 2",
                                   "ProgressiveReport 2", "AcademicSummary 2"}));
}

TEST_F(CourseGradeTest, AnExistingCourseGradeIsReplacedOnlyOnYesAndAFailedWriteIsTold)
{
    SessionSelectController *w = selection();
    for (int r = 0; r < 3; ++r)
        w->setTicked(r, true);
    CreateSubjectGradeReportController first(w);
    first.doSave();
    const QString file = home() + "Data/CourseGrade.xml";
    const QByteArray before = readFile(file);

    CreateSubjectGradeReportController again(w);
    answers.answerAlert(1); // No
    again.doSave();
    EXPECT_EQ(answers.alertTexts().last(), "Record already exists.Do you want to replace it?");
    EXPECT_TRUE(again.btnSave->isEnabled());
    EXPECT_EQ(readFile(file), before);

    AtomicFile::setFailureHook([file](const QString &p) { return p == file; });
    answers.answerAlert(0); // Yes
    again.doSave();
    EXPECT_EQ(answers.alertTexts().last(), "The course grade could not be saved.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty());
    EXPECT_TRUE(again.btnSave->isEnabled());
    EXPECT_EQ(readFile(file), before);
}

TEST_F(CourseGradeTest, ALongTeacherNameIsCutInTheHead)
{
    TeacherEntity t;
    t.setName("Alexandrina Montgomery-Smith"); // 28 characters
    TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(t);
    SessionSelectController w(weight, scale, period, 1, maths, t.no());
    CreateSubjectGradeReportController grade(&w);
    EXPECT_EQ(grade.textTeacher->text(), "Alexandrina Montgomery-S...");
    EXPECT_EQ(grade.totalStudents(), 0);
    EXPECT_EQ(grade.textAverage->text(), "0.0");
}

// The gradebook's alerts as they open over its windows: each draws; with a picture folder set
// (./dev shots) the pictures go there.
TEST_F(CourseGradeTest, AlertsAsTheTeacherSeesThem)
{
    SessionSelectController *w = selection();
    w->show();
    const struct
    {
        const char *name, *text, *why;
    } alerts[] = {{"alert-missing-type",
                   "Homework type session missing.Either create a Homework type session OR Delete Homework type "
                   "session from Set Weight.",
                   ""},
                  {"alert-save-failed", "The course grade could not be saved.", "No space left on device"},
                  {"alert-saved", "Saved successfully.",
                   "The course grade of Maths for class Class A, teacher Kim Lee, grading period "
                   "Fall(2012-09-01~2013-01-31) was saved in /home/teacher/.local/share/Pollix/Data/CourseGrade.xml. "
                   "The Report window lists it under its grading period."}};
    for (const auto &a : alerts) {
        PollixAlert alert("Pollix", a.text, {"OK"}, a.why, w);
        alert.QWidget::show();
        EXPECT_TRUE(Shots::drew(&alert, a.name));
    }
}
