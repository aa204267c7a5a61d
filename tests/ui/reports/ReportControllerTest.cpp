#include "core/reports/ReportTestBase.h"

#include "core/store/TovFastQuizXmlDatabase.h"
#include "core/store/TovWeightAndSessionTypeXmlDatabase.h"
#include "support/ControlPresser.h"
#include "support/DialogAnswers.h"
#include "support/TableLook.h"
#include "ui/controls/MyComboBox.h"
#include "ui/controls/TovTableView.h"
#include "ui/gradebook/GradebookWindows.h"
#include "core/base/ActivityCodes.h"
#include "ui/reports/ClassResponseReportController.h"
#include "ui/reports/CorrectRateStatisticsByAnswerTimeController.h"
#include "ui/reports/CreateReportController.h"
#include "ui/reports/EditSessionController.h"
#include "ui/reports/ReportController.h"
#include "ui/reports/ReportRegistry.h"
#include "ui/reports/ReportWindows.h"
#include "ui/reports/ResultOfEliminationReportController.h"
#include "ui/reports/StudentGradeReportController.h"

#include <QCheckBox>
#include <QDir>
#include <QDateEdit>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTableView>
#include <QTreeView>

namespace {
class ReportControllerTest : public ReportTestBase
{
protected:
    void SetUp() override
    {
        ReportTestBase::SetUp();
        ReportController::resetHooks();
        GradebookWindows::installCourseGradeTabs();
        ReportRegistry::clear();
        ReportRegistry::registerBuiltReports();
    }
    void TearDown() override
    {
        DialogHooks::setModalResponder({});
        ReportController::resetHooks();
        ReportTestBase::TearDown();
    }
    // A session file made from the student-session case with its own header values.
    QString addSession(const QString &name, const QString &created, const QString &mode = "1",
                       const QString &title = "Week 3", const QString &id = {})
    {
        QByteArray xml = testData("reports/student-session/input.xml");
        const auto swap = [&xml](const char *tag, const QString &value) {
            const QByteArray open = QByteArray("<") + tag + ">", close = QByteArray("</") + tag + ">";
            const qsizetype from = xml.indexOf(open) + open.size();
            xml.replace(from, xml.indexOf(close, from) - from, value.toUtf8());
        };
        swap("Name", name);
        swap("DateCreated", created);
        swap("Mode", mode);
        swap("Title", title);
        swap("ID", id.isEmpty() ? name + "-id" : id);
        return writeFile("Data/Quiz/" + name + ".xml", xml);
    }
    QStringList listed() const
    {
        QStringList out;
        for (const ReportTable1Element &row : window->table1Array())
            out << row.session();
        return out;
    }
    void open() { window = std::make_unique<ReportController>(); }
    void select(const QString &session)
    {
        window->table1->clearSelection();
        for (int i = 0; i < window->table1Array().size(); ++i)
            if (window->table1Array()[i].session() == session)
                window->table1->selectRow(i);
    }

    DialogAnswers answers;
    std::unique_ptr<ReportController> window;
    QTemporaryDir out;
};
} // namespace

TEST_F(ReportControllerTest, ListsEverySessionNewestFirstWithTheDaysItSpans)
{
    addSession("Monday", "2012-03-19T09:00:00");
    addSession("Friday late", "2012-03-23T15:00:00");
    addSession("Friday early", "2012-03-23T09:00:00", "2", "Week 4");
    addSession("Vote", "2012-03-21T10:00:00", "15");
    open();
    EXPECT_EQ(listed(), (QStringList{"Friday late", "Friday early", "Vote", "Monday"}));
    EXPECT_EQ(window->curFromDate(), "2012-03-19");
    EXPECT_EQ(window->curToDate(), "2012-03-23");
    EXPECT_EQ(window->cboActivityMode1->count(), 9);
    EXPECT_EQ(window->cboActivityMode1->itemText(8), "Attendance");
    EXPECT_EQ(window->cboType1->itemText(2), "Exam");
    EXPECT_EQ(window->cboTestTitle1->count(), 3);
    EXPECT_TRUE(window->tabView->isTabEnabled(1));
    EXPECT_TRUE(window->tabView->isTabEnabled(2));
    // The newest is chosen; what is not built yet is not offered.
    EXPECT_EQ(window->selectedRows().value(0).session(), "Friday late");
    EXPECT_TRUE(window->btnReport1->isEnabled());
    EXPECT_TRUE(window->btnExport1->isEnabled());
    EXPECT_TRUE(window->btnDelete->isEnabled());
    for (QPushButton *b : {window->btnNew1, window->btnEdit1, window->btnImport, window->btnMerge1})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    // A vote is reported on, not exported.
    select("Vote");
    EXPECT_FALSE(window->btnExport1->isEnabled());
    EXPECT_TRUE(window->btnReport1->isEnabled());

    // Filters: one day, both ends included; a title, kept when a day changes while its box shows "All".
    window->dateFrom1->setDate(QDate(2012, 3, 23));
    EXPECT_EQ(listed(), (QStringList{"Friday late", "Friday early"}));
    window->dateFrom1->setDate(QDate(2012, 3, 19));
    window->cboTestTitle1->setCurrentText("Week 4");
    EXPECT_EQ(listed(), (QStringList{"Friday early"}));
    window->dateTo1->setDate(QDate(2012, 3, 24));
    EXPECT_EQ(listed(), (QStringList{"Friday early"}));
    EXPECT_EQ(window->cboTestTitle1->currentText(), "All");
    window->cboActivityMode1->setCurrentText("Vote");
    EXPECT_EQ(listed(), (QStringList{"Vote"}));
    window->cboActivityMode1->setCurrentText("Rush Quiz");
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_FALSE(window->btnReport1->isEnabled());
    EXPECT_FALSE(window->btnDelete->isEnabled());
}

TEST_F(ReportControllerTest, NoSessionsShowTodayAndOfferNothingToActOn)
{
    open();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_EQ(window->curFromDate(), "2012-03-23");
    EXPECT_EQ(window->curToDate(), "2012-03-23");
    for (QPushButton *b : {window->btnEdit1, window->btnMerge1, window->btnDelete, window->btnExport1, window->btnReport1})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
}

TEST_F(ReportControllerTest, ExportCopiesTheFileAndSaysSoOnlyWhenItDid)
{
    const QString file = addSession("Quiz, period 2", "2012-03-23T09:00:00");
    open();
    answers.answerFile(out.filePath("copy"));
    window->btnExport1->click();
    ASSERT_EQ(answers.fileDialogs().size(), 1);
    EXPECT_EQ(answers.fileDialogs()[0].proposedName, "Quiz, period 2.xml");
    EXPECT_EQ(readFile(out.filePath("copy.xml")), readFile(file));
    EXPECT_EQ(answers.alertTexts(), QStringList{"Exported successfully."});
    EXPECT_EQ(answers.alerts()[0].informativeText, "Saved to " + QDir::toNativeSeparators(out.filePath("copy.xml")));

    answers.answerFile(out.filePath("no such folder/copy.xml"));
    window->btnExport1->click();
    ASSERT_EQ(answers.alerts().size(), 2);
    EXPECT_EQ(answers.alerts()[1].text, "The session could not be exported.");
    EXPECT_FALSE(answers.alerts()[1].informativeText.isEmpty());
}

TEST_F(ReportControllerTest, ImportRefusesAFileThatIsNotWellFormedAndSaysOnWhichLine)
{
    addSession("Monday", "2012-03-19T09:00:00");
    QStringList previewed;
    ReportController::hooks().importSession = [&](ReportController *, const QString &path) { previewed << path; };
    open();
    window->show();
    // A session exported elsewhere, with a second element after it on line 4.
    const QString file = out.filePath("two roots.xml");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(testData("reports/student-session/input.xml").trimmed() + "\n\n<Session><ID>x</ID></Session>\n");
    f.close();
    answers.answerFile(file);
    QTest::mouseClick(window->btnImport, Qt::LeftButton);
    ASSERT_EQ(answers.alerts().size(), 1);
    EXPECT_EQ(answers.alerts()[0].text, "The file cannot be imported.");
    EXPECT_TRUE(answers.alerts()[0].informativeText.contains("not well-formed XML"));
    EXPECT_TRUE(answers.alerts()[0].informativeText.contains("line 4")) << answers.alerts()[0].informativeText.toStdString();
    EXPECT_TRUE(previewed.isEmpty());
    EXPECT_EQ(listed(), QStringList{"Monday"});
}

TEST_F(ReportControllerTest, DeleteAsksFirstAndRemovesTheChosenFiles)
{
    const QString monday = addSession("Monday", "2012-03-19T09:00:00");
    const QString friday = addSession("Friday", "2012-03-23T09:00:00");
    open();
    select("Monday");
    answers.answerAlert(1); // Cancel
    window->btnDelete->click();
    EXPECT_TRUE(QFileInfo::exists(monday));
    answers.answerAlert(0);
    window->btnDelete->click();
    EXPECT_EQ(answers.alertTexts().last(), "Do you want to delete the selected sessions?");
    EXPECT_FALSE(QFileInfo::exists(monday));
    EXPECT_TRUE(QFileInfo::exists(friday));
    EXPECT_EQ(listed(), QStringList{"Friday"});
    EXPECT_EQ(window->curFromDate(), "2012-03-23");
    EXPECT_EQ(TovFastQuizXmlDatabase::sharedFastQuiz()->allSessionXmlParsedResults().size(), 1);
}

TEST_F(ReportControllerTest, ReportOpensTheChosenFileEvenWhenAnotherSharesItsID)
{
    addSession("Original", "2012-03-19T09:00:00", "1", "Week 3", "shared-id");
    addSession("Imported copy", "2012-03-23T09:00:00", "1", "Week 3", "shared-id");
    open();
    QStringList opened;
    DialogHooks::setModalResponder([&opened](QDialog *d) {
        if (auto *chooser = qobject_cast<CreateReportController *>(d))
            opened << chooser->quize().name();
        return 0;
    });
    select("Original");
    window->btnReport1->click();
    select("Imported copy");
    window->btnReport1->click();
    EXPECT_EQ(opened, (QStringList{"Original", "Imported copy"}));
}

TEST_F(ReportControllerTest, ChooserOffersTheSessionsReportsAndOpensTheBuiltOnes)
{
    QString path;
    session("student-session", &path);
    // Two reports built, whatever else is: the others are offered greyed.
    ReportRegistry::clear();
    ReportRegistry::registerReport("Student Session Report", [](QWidget *parent, const QuizEntity &quiz,
                                                                QList<SelectStudents> &students) {
        StudentGradeReportController window(quiz, students, parent);
        DialogHooks::runModal(&window);
    });
    ReportRegistry::registerReport("Class Response Report", [](QWidget *parent, const QuizEntity &quiz,
                                                               QList<SelectStudents> &) {
        ClassResponseReportController window(quiz, parent);
        DialogHooks::runModal(&window);
    });
    CreateReportController chooser(0, "Normal Quiz", "student-session-id", path);
    ASSERT_TRUE(chooser.isLoaded());
    // A Dravel Normal Quiz without groups: eleven reports; those not built are there but greyed.
    ASSERT_EQ(chooser.tableReportFormat->rowCount(), 11);
    const auto enabled = [&chooser](int row) {
        return bool(chooser.tableReportFormat->item(row, 0)->flags() & Qt::ItemIsEnabled);
    };
    EXPECT_FALSE(enabled(0));
    EXPECT_TRUE(enabled(5));
    EXPECT_EQ(chooser.reportNameAt(5), "Student Session Report");
    EXPECT_TRUE(enabled(6));
    EXPECT_FALSE(enabled(7));
    EXPECT_EQ(chooser.tableStudent->item(2, 1)->text(), "007");

    QStringList opened;
    DialogHooks::setModalResponder([&opened](QDialog *d) {
        opened << d->objectName();
        return 0;
    });
    // A report of ticked students needs one first.
    chooser.tableReportFormat->selectRow(5);
    EXPECT_TRUE(chooser.btnPreview->isEnabled());
    chooser.btnPreview->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Please select at least one student first."});
    EXPECT_TRUE(opened.isEmpty());
    chooser.tableStudent->item(1, 0)->setCheckState(Qt::Checked);
    EXPECT_TRUE(chooser.tableStudentArray()[1].isSelected());
    chooser.btnPreview->click();
    EXPECT_EQ(opened, QStringList{"StudentGradeReport"});

    // The class-wide ones take everybody, and the list shows it afterwards.
    chooser.tableReportFormat->selectRow(6);
    chooser.btnPreview->click();
    EXPECT_EQ(opened.last(), "ClassResponseReport");
    EXPECT_TRUE(chooser.btnSelectAll->isChecked());
    for (int r = 0; r < chooser.tableStudent->rowCount(); ++r)
        EXPECT_EQ(chooser.tableStudent->item(r, 0)->checkState(), Qt::Checked);

    // A greyed report cannot be chosen.
    chooser.tableReportFormat->selectRow(0);
    EXPECT_FALSE(chooser.btnPreview->isEnabled());
}

TEST_F(ReportControllerTest, EveryEnabledControlLeadsSomewhere)
{
    addSession("Monday", "2012-03-19T09:00:00");
    addSession("Friday", "2012-03-23T09:00:00", "2", "Week 4");
    open();
    window->show();
    for (int i = 0; i < 4; ++i)
        answers.answerFile(out.filePath(QString("file%1").arg(i)));
    ControlPresser presser([this] {
        return QStringLiteral("%1 alerts, %2 panels").arg(answers.alerts().size()).arg(answers.fileDialogs().size());
    });
    // The filters last: a filter that lists nothing leaves the buttons nothing to act on.
    presser.pressAll(window.get(), {"btnDelete", "cboTestTitle1", "cboActivityMode1", "cboType1", "cboFlag1",
                                    "cboClass1", "cboSubject1", "cboTeacher1"});
    EXPECT_TRUE(presser.inert().isEmpty()) << presser.inert().join(", ").toStdString();
    EXPECT_TRUE(presser.dialogsOpened().contains("CreateReport"));

    // The report window too: its buttons all move or write something.
    const QuizEntity quiz = withStudents(session("student-session"), 60);
    StudentGradeReportController report(quiz, ticked(quiz));
    report.show();
    ControlPresser reportPresser([this, &report] {
        return QStringLiteral("%1 alerts, %2 panels, page %3")
            .arg(answers.alerts().size())
            .arg(answers.fileDialogs().size())
            .arg(report.curPageNum());
    });
    reportPresser.pressAll(&report);
    EXPECT_TRUE(reportPresser.inert().isEmpty()) << reportPresser.inert().join(", ").toStdString();
}

TEST_F(ReportControllerTest, EachSessionKindOpensItsOwnReportWindows)
{
    QStringList opened;
    DialogHooks::setModalResponder([&opened](QDialog *d) {
        if (auto *frame = qobject_cast<ReportFrame *>(d))
            opened << d->objectName() + QLatin1Char(':') + QString::number(frame->totalPage());
        return 0;
    });
    const struct
    {
        const char *caseName;
        int code;
        const char *report;
    } cases[] = {{"vote", StoredActivity::Vote, "Vote Report"},
                 {"attendance", StoredActivity::Attendance, "Attendance"},
                 {"correct-rate", StoredActivity::NormalQuiz, "Correct Rate Statistics"},
                 {"result-by-question", StoredActivity::RushQuiz, "Result By Question(Answer Detail)"},
                 {"result-by-question", StoredActivity::RushQuiz, "Result By Question(Scores)"},
                 {"elimination", StoredActivity::Elimination, "Result Of Elimination"}};
    for (const auto &c : cases) {
        QString path;
        session(c.caseName, &path);
        CreateReportController chooser(0, DataManager::getActModeNameByActModeNo(c.code), QString(c.caseName) + "-id", path);
        ASSERT_TRUE(chooser.isLoaded()) << c.caseName;
        chooser.btnSelectAll->click();
        for (int r = 0; r < chooser.tableReportFormat->rowCount(); ++r)
            if (chooser.reportNameAt(r) == QLatin1String(c.report)) {
                chooser.tableReportFormat->selectRow(r);
                EXPECT_TRUE(chooser.btnPreview->isEnabled()) << c.report;
                chooser.btnPreview->click();
            }
    }
    EXPECT_EQ(opened, (QStringList{"VoteReport:1", "RollCall:2", "CorrectRateStatisticsByAnswerTime:4",
                                   "ResultByQuestion:2", "ResultByQuestion:2", "ResultOfElimination:6"}));

    // A points-only session opens its points list straight from the Report window.
    ReportWindows::install();
    writeFile("Data/CourseGrade/points-list.xml", testData("reports/points-list/input.xml"));
    open();
    select("Course grade, term 1");
    ASSERT_TRUE(window->btnReport1->isEnabled());
    window->btnReport1->click();
    EXPECT_EQ(opened.last(), "StudentPointsList:1");
}

TEST_F(ReportControllerTest, OutlineAndListsBesideThePagesLeadToTheirPages)
{
    const QuizEntity rate = session("correct-rate");
    CorrectRateStatisticsByAnswerTimeController window(rate, ticked(rate, {"9"}));
    ASSERT_NE(window.outlineView, nullptr);
    const QAbstractItemModel *model = window.outlineView->model();
    // The second question's second band: its question's first page.
    window.outlineView->setCurrentIndex(model->index(1, 0, model->index(1, 0)));
    EXPECT_EQ(window.curPageNum(), 3);
    EXPECT_FALSE(window.btnNext->isEnabled());
    window.outlineView->setCurrentIndex(model->index(0, 0));
    EXPECT_EQ(window.curPageNum(), 1);

    const QuizEntity knockOut = session("elimination");
    ResultOfEliminationReportController elimination(knockOut, ticked(knockOut), 0);
    ASSERT_NE(elimination.tableView, nullptr);
    elimination.tableView->selectRow(2);
    EXPECT_EQ(elimination.curPageNum(), 5);
    EXPECT_TRUE(elimination.btnPrevious->isEnabled());
}

// A session file damaged in its header is listed by its file name and says it cannot be read,
// in red; its reports are refused with that reason, and the sessions beside it are untouched.
TEST_F(ReportControllerTest, ADamagedSessionFileIsListedByItsNameAndItsReportsAreRefusedWithTheReason)
{
    addSession("Monday", "2012-03-19T09:00:00");
    QByteArray cut = testData("reports/student-session/input.xml");
    cut.truncate(cut.indexOf("<Mode>"));
    writeFile("Data/Quiz/Cut short.xml", cut);
    open();
    // The day its header still holds places it among the others.
    EXPECT_EQ(listed(), (QStringList{"Cut short.xml", "Monday"}));
    const QAbstractItemModel *model = window->table1->model();
    EXPECT_EQ(model->index(0, 0).data().toString(), "Cut short.xml");
    const QString why = "it ends before its header does (the file was cut short)";
    EXPECT_EQ(model->index(0, 1).data().toString(), "Cannot be read: " + why);
    EXPECT_TRUE(model->index(0, 0).data(Qt::ForegroundRole).isValid());
    EXPECT_GT(window->table1->columnSpan(0, 1), 1) << "the reason runs across the empty columns";
    EXPECT_EQ(window->table1->columnSpan(1, 1), 1);
    EXPECT_EQ(model->index(1, 1).data().toString(), "Week 3");
    EXPECT_FALSE(model->index(1, 0).data(Qt::ForegroundRole).isValid());

    QStringList opened;
    DialogHooks::setModalResponder([&opened](QDialog *d) {
        opened << d->objectName();
        return 0;
    });
    select("Cut short.xml");
    ASSERT_TRUE(window->btnReport1->isEnabled());
    QTest::mouseClick(window->btnReport1, Qt::LeftButton);
    ASSERT_FALSE(answers.alerts().isEmpty());
    EXPECT_EQ(answers.alerts().last().text, "The session could not be read.");
    EXPECT_EQ(answers.alerts().last().informativeText, "Cut short.xml: " + why);
    EXPECT_TRUE(opened.isEmpty());
    select("Monday");
    QTest::mouseClick(window->btnReport1, Qt::LeftButton);
    EXPECT_EQ(opened.size(), 1);
}

// A damaged session is exported as it is, so that it can be mended elsewhere: Export proposes its
// own file name, not that name with ".xml" once more.
TEST_F(ReportControllerTest, ADamagedSessionIsExportedUnderItsOwnFileName)
{
    QByteArray cut = testData("reports/student-session/input.xml");
    cut.truncate(cut.indexOf("<Mode>"));
    const QString file = writeFile("Data/Quiz/Cut short.xml", cut);
    open();
    select("Cut short.xml");
    ASSERT_TRUE(window->btnExport1->isEnabled());
    answers.answerFile(out.filePath("Cut short.xml"));
    QTest::mouseClick(window->btnExport1, Qt::LeftButton);
    ASSERT_EQ(answers.fileDialogs().size(), 1);
    EXPECT_EQ(answers.fileDialogs()[0].proposedName, "Cut short.xml");
    EXPECT_EQ(readFile(out.filePath("Cut short.xml")), cut);
    EXPECT_EQ(answers.alertTexts(), QStringList{"Exported successfully."});
}

// On a small screen the window is narrower than its lists are laid out for: the last column of
// the session list ("Kind") and of the course-grade tab's tables ("Teacher") is still seen whole,
// without scrolling sideways; with room enough every column is seen whole.
TEST_F(ReportControllerTest, TheLastColumnsAreSeenWholeInAWindowOfASmallScreen)
{
    addSession("Quiz 1", "2024-09-02T09:30:00");
    // A weight set of the teacher with the longest name: the names share the width and are cut;
    // a click on the teacher leaves the list where it is.
    WeightEntity weight;
    weight.setTitle("Exams and homework");
    weight.setTeacherName("Maximilianwolfgangus Wolfeschlegelsteinha");
    SessionTypeInWeight exams;
    exams.setSessionType("Exam");
    exams.setIsSelect(true);
    exams.setWeight(100);
    weight.sessionTypesInWeight() << exams;
    ASSERT_GT(TovWeightAndSessionTypeXmlDatabase::sharedUI()->addWeightWithData(weight), 0);
    open();
    auto *tab2 = window->tabView->widget(1);
    ASSERT_TRUE(tab2);
    const QList<QTableView *> tables{window->table1, tab2->findChild<QTableView *>("weightListTable2"),
                                     tab2->findChild<QTableView *>("conversionListTable2")};
    for (int width : {1100, 1000}) {
        window->resize(width, 680);
        window->show();
        for (int tab : {0, 1}) {
            window->tabView->setCurrentIndex(tab);
            QCoreApplication::processEvents();
        }
        for (QTableView *table : tables) {
            ASSERT_TRUE(table);
            QHeaderView *header = table->horizontalHeader();
            const int last = header->count() - 1;
            EXPECT_EQ(header->length(), table->viewport()->width()) << width << " " << table->objectName().toStdString();
            EXPECT_GE(header->sectionSize(last), header->sectionSizeHint(last))
                << width << " " << table->objectName().toStdString();
        }
        QTableView *weights = tables.at(1);
        weights->window()->findChild<QTabWidget *>()->setCurrentIndex(1);
        ASSERT_EQ(weights->model()->rowCount(), 1);
        EXPECT_EQ(TableLook::clickAndScrolledBy(weights, weights->model()->index(0, 3)), 0) << width;
        EXPECT_FALSE(weights->horizontalScrollBar()->isVisible()) << width;
        if (width == 1100) {
            for (int c = 0; c < window->table1->model()->columnCount(); ++c)
                EXPECT_EQ(TableLook::cutIn(window->table1, c).join("; ").toStdString(), "") << "room enough: column " << c << " whole";
        }
    }
}

// A session of the longest names (a student of 20 + 30 letters from a CSV file, with an ID of 12
// characters) and long titles: the report chooser and the session editor read every ID whole,
// and a click on a long name or title leaves each list where it is; the chooser's head, one row
// high, shows no scroll bar over its row.
TEST_F(ReportControllerTest, TheSessionWindowsShowEveryIdWholeAndStayPutOnAClickOnALongName)
{
    const QString name = "Quiz on the planets of the solar system and their moons, period 2";
    QByteArray xml = testData("reports/student-session/input.xml");
    xml.replace("<Name>Quiz, period 2</Name>", ("<Name>" + name + "</Name>").toUtf8())
        .replace("<ClassName>Class 5A</ClassName>", "<ClassName>Class 5A of the long autumn term</ClassName>")
        .replace("<TeacherName>Mary Smith</TeacherName>", "<TeacherName>Maximilianwolfgangus Wolfeschlegelsteinha</TeacherName>")
        .replace("<ID>12</ID><FName>Ann</FName><LName>Lee</LName>",
                 "<ID>WM2024000012</ID><FName>Maximilianwolfgangus</FName><LName>Oppenheimerwolfeschlegelsteinb</LName>");
    const QString path = writeFile("Data/Quiz/Long.xml", xml);
    const auto staysPut = [](QTableView *list, int row, int column) {
        SCOPED_TRACE(list->objectName().toStdString());
        EXPECT_EQ(TableLook::clickAndScrolledBy(list, list->model()->index(row, column)), 0) << "column " << column;
        EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    };
    const auto idsWhole = [](QTableView *list, int column) {
        EXPECT_EQ(TableLook::cutIn(list, column).join("; ").toStdString(), "") << list->objectName().toStdString();
    };

    CreateReportController chooser(0, "Normal Quiz", "student-session-id", path);
    ASSERT_TRUE(chooser.isLoaded());
    chooser.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chooser));
    for (int column = 0; column < chooser.tableSession->columnCount(); ++column)
        staysPut(chooser.tableSession, 0, column);
    const int longRow = chooser.tableStudent->findItems("WM2024000012", Qt::MatchExactly).value(0)->row();
    staysPut(chooser.tableStudent, longRow, 2);
    idsWhole(chooser.tableStudent, 1);
    chooser.close();

    open();
    select(name);
    ASSERT_EQ(window->table1->selectionModel()->selectedRows().size(), 1);
    EditSessionController editor(0, window.get(), window->table1Array()[window->table1->selectionModel()->selectedRows()[0].row()], 3);
    ASSERT_TRUE(editor.isLoaded());
    editor.show();
    editor.tabView->setCurrentIndex(1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    QTableWidget *students = editor.tableStudent2;
    staysPut(students, students->findItems("WM2024000012", Qt::MatchExactly).value(0)->row(), 1);
    idsWhole(students, 0);
}
