#include "core/keypad/DeviceController.h"
#include "core/roster/ImportItemsForStudent.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "support/DialogAnswers.h"
#include "support/Shots.h"
#include "support/EventWait.h"
#include "support/PollixTest.h"
#include "support/WindowOnScreen.h"
#include "support/XvfbRun.h"
#include "ui/controls/ScreenFit.h"
#include "ui/roster/ClassSetController.h"
#include "ui/roster/ImportPreviewController.h"
#include "ui/roster/ImportPreviewTableModel.h"
#include "ui/roster/ImportToDatabaseController.h"
#include "ui/roster/ImportWindows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QToolTip>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {
// A student file as a spreadsheet writes it: a header row, then 30 students; rows 12 and 25 (file
// rows 13 and 26) are wrong in a required column.
QByteArray classOfThirty()
{
    QByteArray out = "Device NO.,Student ID,First Name,Last Name,Class Name,Group NO.,Birth Date(YYYY-MM-DD),"
                     "Responsibility,Remark,Address,Phone,E-Mail,Sex\r\n";
    for (int i = 1; i <= 30; ++i) {
        const QString device = i == 25 ? "451" : QString::number(i);
        const QString id = i == 12 ? "S 012" : QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
        out += QStringLiteral("%1,%2,Pupil%3,Family%3,7A,%4,2012-05-%5,,,\"%3 Mill Lane, York\",,,%6\r\n")
                   .arg(device, id)
                   .arg(i)
                   .arg(1 + i % 4)
                   .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                   .arg(i % 2 ? "Male" : "F")
                   .toUtf8();
    }
    return out;
}

// Runs action on the first modal window of type T that comes up (once), as a teacher would act
// on a window run modally by the code under test.
template <typename T>
void whenModal(const std::function<void(T *)> &action)
{
    auto *poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            action(window);
        }
    });
    poll->start();
}

// Imports from the preview with its Import button as the teacher does: on the import window, once
// the import is over, check runs and OK closes it. A refused import ends the preview all the same.
void importFromPreview(ImportPreviewController *preview, const std::function<void(ImportToDatabaseController *)> &check = {})
{
    whenModal<ImportToDatabaseController>([check](ImportToDatabaseController *import) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return import->isImportDone(); }, kEventWaitMs));
        if (check)
            check(import);
        QTest::mouseClick(import->btnOK, Qt::LeftButton);
    });
    QTest::mouseClick(preview->btnImport, Qt::LeftButton);
    if (preview->isVisible())
        preview->done(0);
}

// With a picture folder set, each step of the flow is saved there as a picture.
void screenshot(QWidget *window, const QString &name)
{
    saveShot(window, name);
}

QStringList wrongRows(ImportPreviewController *preview, const QList<int> &columns)
{
    QStringList rows;
    const TovImportPreviewData &data = preview->state().previewData();
    for (int i = 0; i < data.previewRowCount(); ++i)
        for (int column : columns)
            if (!data.error(i, column).isEmpty())
                rows << data.cell(i, 0) + ":" + QString::number(column);
    return rows;
}

// Types into a preview cell the way a teacher does: a click opens the cell, the text replaces
// what it held, Return ends the edit.
void typeIntoCell(ImportPreviewController *preview, int row, int column, const QString &text)
{
    QTableView *table = preview->tvPreviewData;
    const QModelIndex index = table->model()->index(row, column);
    table->scrollTo(index);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
    QLineEdit *editor = nullptr;
    for (QLineEdit *open : table->viewport()->findChildren<QLineEdit *>())
        if (open->isVisible())
            editor = open;
    ASSERT_NE(editor, nullptr) << "a click opens the cell";
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The view commits the edit in a posted call.
    QApplication::processEvents();
    EXPECT_EQ(index.data().toString(), text);
}
} // namespace

class ImportWindowsTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        DeviceController::ShareDeviceController()->setCurDeviceType(1);
        ClassSetController::rosterWindows() = {};
        ClassSetController::rosterWindows().login = [](QWidget *) { return true; };
        ImportWindows::install();
        classNo = TovClassXmlDatabase::sharedClassUI()->addClassWithName("7A");
    }
    void TearDown() override
    {
        ClassSetController::rosterWindows() = {};
        DeviceController::ShareDeviceController()->setCurDeviceType(-1);
        PollixTest::TearDown();
    }

    int classNo = 0;
};

TEST_F(ImportWindowsTest, ThirtyStudentsWithTwoBadRowsAreMendedInTheGridAndImported)
{
    SubjectEntity math;
    math.setName("Math");
    TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(math);
    const QString csv = writeFile("class-7a.csv", classOfThirty());

    ClassSetController setup;
    setup.awakeFromNib();
    setup.show();
    ASSERT_TRUE(setup.buttonStudentImport->isEnabled()) << "the import is there, so its button is offered";
    ASSERT_TRUE(setup.buttonTeacherImport->isEnabled());
    screenshot(&setup, "1-class-setup");

    DialogAnswers answers;
    answers.answerFile(csv);
    bool previewSeen = false;
    bool importSeen = false;
    whenModal<ImportPreviewController>([&](ImportPreviewController *preview) {
        previewSeen = true;
        EXPECT_EQ(preview->windowTitle(), "Student Importing Preview");
        screenshot(preview, "2-preview-as-loaded");
        // The header row names the fields: it is no student, and the import starts at row 2.
        EXPECT_EQ(preview->cboRowStart->currentText(), "2");
        EXPECT_EQ(preview->state().previewData().previewRowCount(), 30);
        EXPECT_EQ(wrongRows(preview, {1, 2}), QStringList({"13:2", "26:1"}));
        const QString wrong = "Incorrect Field(s):* Device NO.,* Student ID\n"
                              "Row 13: The * Student ID contains some invalid characters.\n"
                              "Row 26: The * Device NO. should be between 1 and 400.";
        EXPECT_EQ(preview->lblErrorText->text(), wrong);
        const QModelIndex bad = preview->tvPreviewData->model()->index(11, 2);
        EXPECT_EQ(bad.data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
        EXPECT_EQ(bad.data(Qt::ToolTipRole).toString(), "The * Student ID contains some invalid characters.");
        screenshot(preview, "3-preview-two-bad-rows");

        // Import is refused while the rows are wrong.
        preview->btnImport->click();
        EXPECT_EQ(answers.alertTexts().value(0), wrong) << "the alert says which rows and why";

        typeIntoCell(preview, 11, 2, "S012");
        typeIntoCell(preview, 24, 1, "25");
        EXPECT_TRUE(wrongRows(preview, {1, 2}).isEmpty()) << wrongRows(preview, {1, 2}).join(" ").toStdString();
        EXPECT_EQ(preview->lblErrorText->text(), "Ready to import.");
        screenshot(preview, "4-preview-mended");
        whenModal<ImportToDatabaseController>([&](ImportToDatabaseController *import) {
            importSeen = true;
            ASSERT_TRUE(QTest::qWaitFor([&] { return import->isImportDone(); }, kEventWaitMs));
            EXPECT_EQ(import->txtImportState->text(), "Import successfully.");
            EXPECT_EQ(import->level->value(), 100);
            EXPECT_EQ(import->tblLostDataInfo->rowCount(), 0);
            screenshot(import, "5-imported");
            import->btnOK->click();
        });
        preview->btnImport->click();
        if (preview->isVisible())
            preview->done(0); // the import was refused: end the test's window all the same
    });
    setup.buttonStudentImport->click();
    EXPECT_TRUE(previewSeen);
    EXPECT_TRUE(importSeen);
    EXPECT_EQ(setup.textParticipant->text(), "30");
    EXPECT_EQ(setup.tblStudents->rowCount(), 30);
    EXPECT_EQ(setup.students().at(11).studentID(), "S012");
    EXPECT_EQ(setup.students().at(24).deviceNo(), 25);
    screenshot(&setup, "6-class-of-thirty");

    // Teachers come in through their own button, and the first of them is chosen.
    answers.answerFile(writeFile("teachers.csv", "NO.,Frist Name,Last Name,Title,Address,Phone,Sex\r\n"
                                                 "1,Ann,Lee,Dr,,,Female\r\n2,Bo,Ng,Mr,,,Male\r\n"));
    whenModal<ImportPreviewController>([&](ImportPreviewController *preview) {
        EXPECT_EQ(preview->windowTitle(), "Teacher Importing Preview");
        EXPECT_EQ(preview->cboRowStart->currentText(), "2");
        whenModal<ImportToDatabaseController>([&](ImportToDatabaseController *import) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return import->isImportDone(); }, kEventWaitMs));
            EXPECT_EQ(import->windowTitle(), "Importing Teachers");
            import->btnOK->click();
        });
        preview->btnImport->click();
        if (preview->isVisible())
            preview->done(0);
    });
    setup.buttonTeacherImport->click();
    EXPECT_EQ(setup.comboTeacher->count(), 2);
    EXPECT_EQ(setup.teacherName(), "Ann Lee");
}

TEST_F(ImportWindowsTest, FilesThatCannotBeImportedAreToldWithTheReason)
{
    DialogAnswers answers;
    EXPECT_FALSE(ImportWindows::importStudents(nullptr, writeFile("empty.csv", "\r\n\r\n"), classNo, "7A"));
    EXPECT_FALSE(ImportWindows::importStudents(nullptr, home() + "gone.csv", classNo, "7A"));
    EXPECT_FALSE(ImportWindows::importTeachers(nullptr, writeFile("book.xlsx", QByteArray("PK\3\4\0\0\0", 7))));
    ASSERT_EQ(answers.alerts().size(), 3);
    EXPECT_EQ(answers.alerts().at(0).title, "Pollix ARS");
    EXPECT_EQ(answers.alerts().at(0).text, "The file holds no rows to import.");
    EXPECT_EQ(answers.alerts().at(1).text, "The file cannot be imported.");
    EXPECT_TRUE(answers.alerts().at(1).informativeText.startsWith("File is not exist."));
    EXPECT_TRUE(answers.alerts().at(2).informativeText.startsWith("File is not a text file."));
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << "no window is left open: " << w->objectName().toStdString();
    EXPECT_TRUE(TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo).isEmpty());
}

TEST_F(ImportWindowsTest, PreviewRefusesAnUnmappedRequiredFieldAndKeepsItsRowsInStep)
{
    ImportPreviewController preview(writeFile("in.csv", "1,S1,Ann\r\n2,S2,Bo\r\n3,S3,Cy\r\n4,S4,Di\r\n"),
                                    ImportItemsForStudent(1).allImportItems());
    preview.show();
    DialogAnswers answers;
    QAbstractItemModel *mapping = preview.tvHeader->model();
    EXPECT_EQ(mapping->headerData(1, Qt::Horizontal).toString(), "A");
    EXPECT_EQ(ImportPreviewTableModel::columnTitle(28), "AB");
    EXPECT_EQ(ImportPreviewTableModel::columnTitle(703), "AAA");
    ASSERT_TRUE(mapping->setData(mapping->index(0, 2), "N/A"));
    EXPECT_EQ(preview.lblErrorText->text(), "Required Field(s):* Student ID");
    preview.doImport();
    EXPECT_EQ(answers.alertTexts(), QStringList{"Required Field(s):* Student ID"});
    EXPECT_FALSE(preview.result() == 1);
    EXPECT_TRUE(preview.isVisible());
    ASSERT_TRUE(mapping->setData(mapping->index(0, 2), "* Student ID"));

    // A typed end row above the start row is put back; the boxes follow every change of rows.
    preview.chooseStartRow("3");
    preview.chooseEndRow("2");
    EXPECT_EQ(preview.cboRowEnd->currentText(), "4");
    preview.chooseStartRow("9");
    EXPECT_EQ(preview.cboRowStart->currentText(), "3");
    preview.chooseStartRow("0");
    EXPECT_EQ(preview.cboRowStart->currentText(), "1");
    EXPECT_EQ(preview.tvPreviewData->model()->rowCount(), 4);

    preview.tvPreviewData->selectRow(1);
    ASSERT_TRUE(preview.btnRemove->isEnabled());
    preview.doAdd();
    EXPECT_EQ(preview.tvPreviewData->model()->index(2, 0).data().toString(), "3");
    EXPECT_EQ(preview.tvPreviewData->model()->index(3, 2).data().toString(), "S3");
    EXPECT_EQ(preview.cboRowEnd->count(), 5);
    EXPECT_EQ(preview.lblErrorText->text(), "Incorrect Field(s):* Device NO.,* Student ID,First Name\n"
                                            "Row 3: The * Device NO. cannot be blank.\n"
                                            "Row 3: The * Student ID cannot be blank.\n"
                                            "Row 3 has no name: type a first or a last name.");
    preview.tvPreviewData->selectRow(2);
    preview.doRemove();
    EXPECT_EQ(preview.cboRowEnd->count(), 4);
    EXPECT_EQ(preview.lblErrorText->text(), "Ready to import.\nWhere the file gives none, the import stores Group NO. 1, "
                                            "Birthday 2000-01-01, Gender Male.");
    preview.doImport();
    EXPECT_EQ(preview.result(), 1);
    EXPECT_EQ(preview.resultData().size(), 4);
}

TEST_F(ImportWindowsTest, ImportWindowListsWhatStayedOutAndTellsAFailedStore)
{
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    StudentEntity kim;
    kim.setId("K1");
    ASSERT_TRUE(classes->addStudentWithData(kim, classNo));
    const QStringList base{"1", "", "Ann", "Lee", "7A", "1", "2000-01-01", "", "", "", "", "", "Male"};
    QList<QStringList> records;
    for (const QString id : {"k1", "N1", "N2", "N3"}) {
        QStringList r = base;
        r[1] = id;
        records << r;
    }
    DialogAnswers answers;
    {
        ImportToDatabaseController import;
        import.setImportMode(0);
        import.setClassNoToImport(classNo, "7A");
        import.setMaxStudentNumberAllowed(3);
        import.setResultDataOfStudents(records);
        QSignalSpy finished(&import, &ImportToDatabaseController::importFinished);
        import.show();
        import.close();
        EXPECT_TRUE(import.isVisible()) << "the window stays until the import is over";
        ASSERT_TRUE(finished.wait(5000));
        EXPECT_EQ(import.windowTitle(), "Importing Students");
        EXPECT_EQ(import.txtImportResult->text(), "List of students not imported");
        EXPECT_EQ(import.txtImportState->text(), "Some records are either already in database or invalid.");
        EXPECT_EQ(answers.alertTexts(), QStringList{"The max number of students in a class is 3."});
        ASSERT_EQ(import.tblLostDataInfo->rowCount(), 2);
        QStringList rows;
        for (int r = 0; r < 2; ++r) {
            QStringList cells;
            for (int c = 0; c < 4; ++c)
                cells << import.tblLostDataInfo->item(r, c)->text();
            rows << cells.join("|");
        }
        EXPECT_EQ(rows, QStringList({"k1|Ann Lee|7A|Already in this class.", "N3|Ann Lee|7A|The class is full."}));
        screenshot(&import, "7-class-full");
    }
    EXPECT_EQ(classes->getStudentListByClassNo(classNo).size(), 3);

    // A class file that cannot be written: nothing imported, every record listed, the reason told.
    const QString classPath = classes->pathByClassNo(classNo);
    AtomicFile::setFailureHook([classPath](const QString &p) { return p == classPath; });
    ImportToDatabaseController failing;
    failing.setImportMode(0);
    failing.setClassNoToImport(classNo, "7A");
    failing.setResultDataOfStudents(records.mid(3));
    QSignalSpy finished(&failing, &ImportToDatabaseController::importFinished);
    failing.show();
    ASSERT_TRUE(finished.wait(5000));
    AtomicFile::setFailureHook({});
    EXPECT_EQ(failing.txtImportState->text(), "Some records are either already in database or invalid.");
    EXPECT_EQ(answers.alerts().last().text, "The class file cannot be saved.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty());
    ASSERT_EQ(failing.tblLostDataInfo->rowCount(), 1);
    EXPECT_EQ(failing.tblLostDataInfo->item(0, 3)->text(), "The class file cannot be saved.");
    EXPECT_EQ(classes->getStudentListByClassNo(classNo).size(), 3);
}

namespace {
// Opens the mapping menu of a column with a press on its cell and clicks an entry, as the teacher
// does; strict: the menu must come up right under the cell.
void chooseMapping(ImportPreviewController *preview, int column, const QString &entry, bool strict = false)
{
    QTableView *header = preview->tvHeader;
    const QModelIndex cell = header->model()->index(0, column);
    const QRect rect = header->visualRect(cell);
    const int dataScroll = preview->tvPreviewData->horizontalScrollBar()->value();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, rect.center());
    QMenu *menu = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); },
                                kEventWaitMs))
        << "a press on the cell opens its menu";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu, kEventWaitMs));
    EXPECT_EQ(menu->objectName(), QStringLiteral("headerMenu%1").arg(column));
    EXPECT_EQ(menu->actions().size(), preview->state().headerMenuItemList().size()) << "the menu lists every item";
    if (strict) {
        const QPoint under = header->viewport()->mapToGlobal(rect.bottomLeft());
        EXPECT_LE((menu->geometry().topLeft() - under).manhattanLength(), 4)
            << "menu at " << menu->geometry().x() << "," << menu->geometry().y() << ", cell bottom at " << under.x()
            << "," << under.y();
    }
    if (strict)
        saveScreenShot(QStringLiteral("mapping-menu-%1").arg(column));
    // The press scrolled nothing: the mapping row stays over the data.
    EXPECT_EQ(header->horizontalScrollBar()->value(), dataScroll);
    QAction *choice = nullptr;
    for (QAction *a : menu->actions())
        if (a->text() == entry)
            choice = a;
    ASSERT_NE(choice, nullptr) << entry.toStdString();
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(choice).center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell.data().toString() == entry; }, kEventWaitMs)) << entry.toStdString();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// A class list whose columns came in another order and without headings.
QByteArray shuffledClass()
{
    return "Female,S1,Lee,Ann,4\r\nMale,S2,Chan,Bo,5\r\n";
}

void mapShuffledColumnsByClicks(ImportPreviewController *preview, bool strict)
{
    // Column by column, in the order they stand.
    chooseMapping(preview, 1, "Gender", strict);
    chooseMapping(preview, 2, "* Student ID", strict);
    chooseMapping(preview, 3, "Last Name", strict);
    chooseMapping(preview, 4, "First Name", strict);
    chooseMapping(preview, 5, "* Device NO.", strict);
    EXPECT_EQ(preview->lblErrorText->text(),
              "Ready to import.\nWhere the file gives none, the import stores Group NO. 1, Birthday 2000-01-01.");
}
} // namespace

TEST_F(ImportWindowsTest, ColumnsInAnotherOrderAreMappedWithClicksOnTheMenusAndImported)
{
    DialogAnswers answers;
    bool previewSeen = false;
    whenModal<ImportPreviewController>([&](ImportPreviewController *preview) {
        previewSeen = true;
        preview->resize(700, 400);
        mapShuffledColumnsByClicks(preview, false);
        importFromPreview(preview);
    });
    EXPECT_TRUE(ImportWindows::importStudents(nullptr, writeFile("shuffled.csv", shuffledClass()), classNo, "7A"));
    EXPECT_TRUE(previewSeen);
    const QList<StudentEntity> stored = TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo);
    ASSERT_EQ(stored.size(), 2);
    for (const StudentEntity &s : stored) {
        const bool ann = s.id() == "S1";
        EXPECT_EQ(s.firstName(), ann ? "Ann" : "Bo");
        EXPECT_EQ(s.lastName(), ann ? "Lee" : "Chan");
        EXPECT_EQ(s.gender(), ann ? 2 : 1);
        EXPECT_EQ(s.deviceNo(), ann ? 4 : 5);
    }

    // Under a real X server with a window manager the menus come up under their cells too.
    EXPECT_EQ(XvfbRun::run(QStringLiteral("ImportWindowsTest.OnX11*"), {QSize(1366, 768), true}), 0);
}

// Run on a private Xvfb by ColumnsInAnotherOrderAreMappedWithClicksOnTheMenusAndImported.
TEST_F(ImportWindowsTest, OnX11TheMappingMenusOpenUnderTheirCells)
{
    ImportPreviewController preview(writeFile("shuffled.csv", shuffledClass()), ImportItemsForStudent(1).allImportItems());
    preview.resize(760, 420);
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview, kEventWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !preview.windowHandle()->frameMargins().isNull(); }, kEventWaitMs))
        << "the window manager frames the window";
    // Column 4 stands half out of view at this width: a press there must not scroll the row.
    mapShuffledColumnsByClicks(&preview, true);
    preview.tvPreviewData->horizontalScrollBar()->setValue(150);
    EXPECT_EQ(preview.tvHeader->horizontalScrollBar()->value(), 150);
    const QRect dataCell = preview.tvPreviewData->visualRect(preview.tvPreviewData->model()->index(0, 3));
    const QRect mapCell = preview.tvHeader->visualRect(preview.tvHeader->model()->index(0, 3));
    EXPECT_EQ(dataCell.left(), mapCell.left()) << "the mapping row stands over its data";
}

TEST_F(ImportWindowsTest, AStrayLatinByteMarksItsRowAndEveryUtf8NameIsStoredIntact)
{
    const QByteArray file = QString::fromUtf8("1,S1,José,Núñez\r\n").toUtf8() + QByteArray("2,S2,M\xfcller,Bo\r\n")
                            + QString::fromUtf8("3,S3,Zoë,Ødegård\r\n").toUtf8();
    DialogAnswers answers;
    bool previewSeen = false;
    whenModal<ImportPreviewController>([&](ImportPreviewController *preview) {
        previewSeen = true;
        EXPECT_TRUE(preview->cboEncoding->isVisible()) << "the file's encoding is offered as a choice";
        EXPECT_EQ(preview->tvPreviewData->model()->index(0, 3).data().toString(), QString::fromUtf8("José"));
        EXPECT_EQ(wrongRows(preview, {3}), QStringList{"2:3"});
        EXPECT_TRUE(preview->lblErrorText->text().contains(
            "Row 2 holds bytes that are not UTF-8 text: choose the file's encoding beside \"Read the file as\" (it "
            "mends the whole file), or retype the First Name."))
            << preview->lblErrorText->text().toStdString();
        QTest::mouseClick(preview->btnImport, Qt::LeftButton);
        EXPECT_EQ(answers.alertTexts().size(), 1) << "the import is refused while the row is marked";

        // Read as the Windows code page, the stray line reads right and every other one wrong:
        // the teacher sees it and goes back.
        preview->cboEncoding->setFocus();
        QTest::keyClick(preview->cboEncoding, Qt::Key_Down);
        EXPECT_EQ(preview->tvPreviewData->model()->index(1, 3).data().toString(), QString::fromUtf8("Müller"));
        EXPECT_EQ(preview->tvPreviewData->model()->index(0, 3).data().toString(), QString::fromUtf8("JosÃ©"));
        QTest::keyClick(preview->cboEncoding, Qt::Key_Up);
        EXPECT_EQ(preview->tvPreviewData->model()->index(0, 3).data().toString(), QString::fromUtf8("José"));

        typeIntoCell(preview, 1, 3, QStringLiteral("Mueller"));
        EXPECT_EQ(preview->lblErrorText->text(), "Ready to import.\nWhere the file gives none, the import stores "
                                                 "Group NO. 1, Birthday 2000-01-01, Gender Male.");
        importFromPreview(preview, [](ImportToDatabaseController *import) {
            EXPECT_EQ(import->txtImportState->text(), "Import successfully.");
        });
    });
    EXPECT_TRUE(ImportWindows::importStudents(nullptr, writeFile("stray.csv", file), classNo, "7A"));
    EXPECT_TRUE(previewSeen);
    QStringList names;
    for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo))
        names << s.firstName() + " " + s.lastName();
    names.sort();
    EXPECT_EQ(names, QStringList({QString::fromUtf8("José Núñez"), QStringLiteral("Mueller Bo"), QString::fromUtf8("Zoë Ødegård")}));
}

TEST_F(ImportWindowsTest, ASemicolonRosterWithAGenderItCannotTakeIsImportedWithTheRowNamed)
{
    // As a spreadsheet set to French saves it: semicolons, commas as text, a gender in French.
    const QString csv = writeFile("classe.csv", "Device NO.;Student ID;First Name;Last Name;Address;Sex\r\n"
                                                "1;S1;Ann;Lee;\"12, rue Victor Hugo\";F\r\n"
                                                "2;S2;Marie;Dupont;3, place d'Italie;Femme\r\n");
    const QString femme = "Gender \"Femme\" cannot be imported; it is stored as \"Male\".";
    DialogAnswers answers;
    bool importSeen = false;
    whenModal<ImportPreviewController>([&](ImportPreviewController *preview) {
        EXPECT_TRUE(preview->cboSeparator->isVisible());
        EXPECT_EQ(preview->cboSeparator->currentText(), "Semicolons") << "recognised from the header line";
        QAbstractItemModel *cells = preview->tvPreviewData->model();
        EXPECT_EQ(cells->index(1, 4).data().toString(), "Dupont");
        EXPECT_EQ(cells->index(1, 5).data().toString(), "3, place d'Italie");
        EXPECT_EQ(cells->index(1, 6).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
        const QString ready = "Ready to import.\nRow 3: " + femme + "\nWhere the file gives none, the import stores "
                                                                     "Group NO. 1, Birthday 2000-01-01.";
        EXPECT_EQ(preview->lblErrorText->text(), ready);
        screenshot(preview, "semicolons-preview");
        saveScreenShot(QStringLiteral("semicolons-preview-screen"));

        // Read with commas by the teacher's choice, the lines fall apart and the import is refused;
        // semicolons again give the columns back.
        preview->cboSeparator->setFocus();
        QTest::keyClick(preview->cboSeparator, Qt::Key_Up);
        EXPECT_EQ(preview->cboSeparator->currentText(), "Commas");
        EXPECT_EQ(preview->cboRowStart->currentText(), "1") << "the header line names no field now";
        EXPECT_EQ(cells->index(2, 1).data().toString(), "2;S2;Marie;Dupont;3");
        EXPECT_TRUE(preview->state().bHasError());
        QTest::keyClick(preview->cboSeparator, Qt::Key_Down);
        EXPECT_EQ(cells->index(1, 4).data().toString(), "Dupont");
        EXPECT_EQ(preview->lblErrorText->text(), ready);

        whenModal<ImportToDatabaseController>([&](ImportToDatabaseController *import) {
            importSeen = true;
            ASSERT_TRUE(QTest::qWaitFor([&] { return import->isImportDone(); }, kEventWaitMs));
            EXPECT_EQ(import->txtImportState->text(), "Imported; some values were not stored as typed (listed below).");
            EXPECT_TRUE(import->tblReplacedValues->isVisible());
            ASSERT_EQ(import->tblReplacedValues->rowCount(), 1);
            QStringList row;
            for (int c = 0; c < import->tblReplacedValues->columnCount(); ++c)
                row << import->tblReplacedValues->item(0, c)->text();
            EXPECT_EQ(row, QStringList({"3", "S2", "Marie Dupont", femme}));
            EXPECT_EQ(import->tblLostDataInfo->rowCount(), 0);
            screenshot(import, "semicolons-imported");
            saveScreenShot(QStringLiteral("semicolons-imported-screen"));
            QTest::mouseClick(import->btnOK, Qt::LeftButton);
        });
        QTest::mouseClick(preview->btnImport, Qt::LeftButton);
        if (preview->isVisible())
            preview->done(0);
    });
    EXPECT_TRUE(ImportWindows::importStudents(nullptr, csv, classNo, "7A"));
    EXPECT_TRUE(importSeen);
    QList<StudentEntity> stored = TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo);
    ASSERT_EQ(stored.size(), 2);
    for (const StudentEntity &s : stored) {
        EXPECT_EQ(s.gender(), s.id() == "S1" ? 2 : 1);
        EXPECT_EQ(s.address(), s.id() == "S1" ? "12, rue Victor Hugo" : "3, place d'Italie");
    }

    // Imported again, both students are in the class already: the value Marie's row would have
    // had replaced is stored nowhere, so it is not listed.
    whenModal<ImportPreviewController>([&](ImportPreviewController *preview) {
        whenModal<ImportToDatabaseController>([&](ImportToDatabaseController *import) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return import->isImportDone(); }, kEventWaitMs));
            EXPECT_EQ(import->txtImportState->text(), "Some records are either already in database or invalid.");
            EXPECT_EQ(import->tblLostDataInfo->rowCount(), 2);
            EXPECT_EQ(import->tblReplacedValues->rowCount(), 0);
            EXPECT_FALSE(import->tblReplacedValues->isVisible());
            QTest::mouseClick(import->btnOK, Qt::LeftButton);
        });
        QTest::mouseClick(preview->btnImport, Qt::LeftButton);
        if (preview->isVisible())
            preview->done(0);
    });
    EXPECT_TRUE(ImportWindows::importStudents(nullptr, csv, classNo, "7A"));
}

// At 1024 x 768 under a window manager, the list of values not stored as typed shows each whole:
// a value cut to its field's length with what is stored of it, wrapped in its cell and in its tip.
TEST_F(ImportWindowsTest, TheValuesNotStoredAsTypedAreReadWholeOnA1024By768Screen)
{
    EXPECT_EQ(XvfbRun::run(QStringLiteral("ImportWindowsTest.OnX11TheValuesNotStoredAsTypedAreReadWhole"), {QSize(1024, 768), true}), 0);
}

// Run on a private Xvfb by TheValuesNotStoredAsTypedAreReadWholeOnA1024By768Screen.
TEST_F(ImportWindowsTest, OnX11TheValuesNotStoredAsTypedAreReadWhole)
{
    const QString address = "Flat 12, Riverside Court, 145 Long Meadow Road, Upper Whitfield, Northshire, NW12 3AB, "
                            "United Kingdom of Great Britain and Northern Ireland";
    ASSERT_GT(address.size(), 120);
    const QString csv = writeFile("long.csv", ("Device NO.,Student ID,First Name,Last Name,Address,Phone,Sex\r\n"
                                               "1,S1,Ann,Lee,\"" + address + "\",0044 1632 960 123 4567 8901,Femme\r\n"
                                               "2,S2,Bo,Chan,,0044 1632 960 123 4567 8902,Femme\r\n"
                                               "3,S3,Cy,Dunn,,0044 1632 960 123 4567 8903,Homme\r\n"
                                               "4,S4,Di,Eck,,,Frau\r\n")
                                                  .toUtf8());
    ImportPreviewState state(ImportItemsForStudent(1).allImportItems());
    QString why;
    ASSERT_EQ(state.loadFile(csv, &why), TovImportPreviewData::Loaded) << why.toStdString();
    ASSERT_FALSE(state.bHasError()) << state.statusText().toStdString();
    // As the program places its windows.
    ScreenFit::keepWindowsOnScreen();
    ImportToDatabaseController import;
    import.setImportMode(0);
    import.setClassNoToImport(classNo, "7A");
    import.setResultDataOfStudents(state.resultData());
    import.setReplacements(state.replacements());
    QSignalSpy finished(&import, &ImportToDatabaseController::importFinished);
    import.show();
    ASSERT_TRUE(finished.wait(kEventWaitMs));
    ASSERT_TRUE(WindowOnScreen::settled(&import)) << WindowOnScreen::describe(&import);
    WindowOnScreen::shot(QStringLiteral("values-not-stored-as-typed"));
    EXPECT_TRUE(WindowOnScreen::problems(&import).isEmpty()) << WindowOnScreen::problems(&import).join("; ").toStdString();

    QTableWidget *table = import.tblReplacedValues;
    ASSERT_TRUE(table->isVisible());
    ASSERT_EQ(table->rowCount(), 8);
    // Every student went in: the empty list of those left out gives its room, and every value
    // is there to read without scrolling.
    EXPECT_FALSE(import.tblLostDataInfo->isVisible());
    EXPECT_EQ(table->verticalScrollBar()->maximum(), 0) << "the list scrolls";
    const int value = table->columnCount() - 1;
    QStringList notes;
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    for (int r = 0; r < table->rowCount(); ++r) {
        const QModelIndex cell = table->model()->index(r, value);
        const QString text = cell.data().toString();
        notes << text;
        EXPECT_EQ(cell.data(Qt::ToolTipRole).toString(), text);
        const QRect rect = table->visualRect(cell);
        EXPECT_LE(rect.right(), table->viewport()->width()) << "the column ends within the list";
        const QRect needed = table->fontMetrics().boundingRect(QRect(0, 0, rect.width() - 2 * margin, 10000),
                                                               Qt::TextWordWrap, text);
        EXPECT_LE(needed.height(), rect.height()) << "row " << r << " cut: " << text.toStdString();
    }
    EXPECT_TRUE(notes.contains("Address is cut to its first 120 characters; it is stored as \"" + address.left(120) + "\"."))
        << notes.join("\n").toStdString();
    EXPECT_TRUE(notes.contains("Phone is cut to its first 20 characters; it is stored as \"0044 1632 960 123 45\"."))
        << notes.join("\n").toStdString();
    EXPECT_TRUE(notes.contains("Gender \"Femme\" cannot be imported; it is stored as \"Male\".")) << notes.join("\n").toStdString();

    // Its tip shows a note whole too, where the pointer rests on it.
    const QModelIndex first = table->model()->index(0, value);
    QTest::mouseMove(table->viewport(), table->visualRect(first).center());
    QHelpEvent tip(QEvent::ToolTip, table->visualRect(first).center(), table->viewport()->mapToGlobal(table->visualRect(first).center()));
    QApplication::sendEvent(table->viewport(), &tip);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QToolTip::isVisible() && QToolTip::text() == first.data().toString(); }, kEventWaitMs));
}

// A class list whose headings are in German: the preview says before the import that its first
// row names no field and is left out, and the import stores the students only.
TEST_F(ImportWindowsTest, HeadingsThatNameNoFieldAreToldBeforeTheImport)
{
    const QString csv = writeFile("klasse.csv", "Nr;Kennung;Vorname;Nachname\r\n1;S1;Anna;Lee\r\n2;S2;Bo;Chan\r\n");
    DialogAnswers answers;
    bool importSeen = false;
    whenModal<ImportPreviewController>([&](ImportPreviewController *preview) {
        EXPECT_EQ(preview->cboRowStart->currentText(), "2");
        EXPECT_TRUE(preview->lblErrorText->isVisible());
        EXPECT_TRUE(preview->lblErrorText->text().startsWith(
            "Ready to import.\nRow 1 looks like column headings (Nr, Kennung, Vorname, Nachname), but they do not name "
            "the fields: it is left out, and the columns are taken in their order."))
            << preview->lblErrorText->text().toStdString();
        screenshot(preview, "german-headings-preview");
        importFromPreview(preview, [&](ImportToDatabaseController *) { importSeen = true; });
    });
    EXPECT_TRUE(ImportWindows::importStudents(nullptr, csv, classNo, "7A"));
    EXPECT_TRUE(importSeen);
    QStringList ids;
    for (const StudentEntity &s : TovClassXmlDatabase::sharedClassUI()->getStudentListByClassNo(classNo))
        ids << s.id() + " " + s.firstName();
    ids.sort();
    EXPECT_EQ(ids, QStringList({"S1 Anna", "S2 Bo"}));
    EXPECT_TRUE(answers.alertTexts().isEmpty()) << answers.alertTexts().join("; ").toStdString();

    EXPECT_EQ(XvfbRun::run(QStringLiteral("ImportWindowsTest.OnX11TheStatusLineOfHeadingsFoldsWithinTheScreen"),
                           {QSize(1024, 768), true}),
              0);
}

// Run on a private Xvfb by HeadingsThatNameNoFieldAreToldBeforeTheImport: at 1024 x 768 the
// status line folds within the window, which stays whole on the screen.
TEST_F(ImportWindowsTest, OnX11TheStatusLineOfHeadingsFoldsWithinTheScreen)
{
    ScreenFit::keepWindowsOnScreen();
    ImportPreviewController preview(writeFile("klasse.csv", "Nr;Kennung;Vorname;Nachname\r\n1;S1;Anna;Lee\r\n"),
                                    ImportItemsForStudent(1).allImportItems());
    preview.show();
    ASSERT_TRUE(WindowOnScreen::settled(&preview)) << WindowOnScreen::describe(&preview);
    WindowOnScreen::shot(QStringLiteral("german-headings"));
    EXPECT_TRUE(WindowOnScreen::problems(&preview, {QStringLiteral("btnImport")}).isEmpty())
        << WindowOnScreen::problems(&preview, {QStringLiteral("btnImport")}).join("; ").toStdString();
    QLabel *status = preview.lblErrorText;
    EXPECT_TRUE(status->text().contains("Row 1 looks like column headings")) << status->text().toStdString();
    EXPECT_GE(status->height(), status->heightForWidth(status->width())) << "every line of it shows";
    EXPECT_LE(status->mapTo(&preview, QPoint(status->width(), 0)).x(), preview.width());
}

// A Dravel class may hold more students than there are keypad numbers (1 to 400): a file whose
// keypad numbers cannot be imported gives each student the class's next free number while there
// is one, and keypad 1, shared, once the class holds them all. The preview says so before the
// import, and the list of values not stored as typed names the number each student was stored with.
TEST_F(ImportWindowsTest, AKeypadNumberTheImportGivesIsNamedAsItIsStored)
{
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    ASSERT_TRUE(classes->beginUpdateStudentsInClass(classNo));
    for (int n = 1; n <= 398; ++n) {
        StudentEntity s;
        s.setId(QStringLiteral("K%1").arg(n));
        s.setFirstName(QStringLiteral("Kept"));
        s.setDeviceNo(n);
        classes->addingStudentWithData(s);
    }
    ASSERT_TRUE(classes->endUpdateStudents());
    const QString csv = writeFile("dravel.csv", "Device NO.,Student ID,First Name\r\n401,S1,Ann\r\n402,S2,Bo\r\n"
                                                "abc,S3,Cy\r\n0,S4,Di\r\n");
    ImportPreviewState state(ImportItemsForStudent(3).allImportItems());
    QString why;
    ASSERT_EQ(state.loadFile(csv, &why), TovImportPreviewData::Loaded) << why.toStdString();
    ASSERT_FALSE(state.bHasError()) << state.statusText().toStdString();
    const QList<ImportPreviewState::Replacement> replaced = state.replacements();
    ASSERT_EQ(replaced.size(), 4);
    EXPECT_EQ(replaced[0].note, "Device NO. \"401\" cannot be imported; the student gets the class's next free keypad "
                                "number, or shares keypad number 1 with other students where the class holds every "
                                "number from 1 to 400.")
        << replaced[0].note.toStdString();

    ImportToDatabaseController import;
    import.setImportMode(0);
    import.setClassNoToImport(classNo, "7A");
    import.setResultDataOfStudents(state.resultData());
    import.setReplacements(replaced);
    QSignalSpy finished(&import, &ImportToDatabaseController::importFinished);
    import.show();
    ASSERT_TRUE(finished.wait(kEventWaitMs));
    screenshot(&import, "keypad-numbers-given");
    QHash<QString, int> stored;
    for (const StudentEntity &s : classes->getStudentListByClassNo(classNo))
        stored.insert(s.id(), s.deviceNo());
    EXPECT_EQ(stored.size(), 402) << "every student went in";
    const struct
    {
        const char *id;
        int number;
        QString note;
    } expected[] = {
        {"S1", 399, "Device NO. \"401\" cannot be imported; the student is stored with keypad number 399, the class's "
                    "next free one."},
        {"S2", 400, "Device NO. \"402\" cannot be imported; the student is stored with keypad number 400, the class's "
                    "next free one."},
        {"S3", 1, "Device NO. \"abc\" cannot be imported; the class holds every keypad number from 1 to 400, so the "
                  "student is stored with keypad number 1, which other students of the class hold too."},
        {"S4", 1, "Device NO. \"0\" cannot be imported; the class holds every keypad number from 1 to 400, so the "
                  "student is stored with keypad number 1, which other students of the class hold too."},
    };
    QTableWidget *table = import.tblReplacedValues;
    ASSERT_EQ(table->rowCount(), 4);
    for (int r = 0; r < 4; ++r) {
        SCOPED_TRACE(expected[r].id);
        EXPECT_EQ(stored.value(expected[r].id), expected[r].number);
        EXPECT_EQ(table->item(r, 1)->text(), expected[r].id);
        EXPECT_EQ(table->item(r, table->columnCount() - 1)->text(), expected[r].note)
            << table->item(r, table->columnCount() - 1)->text().toStdString();
    }
}

// A Dravel class of 398 students on keypads 1 to 398: a file without keypad numbers takes the
// numbers left free, then keypad 1, which other students hold. A number typed that a student of the
// class holds, or that an earlier row types too, is not taken: the student gets one as a student
// without one does. The preview and the list at the end of the import name every student put on a
// number another student holds and every one whose number typed was held, with why; a number typed
// in the file is never given to another row; a class with numbers to spare names nobody.
TEST_F(ImportWindowsTest, EveryStudentPutOnAKeypadNumberAnotherHoldsIsNamed)
{
    DeviceController::ShareDeviceController()->setCurDeviceType(3);
    auto *classes = TovClassXmlDatabase::sharedClassUI();
    QHash<QString, int> classNos{{"7A", classNo}};
    // The class (made when new), with students added on keypads 1 to students.
    const auto classWith = [&](const QString &name, int students) {
        if (!classNos.contains(name))
            classNos.insert(name, classes->addClassWithName(name));
        EXPECT_TRUE(classes->beginUpdateStudentsInClass(classNos.value(name)));
        for (int n = 1; n <= students; ++n) {
            StudentEntity s;
            s.setId(QStringLiteral("%1K%2").arg(name).arg(n));
            s.setDeviceNo(n);
            classes->addingStudentWithData(s);
        }
        EXPECT_TRUE(classes->endUpdateStudents());
        return classNos.value(name);
    };
    const QString shared = "Imported; some students share a keypad number with other students (listed below).";
    const QString notAsTyped = "Imported; some values were not stored as typed (listed below).";
    const QString both = "Imported; some values were not stored as typed, and some students share a keypad number "
                         "with other students (listed below).";
    const QString noNumber = "The file gives no Device NO.";
    struct Case
    {
        const char *name;
        QString className;
        int classStudents; // put on keypads 1 to this many before the import
        QByteArray file;
        QList<int> stored; // the file's students in order
        QStringList named; // file rows, each with why the import gives the number
        QString state;
    };
    const Case cases[] = {
        {"five students without the column", "7A", 398,
         "Student ID,First Name\r\nS1,Ann\r\nS2,Bo\r\nS3,Cy\r\nS4,Di\r\nS5,Ed\r\n", {399, 400, 1, 1, 1},
         {"4: " + noNumber, "5: " + noNumber, "6: " + noNumber}, shared},
        {"three more into the same class", "7A", 0, "Student ID,First Name\r\nT1,Fay\r\nT2,Gus\r\nT3,Hal\r\n", {1, 1, 1},
         {"2: " + noNumber, "3: " + noNumber, "4: " + noNumber}, shared},
        {"blank cells beside a typed number", "7B", 397,
         "Device NO.,Student ID,First Name\r\n,U1,Ann\r\n398,U2,Bo\r\n,U3,Cy\r\n,U4,Di\r\n", {399, 398, 400, 1},
         {"5: " + noNumber}, shared},
        {"a class with numbers to spare", "7C", 3, "Student ID,First Name\r\nV1,Ann\r\nV2,Bo\r\nV3,Cy\r\n", {4, 5, 6}, {},
         "Import successfully."},
        // The next free number passes over the one a later row types.
        {"a typed number a student of the class holds", "7D", 3, "Device NO.,Student ID,First Name\r\n2,X1,Ann\r\n5,X2,Bo\r\n",
         {4, 5}, {"2: Device NO. \"2\" is held by another student of the class"}, notAsTyped},
        {"a number typed twice in the file", "7E", 3,
         "Device NO.,Student ID,First Name\r\n4,Y1,Ann\r\n04,Y2,Bo\r\n,Y3,Cy\r\n", {4, 5, 6},
         {"3: Device NO. \"04\" is typed for an earlier row too"}, notAsTyped},
        {"a typed number a student of a class without a free number holds", "7A", 0,
         "Device NO.,Student ID,First Name\r\n7,Z1,Ann\r\n", {1}, {"2: Device NO. \"7\" is held by another student of the class"},
         both},
    };
    // "Row: why" for a note on a keypad number the import gives.
    const auto named = [](const QString &row, const QString &note) {
        return note.contains("the student is stored with keypad number") ? QStringList{row + ": " + note.section(';', 0, 0)}
                                                                         : QStringList();
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int no = classWith(c.className, c.classStudents);
        const QString csv = writeFile(QStringLiteral("%1.csv").arg(c.name), c.file);
        QStringList namedBefore, namedAfter;
        QString state;
        whenModal<ImportPreviewController>([&](ImportPreviewController *preview) {
            for (const QString &line : preview->lblErrorText->text().split('\n'))
                if (line.startsWith("Row "))
                    namedBefore << named(line.section(':', 0, 0).mid(4), line.section(": ", 1));
            importFromPreview(preview, [&](ImportToDatabaseController *import) {
                state = import->txtImportState->text();
                QTableWidget *table = import->tblReplacedValues;
                for (int r = 0; r < table->rowCount(); ++r)
                    namedAfter << named(table->item(r, 0)->text(), table->item(r, table->columnCount() - 1)->text());
            });
        });
        EXPECT_TRUE(ImportWindows::importStudents(nullptr, csv, no, c.className));
        EXPECT_EQ(namedBefore.join(" | ").toStdString(), c.named.join(" | ").toStdString()) << "the preview";
        EXPECT_EQ(namedAfter.join(" | ").toStdString(), c.named.join(" | ").toStdString()) << "the list at the end";
        EXPECT_EQ(state.toStdString(), c.state.toStdString());
        QHash<QString, int> numbers;
        for (const StudentEntity &s : classes->getStudentListByClassNo(no))
            numbers.insert(s.id(), s.deviceNo());
        // The ID is the file's first column, or its second after the keypad numbers.
        const int idColumn = c.file.startsWith("Device") ? 1 : 0;
        QList<int> stored;
        for (const QByteArray &line : c.file.trimmed().split('\n').mid(1))
            stored << numbers.value(QString::fromUtf8(line.split(',').value(idColumn)), -1);
        EXPECT_EQ(stored, c.stored);
    }
    // As the preview words it, row by row.
    ImportPreviewState state(ImportItemsForStudent(3).allImportItems());
    QString why;
    ASSERT_EQ(state.loadFile(writeFile("one.csv", "Student ID,First Name\r\nW1,Ann\r\n"), &why), TovImportPreviewData::Loaded);
    state.setClassToImportInto(classes->getStudentListByClassNo(classNo), 999);
    EXPECT_EQ(state.statusText(), "Ready to import.\nRow 2: The file gives no Device NO.; the class holds every keypad "
                                  "number from 1 to 400, so the student is stored with keypad number 1, which other "
                                  "students of the class hold too.\nWhere the file gives none, the import stores Group "
                                  "NO. 1, Birthday 2000-01-01, Gender Male.");
    ImportPreviewState typed(ImportItemsForStudent(3).allImportItems());
    ASSERT_EQ(typed.loadFile(writeFile("typed.csv", "Device NO.,Student ID,First Name\r\n2,W2,Bo\r\n"), &why),
              TovImportPreviewData::Loaded);
    typed.setClassToImportInto(classes->getStudentListByClassNo(classNos.value("7D")), 999);
    EXPECT_TRUE(typed.statusText().startsWith("Ready to import.\nRow 2: Device NO. \"2\" is held by another student of "
                                              "the class; the student is stored with keypad number 6, the class's next "
                                              "free one.\n"))
        << typed.statusText().toStdString();
}
