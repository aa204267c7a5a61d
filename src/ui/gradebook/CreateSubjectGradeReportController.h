#pragma once

#include "core/gradebook/ConversionLetter.h"
#include "core/gradebook/SelectSessionType.h"
#include "core/gradebook/StudentMarkGrade.h"
#include "core/store/SessionSelect.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class SessionSelectController;

// The course grade ("CreateSubjectGradeReport"): for every student of the ticked sessions the
// weighted mark per counted session type, the total out of 100 and the letter, under a head with
// the subject, class, teacher, period, number of students and class average. Save keeps it as a
// course grade; the report list opens the gradebook reports for the students selected.
class CreateSubjectGradeReportController : public QDialog
{
    Q_OBJECT
public:
    // The gradebook reports, opened with the selected rows; unset: the list and Preview are off.
    struct Hooks
    {
        std::function<void(CreateSubjectGradeReportController *, int reportNo, const QList<StudentMarkGrade> &rows)>
            openReport;
    };
    static Hooks &hooks();
    // The four reports of the list, in their order.
    static QStringList reportNames();

    // Computes the grid from parent's ticked sessions (progress shown over parentWidget).
    CreateSubjectGradeReportController(SessionSelectController *parent, QWidget *parentWidget = nullptr);
    ~CreateSubjectGradeReportController() override;

    void doSave();
    void doPreview();
    void table1DoubleAction();
    void doClose();

    // The session selection the grid was computed from.
    SessionSelectController *sessionSelection() const { return m_parent; }
    int totalStudents() const { return int(m_tableLeftArray.size()); }
    const QList<StudentMarkGrade> &tableLeftArray() const { return m_tableLeftArray; }
    const QList<ConversionLetter> &conversionLetterArray() const { return m_conversionLetterArray; }
    float avg() const { return m_avg; }
    // The grid's rows selected, in grid order.
    QList<StudentMarkGrade> selectedRows() const;

    QLabel *textSubjectGrade = nullptr, *textClass = nullptr, *textFrom = nullptr, *textTo = nullptr,
           *textSubject = nullptr, *textTotalStudents = nullptr, *textAverage = nullptr, *textTeacher = nullptr;
    QTableWidget *tableLeft = nullptr;
    QListWidget *tableRight = nullptr;
    QPushButton *btnSave = nullptr, *btnPreview = nullptr, *btnClose = nullptr;

protected:
    void done(int result) override;

private:
    void awakeFromNib();

    SessionSelectController *m_parent = nullptr;
    QList<StudentMarkGrade> m_tableLeftArray;
    QList<SelectSessionType> m_sessionWeightArray;
    QList<SessionSelect> m_sessionSelectArray;
    QList<ConversionLetter> m_conversionLetterArray;
    float m_avg = 0.0f;
};
