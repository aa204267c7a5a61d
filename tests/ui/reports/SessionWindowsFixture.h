#pragma once

#include "core/reports/ReportTestBase.h"

#include "core/reports/StudentSessionReport.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "support/DialogAnswers.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/TovTableView.h"
#include "ui/gradebook/GradebookWindows.h"
#include "ui/reports/CreateNewSessionController.h"
#include "ui/reports/EditSessionController.h"
#include "ui/reports/ReportController.h"
#include "ui/reports/ReportRegistry.h"
#include "ui/reports/ReportWindows.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <functional>
#include <memory>

// The session windows of the Report window, worked as a teacher would: a class "Demo Class" of
// four students (IDs 1 to 4), the subject "Science" and the teacher Ada Park.
class SessionWindowsFixture : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        ReportController::resetHooks();
        GradebookWindows::installCourseGradeTabs();
        ReportRegistry::clear();
        ReportRegistry::registerBuiltReports();
        ReportWindows::installSessionWindows();
        auto *classes = TovClassXmlDatabase::sharedClassUI();
        const int no = classes->addClassWithName("Demo Class");
        ASSERT_GT(no, 0);
        QList<StudentEntity> students;
        for (const char *name : {"Ann", "Bob", "Cem", "Dia"}) {
            StudentEntity s;
            s.setId(QString::number(students.size() + 1));
            s.setFirstName(name);
            s.setLastName("Lee");
            students << s;
        }
        ASSERT_TRUE(classes->addSomeStudents(students, no));
        SubjectEntity science;
        science.setName("Science");
        ASSERT_TRUE(TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(science));
        TeacherEntity ada;
        ada.setFirstName("Ada");
        ada.setLastName("Park");
        ASSERT_TRUE(TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(ada));
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        ReportController::resetHooks();
        allowWrites();
        ReportTestBase::TearDown();
    }

    // Modal windows go to the handler for their object name; the handler answers the modal code.
    void onModal(const QString &name, std::function<int(QDialog *)> handler) { m_handlers[name] = std::move(handler); }
    void openReportWindow()
    {
        DialogHooks::setModalResponder([this](QDialog *d) {
            const auto handler = m_handlers.value(d->objectName());
            return handler ? handler(d) : 0;
        });
        window = std::make_unique<ReportController>();
    }
    // The session "Quiz, period 2" stored as Data/Quiz/First.xml and the Report window opened on
    // it; the file's path.
    QString storeFirstSession()
    {
        const QString file = writeFile("Data/Quiz/First.xml", testData("reports/student-session/input.xml"));
        openReportWindow();
        return file;
    }
    // An editor with edits left the way the teacher drops them: its close box, and No to the
    // question whether to save them; the window goes.
    void leaveDroppingEdits(EditSessionController &editor)
    {
        answers.answerAlert(1); // No: the edits go
        editor.reject();        // the close box
        EXPECT_FALSE(editor.isVisible());
    }
    void select(const QStringList &sessions)
    {
        window->table1->clearSelection();
        for (int i = 0; i < window->table1Array().size(); ++i)
            if (sessions.contains(window->table1Array()[i].session()))
                window->table1->selectionModel()->select(window->table1->model()->index(i, 0),
                                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    ReportTable1Element row(const QString &session) const
    {
        for (const ReportTable1Element &r : window->table1Array())
            if (r.session() == session)
                return r;
        ADD_FAILURE() << "not listed: " << session.toStdString();
        return {};
    }
    QuizEntity stored(const QString &session) const { return DataManager::getQuizAtPath(row(session).filePath()).value_or(QuizEntity()); }
    // The class average of the Student Session Report of a stored session.
    double reportAverage(const QString &session) const
    {
        const QuizEntity quiz = stored(session);
        const QList<StudentGradeReport> rows = StudentSessionReport::buildRows(quiz, ticked(quiz));
        double sum = 0;
        for (const StudentGradeReport &r : rows)
            sum += r.totalPoints();
        return rows.isEmpty() ? 0 : sum / rows.size();
    }

    // Fills the entry window's full form: the correct answers, then each student's answers to
    // each question (one string per question, a letter per student in ID order).
    static void enterPaperTest(CreateNewSessionController *entry, const QString &name, const QStringList &correct,
                               const QStringList &answers)
    {
        entry->textSession->setText(name);
        entry->textTestTitle->setText(name + " paper");
        entry->cboClass->setCurrentText("Demo Class");
        entry->cboTotalQuestion->setCurrentText(QString::number(correct.size()));
        for (int k = 0; k < correct.size(); ++k) {
            entry->cboQuestion->setCurrentIndex(k);
            entry->textCorrectAnswer->clear();
            QTest::keyClicks(entry->textCorrectAnswer, correct[k].toLower());
            QTest::keyClick(entry->textCorrectAnswer, Qt::Key_Return);
            for (int r = 0; r < entry->tableView->rowCount(); ++r)
                entry->tableView->item(r, 2)->setText(answers[k].mid(r, 1).toLower());
        }
    }

    // The editor of a table's cell, opened as a click opens it (its text all selected).
    static QLineEdit *openCell(QTableWidget *table, int row, int column)
    {
        table->setCurrentCell(row, column);
        table->editItem(table->item(row, column));
        return qobject_cast<QLineEdit *>(QApplication::focusWidget());
    }
    // Return in a cell's editor, and what it sets off (the table takes the text a moment later).
    static void commitCell(QLineEdit *cell)
    {
        QTest::keyClick(cell, Qt::Key_Return);
        QApplication::processEvents();
    }

    DialogAnswers answers;
    std::unique_ptr<ReportController> window;
    QHash<QString, std::function<int(QDialog *)>> m_handlers;
};

// The window shown and active, as the teacher finds it, so that focus moves as clicks make it.
inline bool shownActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}
