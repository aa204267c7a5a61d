#include "GradebookUiFixture.h"
#include "support/RealAlerts.h"

#include "core/gradebook/GradebookNameRecords.h"
#include "core/store/DataManager.h"
#include "core/store/GlobalFunctions.h"
#include "core/store/TovCourseGradeXmlDatabase.h"
#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovQuizXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "ui/controls/MyComboBox.h"
#include "ui/gradebook/GradebookWindows.h"
#include "ui/gradebook/ImportCourseGradeController.h"
#include "ui/gradebook/NewSubjectGradeController.h"
#include "ui/reports/ReportController.h"

#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {
// A points-only session of 7A on 2012-10-10 and a quiz on 2012-10-01, listed in the Report window.
class PointsOnlySessionTest : public GradebookUiFixture
{
protected:
    void SetUp() override
    {
        GradebookUiFixture::SetUp();
        ReportController::resetHooks();
        GradebookWindows::install();
        QuizEntity quiz;
        quiz.setName("Quiz");
        quiz.setDate(QStringLiteral("2012-10-01T09:00:00"));
        quiz.setActionType("1");
        quiz.setClassName("7A");
        EXPECT_TRUE(TovQuizXmlDatabase().addQuizWithName("Quiz", quiz));
        QuizEntity graded = lab("");
        EXPECT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("Lab", graded, &m_path));
        TovFastQuizXmlDatabase::sharedFastQuiz()->reloadQuiz();
    }
    void TearDown() override
    {
        ReportController::resetHooks();
        GradebookNameRecords::install(nullptr);
        GradebookUiFixture::TearDown();
    }
    static QuizEntity lab(const QString &total)
    {
        QuizEntity q;
        q.setName("Lab report");
        q.setDate(QStringLiteral("2012-10-10T10:00:00"));
        q.setActionType("1");
        q.setClassName("7A");
        q.setSubject("Maths");
        q.setTeacherName("Kim Lee");
        q.setSessionType("Lab");
        q.setTotalMark(total);
        for (const auto &[id, first, points] : {std::tuple{"10", "Cy", "40"}, {"2", "Bo", "70"}, {"x", "Al", "5"}}) {
            StudentEntity s;
            s.setId(id);
            s.setFirstName(first);
            s.setLastName("Lee");
            s.setTotalMark(points);
            q.allStudents() << s;
        }
        return q;
    }
    ReportTable1Element row() const
    {
        for (const ReportTable1Element &r : report->table1Array())
            if (r.flag() == 2)
                return r;
        return ReportTable1Element();
    }
    static QStringList points(QTableWidget *table)
    {
        QStringList out;
        for (int r = 0; r < table->rowCount(); ++r)
            out << table->item(r, 0)->text() + "=" + table->item(r, 2)->text();
        return out;
    }
    std::unique_ptr<ReportController> report = nullptr;
    QString m_path;
};
} // namespace

TEST_F(PointsOnlySessionTest, EditingChecksTheTotalsAndWritesTheTypeAsTyped)
{
    report = std::make_unique<ReportController>();
    NewSubjectGradeController editor(report.get(), row());
    editor.show();
    EXPECT_EQ(editor.textTotalPoint->text(), "100");
    EXPECT_FALSE(editor.bntSave->isEnabled());
    // Sorted by the number the ID starts with; an ID without one counts as 0.
    EXPECT_EQ(points(editor.studentListTable), (QStringList{"x=5", "2=70", "10=40"}));
    EXPECT_EQ(editor.cmbClass->count(), 1);

    editCell(editor.studentListTable, 1, 2, "101");
    EXPECT_EQ(answers.alertTexts().last(), "Please enter the correct point .");
    QTest::keyClick(openEditor(editor.studentListTable), Qt::Key_Escape);
    editCell(editor.studentListTable, 1, 2, "100");
    EXPECT_TRUE(editor.bntSave->isEnabled());
    editor.textTotalPoint->setText("90");
    editor.doSave();
    EXPECT_EQ(answers.alertTexts().last(), "Total Points should be higher than Student Points.");
    EXPECT_EQ(editor.textTotalPoint->text(), "100");

    editor.cmbSubject->setCurrentIndex(0);
    editor.doSaveAndClose();
    EXPECT_EQ(answers.alertTexts().last(), "Please Select a Subject .");
    EXPECT_TRUE(editor.isVisible());
    editor.cmbSubject->setCurrentIndex(1);

    // A type holding quotes is written as typed, and a new date moves the session.
    SessionTypeEntity type;
    type.setName("Teacher's \"lab\"");
    TovWeightAndSessionTypeXmlDatabase::sharedUI()->addSessionTypeWithData(type);
    editor.cmbType->addItem(type.name());
    editor.cmbType->setCurrentIndex(editor.cmbType->count() - 1);
    editor.datePicker->setDate(QDate(2012, 11, 20));
    shoot(&editor, "points-only-editor");
    editor.doSave();
    EXPECT_EQ(answers.alertTexts().last(), "Successfully Edited.");
    EXPECT_FALSE(editor.bntSave->isEnabled());
    const std::optional<QuizEntity> saved = DataManager::getQuizAtPath(m_path);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->sessionType(), "Teacher's \"lab\"");
    EXPECT_EQ(saved->totalMark(), "100");
    EXPECT_EQ(saved->allStudents().at(1).totalMark(), "100");
    EXPECT_EQ(saved->allStudents().at(1).firstName(), "Bo");
    // The list's range now reaches the new date, and the session is selected again.
    EXPECT_EQ(report->lastestDate(), "2012-11-20");
    EXPECT_EQ(report->selectedRows().value(0).session(), "Lab report");
}

TEST_F(PointsOnlySessionTest, AFailedWriteIsToldAndAFailedSaveKeepsTheWindowOpen)
{
    report = std::make_unique<ReportController>();
    NewSubjectGradeController editor(report.get(), row());
    editor.show();
    const QByteArray before = readFile(m_path);
    editCell(editor.studentListTable, 0, 2, "6");
    AtomicFile::setFailureHook([this](const QString &p) { return p == m_path; });
    answers.answerAlert(0); // Yes, save
    editor.close();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(answers.alertTexts().mid(answers.alertTexts().size() - 2),
              (QStringList{"Do you want to save the change?", "The session could not be saved."}));
    EXPECT_FALSE(answers.alertTexts().contains("Successfully Edited."));
    EXPECT_EQ(readFile(m_path), before);
    AtomicFile::setFailureHook({});
    answers.answerAlert(1); // No: close without saving
    editor.doClose();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(readFile(m_path), before);
}

TEST_F(PointsOnlySessionTest, AnImportedFileNeverReplacesAnotherSessionsFile)
{
    report = std::make_unique<ReportController>();
    // A file from another installation named like the stored one, of another session.
    QuizEntity other = lab("50");
    other.setName("Essay");
    QTemporaryDir elsewhere;
    const QString source = elsewhere.path() + "/" + QFileInfo(m_path).fileName();
    {
        QuizEntity copy = other;
        QString written;
        ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("Essay", copy, &written));
        ASSERT_TRUE(QFile::rename(written, source));
        TovFastQuizXmlDatabase::sharedFastQuiz()->reloadQuiz();
    }
    const QByteArray stored = readFile(m_path);
    ImportCourseGradeController importer(source, report.get());
    importer.show();
    EXPECT_EQ(importer.sessionName->text(), "Essay");
    EXPECT_EQ(importer.date->text(), "2012-10-10");
    EXPECT_EQ(importer.tableView->rowCount(), 3);
    shoot(&importer, "points-only-import");
    importer.doImport();
    EXPECT_EQ(answers.alertTexts().last(), "Import was successful.");
    EXPECT_EQ(readFile(m_path), stored);
    const QStringList files = DataManager::getCourseGradeFile().value_or(QStringList());
    EXPECT_EQ(files.size(), 2) << files.join(", ").toStdString();

    // The same header again is refused; nothing more is copied.
    ImportCourseGradeController again(source, report.get());
    again.doImport();
    EXPECT_EQ(answers.alertTexts().last(), "The session already exists.");
    EXPECT_EQ(DataManager::getCourseGradeFile().value_or(QStringList()).size(), 2);
}

TEST_F(PointsOnlySessionTest, ACopyThatFailsRegistersNothing)
{
    report = std::make_unique<ReportController>();
    QuizEntity other = lab("50");
    other.setName("Essay");
    QTemporaryDir elsewhere;
    QString written;
    ASSERT_TRUE(TovCourseGradeXmlDatabase().addQuizWithName("Essay", other, &written));
    const QString source = elsewhere.path() + "/Essay.xml";
    ASSERT_TRUE(QFile::rename(written, source));
    TovFastQuizXmlDatabase::sharedFastQuiz()->reloadQuiz();
    const qsizetype listed = TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults().size();
    const QString folder = home() + "Data/CourseGrade/";
    AtomicFile::setFailureHook([folder](const QString &p) { return p.startsWith(folder); });
    ImportCourseGradeController importer(source, report.get());
    importer.doImport();
    EXPECT_EQ(answers.alertTexts().last(), "The session could not be imported.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty());
    EXPECT_EQ(TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults().size(), listed);
}

// "Do you want to save the change?" comes up for real: Escape on it, or its close box, goes back
// to the editor with the points typed, whichever way out of the editor asked it.
TEST_F(PointsOnlySessionTest, EscapeOrTheCloseBoxOnTheQuestionKeepsThePointsTyped)
{
    report = std::make_unique<ReportController>();
    NewSubjectGradeController editor(report.get(), row());
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    const QByteArray before = readFile(m_path);
    editCell(editor.studentListTable, 0, 2, "6");
    for (const auto &wayOut : RealAlerts::waysOut(&editor, editor.bntClose)) {
        for (RealAlerts::Way way : {RealAlerts::Way::Escape, RealAlerts::Way::CloseBox}) {
            RealAlerts real;
            real.leave(way);
            wayOut();
            EXPECT_EQ(real.seen().size(), 1);
            EXPECT_TRUE(real.seen().value(0).startsWith("Do you want to save the change")) << real.seen().value(0).toStdString();
            EXPECT_EQ(real.stuck(), 0);
            EXPECT_TRUE(editor.isVisible());
            EXPECT_EQ(points(editor.studentListTable), (QStringList{"x=6", "2=70", "10=40"}));
        }
    }
    EXPECT_EQ(readFile(m_path), before);
    RealAlerts real;
    real.click(1); // No
    QTest::mouseClick(editor.bntClose, Qt::LeftButton);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(readFile(m_path), before);
}

// A new title and total saved are no change left: Save and Close closes, and so do Close, Escape
// and the close box after a Save, without asking.
TEST_F(PointsOnlySessionTest, ATitleAndTotalSavedAreNotAskedAboutAgain)
{
    report = std::make_unique<ReportController>();
    for (int way = 0; way < 3; ++way) {
        NewSubjectGradeController editor(report.get(), row());
        editor.show();
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
        QTest::mouseClick(editor.textSession, Qt::LeftButton);
        QTest::keyClick(editor.textSession, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor.textSession, QStringLiteral("Lab %1/2: report").arg(way));
        QTest::mouseClick(editor.textTotalPoint, Qt::LeftButton);
        QTest::keyClick(editor.textTotalPoint, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor.textTotalPoint, "120");
        RealAlerts real;
        real.click(0); // OK on "Successfully Edited."
        if (way == 0) {
            QTest::mouseClick(editor.bntSaveAndClose, Qt::LeftButton);
        } else {
            QTest::mouseClick(editor.bntSave, Qt::LeftButton);
            if (way == 1)
                RealAlerts::pressEscape(&editor);
            else
                RealAlerts::closeBox(&editor);
        }
        ASSERT_EQ(real.seen().size(), 1) << way;
        EXPECT_TRUE(real.seen().first().startsWith("Successfully Edited.")) << way;
        EXPECT_FALSE(editor.isVisible()) << way;
        const std::optional<QuizEntity> saved = DataManager::getQuizAtPath(m_path);
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->name(), QStringLiteral("Lab %1/2: report").arg(way));
        EXPECT_EQ(saved->totalMark(), "120");
    }
}

// The close box and Escape leave the focus where it is: points still being typed in their cell,
// or a title being typed, count as edits there as they do for a click on Close.
TEST_F(PointsOnlySessionTest, PointsOrATitleStillBeingTypedAreAskedAboutByTheCloseBoxAndEscape)
{
    report = std::make_unique<ReportController>();
    const QByteArray before = readFile(m_path);
    {
        NewSubjectGradeController editor(report.get(), row());
        editor.show();
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
        ASSERT_TRUE(typeInCell(editor.studentListTable, 0, 2, "6"));
        RealAlerts real;
        real.leave(RealAlerts::Way::Escape);
        RealAlerts::closeBox(&editor);
        EXPECT_EQ(real.seen(), QStringList{"Do you want to save the change?"});
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(points(editor.studentListTable).first(), "x=6");
    }
    {
        NewSubjectGradeController editor(report.get(), row());
        editor.show();
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
        QTest::mouseClick(editor.textSession, Qt::LeftButton);
        QTest::keyClick(editor.textSession, Qt::Key_End);
        QTest::keyClicks(editor.textSession, " 2");
        RealAlerts real;
        real.leave(RealAlerts::Way::CloseBox);
        RealAlerts::pressEscape(&editor);
        EXPECT_EQ(real.seen(), QStringList{"Do you want to save the change ?"});
        EXPECT_EQ(real.stuck(), 0);
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(editor.textSession->text(), "Lab report 2");
    }
    EXPECT_EQ(readFile(m_path), before);
}
