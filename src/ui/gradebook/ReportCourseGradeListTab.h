#pragma once

#include "core/gradebook/SelectSubject.h"
#include "core/reports/SelectStudents.h"
#include "core/store/CourseGradeEntity.h"
#include "ui/controls/PollixAlert.h"

#include <QList>
#include <QWidget>

#include <functional>

class MyComboBox;
class QCheckBox;
class QPushButton;
class QTableWidget;

// The Report window's third tab ("tab3"): the stored course grades of a period, class and
// teacher, one student line per course grade; the subjects of a period saved to a gradebook
// backup file or deleted; a backup file read back.
class ReportCourseGradeListTab : public QWidget
{
    Q_OBJECT
public:
    struct Hooks
    {
        // The report card of the chosen students; unset: Preview stays off.
        std::function<void(QWidget *, const QList<CourseGradeEntity> &, const QList<SelectStudents> &)> reportCard;
    };
    static Hooks &hooks();

    explicit ReportCourseGradeListTab(QWidget *parent = nullptr);
    ~ReportCourseGradeListTab() override;

    // Called when periods were added by an import, so that the other tab lists them.
    std::function<void()> periodsChanged;

    void refresh3();
    void refreshTable3();
    void doPreview3();
    void doExport3();
    void doDelete3();
    void doExportDelete3();
    void doCancel3();
    void doSelectAll3();
    void doImport3();
    // The backup panels' ends: path chosen (empty: cancelled).
    void export3PanelDidEnd(const QString &path);
    void import3PanelDidEnd(const QString &path);

    bool listMode() const { return m_listMode; }

    QList<SelectStudents> selectStudentArray;
    QList<SelectSubject> selectSubjectArray;
    QList<CourseGradeEntity> gradeNumArray;

    MyComboBox *cboGradingPeriod3 = nullptr, *cboClass3 = nullptr, *cboTeacher3 = nullptr;
    QTableWidget *tableSelectStudent3 = nullptr, *tableSelectSubject3 = nullptr;
    QCheckBox *btnSelectAll = nullptr;
    QPushButton *btnPreview3 = nullptr, *btnSaveAs3 = nullptr, *btnDelete3 = nullptr, *btnExportDelete3 = nullptr,
                *btnCancel3 = nullptr, *btnImport3 = nullptr;

private:
    void buildInterface();
    void setListMode(bool list);
    void enterExportDeleteMode(const QString &title);
    void subjectsOfPeriod();
    void fillStudentTable();
    void fillSubjectTable();
    void backToList();
    int alert(const QString &text, const QString &why = {}, const QStringList &buttons = {},
              PollixAlert::Default byDefault = PollixAlert::Default::First);

    bool m_listMode = true;
    bool m_resetting = false;
};
