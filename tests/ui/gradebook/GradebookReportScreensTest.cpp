#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovGradeLetterXmlDatabase.h"
#include "core/store/TovGradeSessionsXmlDatabase.h"
#include "core/store/TovPeriodXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "platform/Singleton.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "support/ReportShots.h"
#include "ui/gradebook/CreateSubjectGradeReportController.h"
#include "ui/gradebook/GradebookWindows.h"
#include "ui/gradebook/ReportCardController.h"
#include "ui/gradebook/SessionSelectController.h"
#include "ui/reports/ReportController.h"
#include "ui/reports/ReportFrame.h"

#include <QDir>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>

// Every gradebook report window as a person sees it: every window and page looked at draws, in
// every run of the suite; with a picture folder set (./dev shots) the pictures go there, with each
// report's PDF and CSV files beside them. With POLLIX_SCREENSHOT_HOME naming an application folder
// (the demo folder) its first grading period, weight list, letter scale, class, subject and
// teacher are used; else a class of 40 over 24 sessions.
namespace {
class GradebookReportScreensTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        const QString demo = qEnvironmentVariable("POLLIX_SCREENSHOT_HOME");
        if (!demo.isEmpty()) {
            demoApp = std::make_unique<Orvenda_AppDelegate>(demo);
            Orvenda_AppDelegate::setAppDelegate(demoApp.get());
            SingletonRegistry::resetAll();
        } else {
            largeClass();
        }
        GradebookWindows::install();
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        ReportController::resetHooks();
        PollixTest::TearDown();
    }

    // 7A Maths with a teacher of a long name: 40 students (some with long names), 12 exams and 12
    // homeworks of the fall, points-only.
    void largeClass()
    {
        TovClassXmlDatabase::sharedClassUI()->addClassWithName("7A");
        SubjectEntity maths;
        maths.setName("Maths");
        TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(maths);
        TeacherEntity teacher;
        teacher.setName("Professor Konstantin Alexandrov");
        TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(teacher);
        for (int k = 0; k < 24; ++k) {
            QuizEntity quiz;
            const bool exam = k % 2 == 0;
            quiz.setName(QStringLiteral("%1 %2%3").arg(exam ? "Exam" : "Homework").arg(k / 2 + 1).arg(k == 4 ? ": fractions, decimals and percentages revisited" : ""));
            quiz.setDate(QStringLiteral("2012-%1-%2T09:00:00").arg(9 + k / 8, 2, 10, QLatin1Char('0')).arg(1 + (k % 8) * 3, 2, 10, QLatin1Char('0')));
            quiz.setActionType("1");
            quiz.setClassName("7A");
            quiz.setSubject("Maths");
            quiz.setTeacherName(teacher.name());
            quiz.setSessionType(exam ? "Exam" : "Homework");
            quiz.setTotalMark(exam ? "50" : "20");
            for (int i = 1; i <= 40; ++i) {
                StudentEntity s;
                s.setId(QStringLiteral("S%1").arg(i, 2, 10, QLatin1Char('0')));
                s.setFirstName(i % 9 == 0 ? QStringLiteral("Bartholomew Maximilian") : QStringLiteral("Pupil"));
                s.setLastName(QString::number(i));
                s.setTotalMark(QString::number((exam ? 50 : 20) * ((i * 37 + k * 11) % 100) / 100.0));
                quiz.allStudents() << s;
            }
            EXPECT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName(quiz.name(), quiz));
        }
        PeriodEntity fall;
        fall.setTitle("Fall");
        fall.setDateFrom("2012-09-01");
        fall.setDateTo("2013-01-31");
        TovPeriodXmlDatabase::sharedUI()->addWithData(fall);
        WeightEntity weight;
        weight.setTitle("Exams and homework");
        for (const auto &[type, w] : {std::pair{"Exam", 60.0f}, {"Homework", 40.0f}}) {
            SessionTypeInWeight e;
            e.setSessionType(type);
            e.setIsSelect(true);
            e.setWeight(w);
            weight.sessionTypesInWeight() << e;
        }
        TovWeightAndSessionTypeXmlDatabase::sharedUI()->addWeightWithData(weight);
        LetterGradeEntity scale;
        scale.setTitle("Letters A to F");
        for (const auto &[name, from, to] :
             {std::tuple{"A", 90, 100}, {"B", 80, 89}, {"C", 70, 79}, {"D", 60, 69}, {"F", 0, 59}}) {
            LetterEntity l;
            l.setLetter(name);
            l.setPointFrom(from);
            l.setPointTo(to);
            scale.letterList() << l;
        }
        TovGradeLetterXmlDatabase::sharedUI()->addWithData(scale);
    }
    std::unique_ptr<Orvenda_AppDelegate> demoApp;
    DialogAnswers answers;
};
} // namespace

TEST_F(GradebookReportScreensTest, EveryGradebookReport)
{
    const auto first = [](const auto &list) { return list.isEmpty() ? std::decay_t<decltype(list.first())>() : list.first(); };
    const PeriodEntity period = first(TovPeriodXmlDatabase::sharedUI()->periodList());
    const WeightEntity weight = first(TovWeightAndSessionTypeXmlDatabase::sharedUI()->weightList());
    const LetterGradeEntity scale = first(TovGradeLetterXmlDatabase::sharedUI()->gradeLetterList());
    const SubjectEntity subject = first(TovSubjectXmlDatabase::sharedSubjectUI()->subjectList());
    const int classNo = first(TovClassXmlDatabase::sharedClassUI()->classList()).no();
    const int teacherNo = first(TovTeacherXmlDatabase::sharedUI()->teacherList()).no();
    SessionSelectController selection(weight, scale, period, classNo, subject, teacherNo);
    selection.show();
    ASSERT_GT(selection.tableSession->rowCount(), 0);
    for (int r = 0; r < selection.tableSession->rowCount(); ++r)
        selection.setTicked(r, true);
    int shown = 0;
    DialogHooks::setModalResponder([&](QDialog *d) {
        if (auto *grade = qobject_cast<CreateSubjectGradeReportController *>(d)) {
            grade->show();
            grade->tableLeft->selectAll();
            for (int r = 0; r < 4; ++r) {
                grade->tableRight->setCurrentRow(r);
                grade->doPreview();
            }
            grade->doSave();
        } else if (auto *report = qobject_cast<ReportFrame *>(d)) {
            ReportShots::shootReportWindow(report, report->objectName() + QString::number(++shown));
        }
        return 0;
    });
    selection.doPreview();
    EXPECT_EQ(shown, 4);

    // The report cards of the course grade just saved.
    const QList<CourseGradeEntity> grades = TovGradeSessionsXmlDatabase::sharedUI()->courseGradeList();
    ASSERT_FALSE(grades.isEmpty());
    QList<SelectStudents> students;
    for (const CourseGradeDetail &d : grades.first().allGradeDetails()) {
        SelectStudents s;
        s.setStudentID(d.studentID());
        s.setStudentName(d.studentName());
        s.setIsSelected(true);
        students << s;
    }
    ReportCardController cards(grades, students);
    ReportShots::shootReportWindow(&cards, QStringLiteral("ReportCard"));
}
