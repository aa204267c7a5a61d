#include "core/gradebook/GradebookNameRecords.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/NotificationCenter.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "RosterWindowTest.h"
#include "ui/controls/AddressTextView.h"
#include "ui/roster/ClassEditController.h"
#include "ui/roster/GenderMatrix.h"
#include "ui/roster/SubjectEditController.h"
#include "ui/roster/TeacherEditController.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {
// Records what the editors ask the gradebook to delete.
struct FakeGradebook : GradebookNameRecords
{
    QStringList deleted;
    bool deleteRecordsOf(Owner owner, const QString &name, QString *) override
    {
        deleted << QStringLiteral("%1:%2").arg(int(owner)).arg(name);
        return true;
    }
};

void choose(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

class RosterListEditTest : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        GradebookNameRecords::install(&gradebook);
    }
    void TearDown() override
    {
        GradebookNameRecords::install(nullptr);
        PollixTest::TearDown();
    }
    void addTeacher(const QString &first, const QString &last, const QString &phone = {})
    {
        TeacherEntity t;
        t.setFirstName(first);
        t.setLastName(last);
        t.setPhone(phone);
        ASSERT_TRUE(TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(t));
    }
    FakeGradebook gradebook;
    DialogAnswers answers;
};
} // namespace

TEST_F(RosterListEditTest, ClassNamesAreTrimmedAndComparedExactlyButNoTwoFilesDifferOnlyInCase)
{
    auto *store = TovClassXmlDatabase::sharedClassUI();
    ASSERT_GT(store->addClassWithName("7A"), 0);
    ClassEditController dialog;
    dialog.setClassIndex(0);
    dialog.awakeFromNib();
    dialog.textClassName->setText("   ");
    EXPECT_FALSE(dialog.btnAdd->isEnabled()) << "a name of blanks only";
    for (const char *taken : {" 7A ", "7a"}) {
        dialog.textClassName->setText(taken);
        ASSERT_TRUE(dialog.btnAdd->isEnabled());
        dialog.btnAdd->click();
    }
    EXPECT_EQ(answers.alertTexts(),
              (QStringList{"The class name : 7A already exists.", "The class name : 7a already exists."}));
    EXPECT_EQ(store->classCount(), 1);

    // Added: the dialog ends with 1 and tells the number of classes before the add.
    HeardNotifications heard;
    dialog.textClassName->setText(" 8C ");
    dialog.btnAdd->click();
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(heard.notes, QStringList{"NewClassAdded 1"});
    EXPECT_TRUE(store->existClassWithName("8C"));
}

TEST_F(RosterListEditTest, DeletingAClassSelectsTheOneBeforeAndTakesItsGradebookRecords)
{
    auto *store = TovClassXmlDatabase::sharedClassUI();
    for (const char *name : {"7A", "7B"})
        ASSERT_GT(store->addClassWithName(name), 0);
    ClassEditController dialog;
    dialog.setClassIndex(1);
    dialog.awakeFromNib();
    dialog.tabView->setCurrentIndex(1);
    EXPECT_EQ(dialog.comboDelete->currentText(), "7B");
    ASSERT_TRUE(dialog.btnDelete->isEnabled());

    HeardNotifications heard;
    answers.answerAlert(1); // "No"
    dialog.btnDelete->click();
    EXPECT_EQ(store->classCount(), 2);
    dialog.btnDelete->click();
    EXPECT_EQ(answers.alerts().last().title, "Pollix");
    EXPECT_EQ(answers.alerts().last().buttons, (QStringList{"Yes", "No"}));
    EXPECT_EQ(answers.alertTexts().last(), "Are you sure to delete this class?");
    EXPECT_EQ(items(dialog.comboDelete), QStringList{"7A"});
    EXPECT_EQ(dialog.comboDelete->currentText(), "7A");
    EXPECT_EQ(gradebook.deleted, QStringList{"0:7B"});

    dialog.btnDelete->click();
    EXPECT_EQ(dialog.comboDelete->currentIndex(), -1);
    EXPECT_FALSE(dialog.btnDelete->isEnabled());
    EXPECT_FALSE(dialog.comboDelete->isEnabled());
    EXPECT_EQ(heard.notes, (QStringList{"ClassChanged 0", "ClassChanged -1"}));
    EXPECT_FALSE(QFile::exists(home() + "Data/Classes/7A.xml"));
}

TEST_F(RosterListEditTest, RenamingKeepsTheGradebookAndAFailedDeleteSaysWhy)
{
    auto *store = TovClassXmlDatabase::sharedClassUI();
    ASSERT_GT(store->addClassWithName("7A"), 0);
    ClassEditController dialog;
    dialog.setClassIndex(0);
    dialog.awakeFromNib();
    dialog.tabView->setCurrentIndex(2);
    EXPECT_FALSE(dialog.btnUpdate->isEnabled());
    dialog.textNewName->setText("7A");
    dialog.btnUpdate->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"The class name : 7A already exists."}) << "its own name";
    dialog.textNewName->setText("Year 7A");
    dialog.btnUpdate->click();
    EXPECT_EQ(store->nameByClassNo(1), "Year 7A");
    EXPECT_EQ(dialog.comboModify->currentText(), "Year 7A");
    EXPECT_TRUE(dialog.textNewName->text().isEmpty());
    EXPECT_TRUE(gradebook.deleted.isEmpty());

    // The class file cannot go: the class stays, listed, and the alert says why.
    ASSERT_TRUE(QFile::remove(home() + "Data/Classes/Year 7A.xml"));
    ASSERT_TRUE(QDir().mkpath(home() + "Data/Classes/Year 7A.xml/inside"));
    dialog.tabView->setCurrentIndex(1);
    dialog.btnDelete->click();
    EXPECT_EQ(answers.alertTexts().last(), "The class could not be deleted.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty());
    EXPECT_EQ(items(dialog.comboDelete), QStringList{"Year 7A"});
    EXPECT_TRUE(gradebook.deleted.isEmpty()) << "the gradebook keeps the records of a class that stays";
}

TEST_F(RosterListEditTest, SubjectNamesIgnoreCaseAndAnAddedSubjectBecomesCurrent)
{
    SubjectEntity maths;
    maths.setName("Maths");
    ASSERT_TRUE(TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(maths));
    SubjectEditController dialog;
    dialog.awakeFromNib();
    HeardNotifications heard;
    dialog.textSubjectName->setText("MATHS");
    dialog.btnAdd->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"The subject name : MATHS already exists."});
    dialog.textSubjectName->setText("Physics");
    dialog.btnAdd->click();
    EXPECT_EQ(dialog.indexOfSubject(), 1);
    EXPECT_TRUE(dialog.textSubjectName->text().isEmpty());
    EXPECT_FALSE(dialog.btnAdd->isEnabled());
    EXPECT_EQ(heard.notes, QStringList{"SubjectChanged 1"});
    dialog.tabView->setCurrentIndex(1);
    EXPECT_EQ(dialog.comboDelete->currentText(), "Physics");
    dialog.btnDelete->click();
    EXPECT_EQ(gradebook.deleted, QStringList{"1:Physics"});
    EXPECT_EQ(heard.notes.last(), "SubjectChanged 0");

    // A subject that cannot be written is not added, and the alert says why.
    AtomicFile::setFailureHook([](const QString &) { return true; });
    dialog.textSubjectName->setText("Art");
    dialog.btnAdd->click();
    EXPECT_EQ(answers.alertTexts().last(), "The subject could not be added.");
    EXPECT_FALSE(answers.alerts().last().informativeText.isEmpty());
    EXPECT_FALSE(TovSubjectXmlDatabase::sharedSubjectUI()->existSubjectWithName("Art"));
}

TEST_F(RosterListEditTest, TeachersAreKnownByTheirJoinedName)
{
    addTeacher("Ann", "Lee", "111");
    TeacherEditController dialog;
    dialog.setTeacherIndex(0);
    dialog.awakeFromNib();

    // Only a last name: stored with an empty first name, listed by the last name.
    dialog.textLastName_Add->setText(" Park ");
    ASSERT_TRUE(dialog.btnAdd->isEnabled());
    dialog.matrixGender_Add->selectCellAtColumn(1);
    dialog.textAddress_Add->setPlainText("1 Main St");
    dialog.btnAdd->click();
    const TeacherEntity park = TovTeacherXmlDatabase::sharedUI()->teacherList().last();
    EXPECT_EQ(park.firstName(), "");
    EXPECT_EQ(park.lastName(), "Park");
    EXPECT_EQ(park.gender(), 2);
    EXPECT_EQ(dialog.comboModify->itemText(1), "Park");
    EXPECT_EQ(dialog.indexOfTeacher(), 1);
    EXPECT_TRUE(dialog.textLastName_Add->text().isEmpty());

    // The Modify tab shows the current teacher; retyping its own name is refused.
    dialog.tabView->setCurrentIndex(2);
    EXPECT_EQ(dialog.textAddress_Modify->toPlainText(), "1 Main St");
    EXPECT_EQ(dialog.matrixGender_Modify->selectedColumn(), 1);
    EXPECT_FALSE(dialog.btnUpdate->isEnabled());
    dialog.textLastName_Modify->setText("Park");
    ASSERT_TRUE(dialog.btnUpdate->isEnabled());
    dialog.btnUpdate->click();
    EXPECT_EQ(answers.alertTexts(), QStringList{"The teacher name : Park already exists."});

    // Changing only the phone keeps the name.
    choose(dialog.comboModify, 0);
    EXPECT_EQ(dialog.textPhone_Modify->text(), "111");
    dialog.textPhone_Modify->setText("222");
    ASSERT_TRUE(dialog.btnUpdate->isEnabled());
    dialog.btnUpdate->click();
    const TeacherEntity ann = TovTeacherXmlDatabase::sharedUI()->teacherList().first();
    EXPECT_EQ(ann.name(), "Ann Lee");
    EXPECT_EQ(ann.phone(), "222");
    dialog.textPhone_Modify->setText("222");
    EXPECT_FALSE(dialog.btnUpdate->isEnabled()) << "nothing differs from the loaded teacher";

    // The Delete tab follows the choice made on Modify.
    dialog.tabView->setCurrentIndex(1);
    EXPECT_EQ(dialog.comboDelete->currentText(), "Ann Lee");
    EXPECT_EQ(dialog.textPhone_Delete->text(), "222");
    dialog.btnDelete->click();
    EXPECT_EQ(gradebook.deleted, QStringList{"2:Ann Lee"});
    EXPECT_EQ(dialog.comboDelete->currentText(), "Park");
    EXPECT_EQ(dialog.textAddress_Delete->toPlainText(), "1 Main St");
}

TEST_F(RosterListEditTest, AddressViewsRefuseTheApostropheAndTextBeyondTheirLength)
{
    TeacherEditController dialog;
    dialog.awakeFromNib();
    AddressTextView *view = dialog.textAddress_Add;
    view->setFocus();
    QTest::keyClicks(view, "1 King's Road");
    EXPECT_EQ(view->toPlainText(), "1 Kings Road");
    view->setPlainText(QString(119, 'x'));
    view->moveCursor(QTextCursor::End);
    QTest::keyClicks(view, "yz");
    EXPECT_EQ(view->toPlainText().size(), 120);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_FALSE(view->toPlainText().contains('\n'));
    view->selectAll();
    EXPECT_TRUE(view->acceptsInsertion(QString(120, 'a'))) << "over a selection";
    EXPECT_FALSE(view->acceptsInsertion("it's"));
}

// Another program changed the teacher shown while the teacher typed: Update keeps the other
// program's file, says how to see it, and what was typed stays to be saved again.
TEST_F(RosterListEditTest, AnUpdateOverATeacherAnotherProgramChangedKeepsTheirsAndTheTyping)
{
    addTeacher("Ann", "Lee", "111");
    TeacherEditController dialog;
    dialog.setTeacherIndex(0);
    dialog.awakeFromNib();
    dialog.show();
    dialog.tabView->setCurrentIndex(2);
    dialog.textPhone_Modify->setText("555-0200");
    ASSERT_TRUE(dialog.btnUpdate->isEnabled());

    const QString path = TovTeacherXmlDatabase::sharedUI()->teacherRosterFilePath();
    QByteArray theirs = readFile(path);
    ASSERT_EQ(theirs.count("<address/>") + theirs.count("<address></address>"), 1) << theirs.toStdString();
    theirs.replace("<address/>", "<address>2 Side St</address>").replace("<address></address>", "<address>2 Side St</address>");
    {
        QFile other(path);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(other.write(theirs), theirs.size());
    }

    QTest::mouseClick(dialog.btnUpdate, Qt::LeftButton);
    ASSERT_EQ(answers.alertTexts(), QStringList{"The teacher could not be changed."});
    const QString said = answers.alerts().first().informativeText;
    EXPECT_TRUE(said.contains("was changed by another program since Pollix read it")) << said.toStdString();
    EXPECT_EQ(said.count("to see the other program's version"), 1) << said.toStdString();
    EXPECT_EQ(readFile(path), theirs);
    EXPECT_EQ(dialog.textPhone_Modify->text(), "555-0200");
    EXPECT_TRUE(dialog.btnUpdate->isEnabled());

    // As the alert says: opened again, the window shows the other program's version, and an
    // update goes over it, keeping it.
    dialog.close();
    ASSERT_FALSE(dialog.isVisible());
    const qsizetype asked = answers.alerts().size();
    TeacherEditController again;
    again.setTeacherIndex(0);
    again.awakeFromNib();
    again.show();
    again.tabView->setCurrentIndex(2);
    EXPECT_EQ(again.textAddress_Modify->toPlainText(), "2 Side St");
    again.textPhone_Modify->setText("555-0300");
    QTest::mouseClick(again.btnUpdate, Qt::LeftButton);
    EXPECT_EQ(answers.alerts().size(), asked) << answers.alertTexts().join(" | ").toStdString();
    const QByteArray saved = readFile(path);
    EXPECT_TRUE(saved.contains("555-0300") && saved.contains("2 Side St")) << saved.toStdString();
}

// A line break pasted from another program ends in a carriage return; a reader takes a bare one
// for a line feed. Saved in a teacher's field or a subject's name, the text comes back from the
// file as it was written, and the record saves again from the same window.
TEST_F(RosterListEditTest, ATextPastedWithACarriageReturnSavesAgainFromTheSameWindow)
{
    struct Row
    {
        const char *label;
        bool teacher;
        QString text;
        QByteArray stored;
    };
    const Row rows[] = {
        {"a teacher's phone with a carriage return", true, "555\r0200", "<phone>555&#13;0200</phone>"},
        {"a teacher's phone with a Windows line break", true, "555\r\n0200", "<phone>555&#13;\n0200</phone>"},
        {"a subject's name with a carriage return", false, "Maths\rA", "<Name>Maths&#13;A</Name>"},
    };
    const auto paste = [](QLineEdit *field, const QString &text) {
        QGuiApplication::clipboard()->setText(text);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    };
    addTeacher("Ann", "Lee", "111");
    SubjectEntity maths;
    maths.setName("Maths");
    ASSERT_TRUE(TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(maths));
    int n = 0;
    for (const Row &row : rows) {
        const qsizetype asked = answers.alerts().size();
        const QString again = QStringLiteral("Again %1").arg(++n);
        QByteArray stored;
        if (row.teacher) {
            TeacherEditController dialog;
            dialog.setTeacherIndex(0);
            dialog.awakeFromNib();
            dialog.show();
            dialog.tabView->setCurrentIndex(2);
            paste(dialog.textPhone_Modify, row.text);
            QTest::mouseClick(dialog.btnUpdate, Qt::LeftButton);
            stored = readFile(TovTeacherXmlDatabase::sharedUI()->teacherRosterFilePath());
            dialog.textPhone_Modify->setText(again);
            QTest::mouseClick(dialog.btnUpdate, Qt::LeftButton);
            EXPECT_EQ(TovTeacherXmlDatabase::sharedUI()->teacherList().first().phone(), again) << row.label;
        } else {
            SubjectEditController dialog;
            dialog.setSubjectIndex(0);
            dialog.awakeFromNib();
            dialog.show();
            dialog.tabView->setCurrentIndex(2);
            paste(dialog.textNewName, row.text);
            QTest::mouseClick(dialog.btnUpdate, Qt::LeftButton);
            stored = readFile(TovSubjectXmlDatabase::sharedSubjectUI()->subjectXmlFilePath());
            dialog.textNewName->setText(again);
            QTest::mouseClick(dialog.btnUpdate, Qt::LeftButton);
            EXPECT_EQ(TovSubjectXmlDatabase::sharedSubjectUI()->subjectList().first().name(), again) << row.label;
        }
        EXPECT_TRUE(stored.contains(row.stored)) << row.label << ": " << stored.toStdString();
        EXPECT_EQ(answers.alertTexts().mid(asked), QStringList()) << row.label;
    }
}
