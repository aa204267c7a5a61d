#pragma once

#include "core/reports/StudentGradeReport.h"

#include <QList>
#include <QObject>

class CreateNewSessionController;
class QTableWidgetItem;
class QWidget;

// The points form of the manual session entry: a session recorded by each student's points alone
// (a points-only session), on the window's second tab with its own Save and Close. It builds its
// page into the window's outlets and holds the points typed for each student of the chosen class;
// the window asks it about unsaved points before every way out.
class CreateNewSessionPointsForm : public QObject
{
    Q_OBJECT
public:
    explicit CreateNewSessionPointsForm(CreateNewSessionController *window);

    QWidget *buildPointsForm();
    void setUpPointsForm();

    // Save: false when a check refused the entry or the file could not be written (the window
    // stays); once saved the window ends, after asking about the other form's edits.
    bool doSave2();
    // The checks and the write alone; the window stays.
    bool savePoints();
    void doDateChange2();
    const QList<StudentGradeReport> &studentListTableArray() const { return m_studentListTableArray; }
    bool hasChange() const { return m_hasChange; }

private:
    void changed2();
    void classSelected2(int index);
    void namedSelected2(int index);
    void refreshTableView();
    void pointsEdited(QTableWidgetItem *item);
    void fillPointsTable();

    CreateNewSessionController *w;
    QList<StudentGradeReport> m_studentListTableArray;
    bool m_hasChange = false;
    int m_classIndex = 0;
    bool m_classHasChange2 = false;
};
