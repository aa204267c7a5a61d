#pragma once

#include "core/reports/ReportSessionList.h"
#include "core/reports/ReportTable1Element.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class MyComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTabWidget;
class QuizEntity;
class ReportTable1Model;
class TovTableView;

// The Report window ("Report"): every stored session listed from the fast session index, newest
// first, filtered by title, activity, type, class, subject, teacher, kind and creation days; the
// sessions are exported, imported, deleted, edited, merged and reported on from here. Tabs 2 and
// 3 are the gradebook's (its addCourseGradeTabs hook): what a course grade is computed from, and
// the stored course grades.
//
// The session windows opened from here (manual entry, editing, import, merge, the gradebook's
// editors) call back into the window to rebuild and select: refresh1(), getEarliestDate(),
// setFromDate1(), setToDate1(), selectArray1ByID(), table1Array().
class ReportController : public QDialog
{
    Q_OBJECT
public:
    // The windows other parts of the program provide. Each runs modally over the window; unset,
    // its button stays disabled (isBuilt).
    struct Hooks
    {
        // Manual session entry, on its points-only form when asked; the modal code (0: nothing stored).
        std::function<int(ReportController *, bool pointsOnly)> newSession;
        // Editing a session / a points-only session; the editor refreshes the list itself.
        std::function<void(ReportController *, const ReportTable1Element &)> editSession;
        std::function<void(ReportController *, const ReportTable1Element &)> editCourseGrade;
        // Merging the selected sessions.
        std::function<void(ReportController *)> mergeSessions;
        // Importing a session file / a points-only session file from path.
        std::function<void(ReportController *, const QString &path)> importSession;
        std::function<void(ReportController *, const QString &path)> importCourseGrade;
        // The points list of a points-only session.
        std::function<void(ReportController *, const QuizEntity &)> pointsList;
        // The session types the type filter offers (the gradebook's list); unset: the built-in ones.
        std::function<QStringList()> sessionTypeNames;
        // Adds the gradebook's tabs (2 and 3) after the Sessions tab while the window is built;
        // unset: the Sessions tab alone.
        std::function<void(ReportController *)> addCourseGradeTabs;
    };
    static Hooks &hooks();
    static void resetHooks();

    explicit ReportController(QWidget *parent = nullptr);
    ~ReportController() override;

    // Whether the window behind one of the buttons is in this build.
    bool isBuilt(const QWidget *control) const;

    // ---- The list ----
    // Every session, no filter.
    void firstRefresh1();
    // With the filters; the title filter's items are rebuilt afterwards (showing "All").
    void refresh1();
    // With the filters, the title filter left as it is.
    void refreshIfChangeCbo();
    // The default date range from the listed sessions into earliestDate()/lastestDate(); the
    // days considered are appended to days.
    void getEarliestDate(QList<QDate> *days = nullptr);
    // Selects the first listed session with that ID as the only selection.
    void selectArray1ByID(const QString &strID);
    // The same for the row of one file (IDs of imported sessions may repeat).
    void selectArray1ByFilePath(const QString &path);
    // A day "YYYY-MM-DD" into the From / To picker (without rebuilding the list).
    void setFromDate1(const QString &day);
    void setToDate1(const QString &day);
    QString curFromDate() const;
    QString curToDate() const;
    const QList<ReportTable1Element> &table1Array() const;
    QString earliestDate() const { return m_earliestDate; }
    QString lastestDate() const { return m_lastestDate; }
    void setEarliestDate(const QString &day) { m_earliestDate = day; }
    void setLastestDate(const QString &day) { m_lastestDate = day; }
    // While set, selections made by code do not rebuild the list and the merge checks are skipped.
    bool bResettingMyself() const { return m_bResettingMyself; }
    void setBResettingMyself(bool v) { m_bResettingMyself = v; }
    // The selected rows in list order.
    QList<ReportTable1Element> selectedRows() const;
    // The filters as the combo boxes and pickers show them.
    ReportSessionList::Filter currentFilter() const;
    // After a session of day ("YYYY-MM-DD") was stored: the default range and the From / To
    // pickers reach out to that day (all four become it when nothing is listed); the list is
    // not rebuilt.
    void widenDateRange(const QString &day);
    // The session types the windows opened from here offer.
    static QStringList sessionTypeNames();

    // ---- Actions ----
    void comboBoxSelectionDidChange();
    void tableViewSelectionDidChange();
    void table1DoubleAction();
    void doDateChange();
    void doNew1();
    // The manual entry on its points-only form (the course-grade tab's New Points Session).
    void doNewPointsSession();
    void doEdit1();
    void doMerge1();
    void doExport1();
    void doImport1();
    void doDelete1();
    void doReport1();

    // Outlets.
    QTabWidget *tabView = nullptr;
    MyComboBox *cboTestTitle1 = nullptr, *cboActivityMode1 = nullptr, *cboType1 = nullptr, *cboClass1 = nullptr,
               *cboSubject1 = nullptr, *cboTeacher1 = nullptr, *cboFlag1 = nullptr;
    QDateEdit *dateFrom1 = nullptr, *dateTo1 = nullptr;
    TovTableView *table1 = nullptr;
    QPushButton *btnNew1 = nullptr, *btnEdit1 = nullptr, *btnMerge1 = nullptr, *btnExport1 = nullptr,
                *btnReport1 = nullptr, *btnImport = nullptr, *btnDelete = nullptr;
    QLabel *lblStatus1 = nullptr;

private:
    // A row whose file cannot be read opens nothing: the teacher is told why; true then.
    bool refuseUnreadable(const ReportTable1Element &row);
    void buildInterface();
    void awakeFromNib();
    void fillCombo(MyComboBox *box, const QStringList &items);
    void buildList(const ReportSessionList::Filter *filter);
    void rebuildTitleCombo();
    void setPickersToRange();
    void refreshAfterChange();
    void runNewSession(bool pointsOnly);
    void setButtons(const ReportSessionList::Buttons &buttons);

    ReportTable1Model *m_model = nullptr;
    bool m_bResettingMyself = false;
    bool m_building = false;
    int m_ActNo = -1;
    QString m_earliestDate;
    QString m_lastestDate;
};
