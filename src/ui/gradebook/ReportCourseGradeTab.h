#pragma once

#include "GradebookSettingsParent.h"

#include "core/gradebook/ConversionList.h"
#include "core/gradebook/GradePeriod.h"
#include "core/gradebook/WeightList.h"

#include <QDate>
#include <QList>
#include <QWidget>

class MyComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTableWidget;
class ReportController;

// The Report window's second tab ("tab2"): what a course grade is computed from (class, subject,
// teacher, grading period, weight list, letter scale and a name), handed to the session
// selection; its buttons open the gradebook settings on each of their tabs.
class ReportCourseGradeTab : public QWidget, public GradebookSettingsParent
{
    Q_OBJECT
public:
    explicit ReportCourseGradeTab(ReportController *report, QWidget *parent = nullptr);
    ~ReportCourseGradeTab() override;

    void doCreate2();
    void doNew2();
    void doPeriod2();
    void doWeight2();
    void doLetterGrade2();
    void doSessionType2();
    void doDateChange2();

    // GradebookSettingsParent
    void refreshPeriod2() override;
    void refreshWeight2() override;
    void refreshConversion2() override;
    void refreshSessionTypes() override;

    QList<WeightList> weightListArray;
    QList<ConversionList> conversionListArray;
    // The period combo's items after "--Select--", in order.
    QList<GradePeriod> periodArray;

    MyComboBox *cboGradingPeriod2 = nullptr, *cboClass2 = nullptr, *cboSubject2 = nullptr, *cboTeacher2 = nullptr;
    QLineEdit *textSubjectGrade2 = nullptr;
    QDateEdit *dateFrom2 = nullptr, *dateTo2 = nullptr;
    QTableWidget *weightListTable2 = nullptr, *conversionListTable2 = nullptr;
    QPushButton *btnCreate2 = nullptr, *btnNew2 = nullptr, *btnPeriod2 = nullptr, *btnWeight2 = nullptr,
                *btnLetterGrade2 = nullptr, *btnSessionType2 = nullptr;

private:
    void buildInterface();
    void openSettings(int tab);
    void periodChosen();
    void fillNames(MyComboBox *box, const QStringList &names);
    void fillRecordTable(QTableWidget *table, const QList<QStringList> &rows);
    int firstSelectedRow(QTableWidget *table) const;

    ReportController *m_report = nullptr;
    // The pickers' days before the last edit.
    QDate m_from2Date;
    QDate m_to2Date;
    bool m_resetting = false;
};
