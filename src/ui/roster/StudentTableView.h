#pragma once

#include "core/store/StudentInClass.h"

#include <QList>
#include <QStringList>
#include <QTableWidget>
#include <QVariant>

class ColumnFit;

// A table of students as the roster windows show them: each column shows the student value
// whose key is the column's identifier (a StudentInClass property name). A click on a header
// sorts the rows: a new column ascending, the same column again the other way; the students
// selected before stay selected.
class StudentTableView : public QTableWidget
{
    Q_OBJECT
public:
    struct Column
    {
        QString title;
        QString identifier;
        int width;
    };

    explicit StudentTableView(const QString &objectName, QWidget *parent = nullptr);

    // Replaces every column. The columns stay within the list's width (ColumnFit): IDs and
    // numbers keep what they need to be read whole, names share what is left (a column's width
    // is the name's share) and are cut with "...", and a click on a long name never slides the
    // list sideways.
    void setColumns(const QList<Column> &columns);
    const QStringList &columnIdentifiers() const { return m_identifiers; }

    void setStudents(const QList<StudentInClass> &students);
    const QList<StudentInClass> &students() const { return m_students; }

    // Selected rows in ascending order.
    QList<int> selectedRows() const;
    void selectRows(const QList<int> &rows);

    // Header clicks sort only when sortable (on by default).
    void setSortable(bool sortable) { m_sortable = sortable; }
    // The sort of a header click on the column with that identifier.
    void sortByColumn(const QString &identifier);
    // -1 ascending, 1 descending; the column last sorted by.
    int orderType() const { return m_orderType; }
    const QString &orderColumnIdentifier() const { return m_orderColumnIdentifier; }

    // What ColumnFit is given for a column of the student value under that key and of that
    // designed width: the width for names, which share what the list has left, Whole for IDs and
    // numbers, which are read whole.
    static int fitWidth(const QString &identifier, int width);

    // The value of a student under a key, as the tables show and sort it.
    static QVariant valueForKey(const StudentInClass &student, const QString &key);

signals:
    // The rows were sorted by a header click.
    void sorted();

private:
    void reloadData();

    QList<StudentInClass> m_students;
    ColumnFit *m_columnFit = nullptr;
    QStringList m_identifiers;
    bool m_sortable = true;
    int m_orderType = -1;
    QString m_orderColumnIdentifier;
};
