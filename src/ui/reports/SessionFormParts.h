#pragma once

#include <QString>
#include <QStringList>

class QGridLayout;
class QTableWidget;
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
                     const QString &informative = {}, const QString &title = {});
    // After a session was written and read back: says so and where the file is.
    static void sayWhereSaved(QWidget *window, const QString &path);
    // "The session is saved as <path>".
    static QString whereSaved(const QString &path);
};
