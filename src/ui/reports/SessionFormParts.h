#pragma once

#include "core/store/StudentEntity.h"
#include "ui/controls/PollixAlert.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

class MyComboBox;
class QDateEdit;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

// What the session windows opened from the Report window (entry, editing, import, merge) build
// alike: their tables, their captioned fields and their alerts.
class SessionFormParts
{
public:
    // A table of rows with those column titles, whole rows selected one at a time.
    static QTableWidget *table(QWidget *parent, const char *name, const QStringList &headers);
    // caption right-aligned in column 2 * column of grid, control beside it over span columns.
    static void place(QGridLayout *grid, QWidget *owner, int row, int column, const QString &caption, QWidget *control,
                      int span = 1);
    // An alert titled "Pollix" (or title) over window; the index of the button pressed.
    static int alert(QWidget *window, const QString &text, const QStringList &buttons = {},
                     const QString &informative = {}, const QString &title = {},
                     PollixAlert::Default byDefault = PollixAlert::Default::First);
    // After a session was written and read back: says so and where the file is.
    static void sayWhereSaved(QWidget *window, const QString &path);
    // "The session is saved as <path>".
    static QString whereSaved(const QString &path);

    // The controls of the manual entry forms, named for the tests.
    static MyComboBox *comboBox(QWidget *parent, const char *name);
    static QLineEdit *lineEdit(QWidget *parent, const char *name);
    static QPushButton *button(QWidget *parent, const char *name, const QString &title);
    static QDateEdit *datePicker(QWidget *parent, const char *name);
    // A table of students (ID, name) and what is typed for each, every cell edited at a touch.
    static QTableWidget *entryTable(QWidget *parent, const char *name, const QStringList &headers);
    static QTableWidgetItem *fixedItem(const QString &text);
    // The items, the first chosen, without a signal of the choice.
    static void fillBox(MyComboBox *box, const QStringList &items);
    // The class's students as the class store gives them; none for a name that is no class.
    static QList<StudentEntity> studentsOfClass(const QString &name);
    // The day a new session is entered for unless the teacher picks another.
    static QDate today();
};
