#pragma once

#include <QString>

#include <functional>

class SubjectGradeSettingController;

// Tabs 1 and 2 of the gradebook settings alike: the weight lists and the letter scales, each a
// list with a template row first, from which new ones are made, and the chosen one's title,
// class, subject and teacher above its session-type weights or its letters. Leaving a row with
// unsaved edits asks first; a whole weight list or letter scale is deleted at once.
class SubjectGradeListTabs
{
public:
    explicit SubjectGradeListTabs(SubjectGradeSettingController *window);

    // ---- Tab 1: weight lists ----
    void doAdd2();
    void doDelete2();
    void doSave2();
    void doSaveClose2();
    void selectASessionType(int row);
    void calculateTotal2();
    void sessionWeightTableReNew();
    void fillWeightLists();
    void fillSessionTypeRows();
    void showSelectedWeightList();
    void restoreWeightRow(int row);
    // ---- Tab 2: letter scales ----
    void doAdd3();
    void doDelete3();
    void doAddRight3();
    void doDeleteRight3();
    void doSave3();
    void doSaveClose3();
    void fillConversionLists();
    void showSelectedScale();
    void restoreScaleRow(int row);

    // Tabs 1 and 2 alike: the shown row, showing it, leaving it.
    int &listRow(int tab);
    void showListRow(int tab);
    bool listSelectionShouldChange(int tab, int from);

private:
    void applyStoredWeights();
    void fillLetterTable();
    // update for a stored row (no other than 0), add for the template; false after its alert.
    bool writeListRecord(int tab, int no, const std::function<bool(QString *why)> &update,
                         const std::function<bool(QString *why)> &add);
    void listSaved(int tab);
    // The trimmed title of the shown row when it may be saved; "" (after its alert) otherwise.
    QString titleToSave(int tab, const QString &originalTitle, const std::function<bool(const QString &)> &stored);
    // The title field and the three choice boxes of tab 1 or 2, showing a row.
    void showTitleAndNames(int tab, const QString &title, const QString &className, const QString &subjectName,
                           const QString &teacherName);
    void selectTemplate(int tab);
    void deleteListRow(int tab, const std::function<bool(int no, QString *why)> &remove);

    SubjectGradeSettingController *win;
};
