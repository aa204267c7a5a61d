#pragma once

#include "core/store/SubjectEntity.h"
#include "core/store/TeacherEntity.h"
#include "core/store/TovClassXmlDatabase.h"
#include "core/store/TovSubjectXmlDatabase.h"
#include "core/store/TovTeacherXmlDatabase.h"
#include "platform/AtomicFile.h"
#include "support/DialogAnswers.h"
#include "support/PollixTest.h"
#include "support/Shots.h"
#include "ui/gradebook/GradebookCellDelegate.h"

#include <QAbstractItemView>
#include <QDir>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

// Gradebook windows over a folder with the classes 7A and 8B, the subject Maths and the teacher
// Kim Lee. With a picture folder set (./dev shots), shoot() saves pictures of the windows there.
class GradebookUiFixture : public PollixTest
{
protected:
    void SetUp() override
    {
        PollixTest::SetUp();
        TovClassXmlDatabase::sharedClassUI()->addClassWithName("7A");
        TovClassXmlDatabase::sharedClassUI()->addClassWithName("8B");
        SubjectEntity maths;
        maths.setName("Maths");
        TovSubjectXmlDatabase::sharedSubjectUI()->addSubjectWithData(maths);
        TeacherEntity kim;
        kim.setFirstName("Kim");
        kim.setLastName("Lee");
        kim.setName("Kim Lee");
        TovTeacherXmlDatabase::sharedUI()->addTeacherWithData(kim);
    }
    void TearDown() override
    {
        AtomicFile::setFailureHook({});
        PollixTest::TearDown();
    }

    // Types text into a cell of table and presses Enter: the edit is asked to end.
    static void editCell(QTableWidget *table, int row, int column, const QString &text)
    {
        table->setCurrentCell(row, column);
        table->editItem(table->item(row, column));
        auto *delegate = static_cast<GradebookCellDelegate *>(table->itemDelegate());
        auto *field = qobject_cast<QLineEdit *>(delegate->openEditor());
        ASSERT_TRUE(field);
        field->setText(text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    // Opens a cell's editor and types text over what it holds, without ending the edit.
    static QLineEdit *typeInCell(QTableWidget *table, int row, int column, const QString &text)
    {
        table->setCurrentCell(row, column);
        table->editItem(table->item(row, column));
        QLineEdit *field = openEditor(table);
        if (field) {
            field->selectAll();
            QTest::keyClicks(field, text);
        }
        return field;
    }
    static QLineEdit *openEditor(QTableWidget *table)
    {
        return qobject_cast<QLineEdit *>(static_cast<GradebookCellDelegate *>(table->itemDelegate())->openEditor());
    }
    static QStringList column(QTableWidget *table, int c)
    {
        QStringList out;
        for (int r = 0; r < table->rowCount(); ++r)
            out << (table->item(r, c) ? table->item(r, c)->text() : QString());
        return out;
    }
    static void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    static void shoot(QWidget *w, const QString &name) { saveShot(w, name); }

    DialogAnswers answers;
};
