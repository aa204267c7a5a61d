#pragma once

#include <QList>

class GradebookCellDelegate;
class QLayout;
class QPushButton;
class QString;
class QTableWidget;
class QTableWidgetItem;
class QWidget;
class SubjectGradeSettingController;

// The gradebook settings' widgets, built tab by tab into the window's outlets: the tables of
// grading periods and session types with Add and Delete beside them, the lists of weight lists
// and letter scales with the chosen one's title, class, subject and teacher above its detail, and
// each tab's Save, Save and Close and Close; every control is connected to its action, and every
// table cell is edited through the window's checks.
class SubjectGradeSettingInterface
{
public:
    static void build(SubjectGradeSettingController *w);
    // A cell of the settings' tables, editable unless said otherwise.
    static QTableWidgetItem *item(const QString &text, bool editable = true);
    // The rows of a table the user selected, in no particular order.
    static QList<int> selectedRows(const QTableWidget *table);

private:
    static GradebookCellDelegate *cellDelegate(SubjectGradeSettingController *w, QTableWidget *table);
    // The page of tab 0 or 3: the table with Add and Delete beside it.
    static QWidget *buildTablePage(SubjectGradeSettingController *w, int tab, QTableWidget *table, QPushButton *&add,
                                   QPushButton *&remove, QPushButton *&save, QPushButton *&saveClose, QPushButton *&close);
    static QWidget *buildPeriodTab(SubjectGradeSettingController *w);
    static QWidget *buildWeightTab(SubjectGradeSettingController *w);
    static QWidget *buildLetterTab(SubjectGradeSettingController *w);
    // The page of tab 1 or 2: the list with its template row on the left, the chosen one's
    // title, class, subject and teacher above detail on the right.
    static QWidget *buildListPage(SubjectGradeSettingController *w, int tab, const char *listName, const QString &listHeader,
                                  const char *titleName, QTableWidget *detail, QLayout *underDetail);
    static QWidget *buildTypeTab(SubjectGradeSettingController *w);
};
