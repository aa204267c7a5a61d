#pragma once

#include "core/reports/ReportTable1Element.h"
#include "core/reports/StudentGradeReport.h"
#include "core/store/QuizEntity.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>

#include <optional>

class MyComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTableWidget;
class ReportController;

// Editing a points-only session ("NewSubjectGrade"): its type, subject, teacher, date, title,
// total points and each student's points. The file is rewritten in place; the Report window then
// lists and selects the session again with its date range kept around it.
class NewSubjectGradeController : public QDialog
{
    Q_OBJECT
public:
    // The session of row (the opener's selected points-only session); with no opener the window
    // offers nothing to edit and writes nothing.
    NewSubjectGradeController(ReportController *parent, const ReportTable1Element &row, QWidget *parentWidget = nullptr);
    ~NewSubjectGradeController() override;

    void doSave();
    void doSaveAndClose();
    void doClose();

    bool hasChange() const { return m_hasChange; }
    bool shouldClose() const { return m_shouldClose; }
    const QList<StudentGradeReport> &studentListTableArray() const { return m_rows; }

    QTableWidget *studentListTable = nullptr;
    QPushButton *bntSave = nullptr, *bntClose = nullptr, *bntSaveAndClose = nullptr;
    MyComboBox *cmbType = nullptr, *cmbClass = nullptr, *cmbSubject = nullptr, *cmbTeacher = nullptr;
    QDateEdit *datePicker = nullptr;
    QLineEdit *textSession = nullptr, *textTotalPoint = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void awakeFromNib();
    void refreshTableView();
    void changed();
    // The title or the total typed differs from what the window opened with: a change.
    void noteEditedFields();
    bool pointsShouldEnd(int row, QString &text);
    int alert(const QString &title, const QString &text, const QStringList &buttons = {});
    // Keeps the edited session inside the opener's date range, then lists and selects it again.
    void updateOpener(const QDate &day);
    // Asks about unsaved changes; false keeps the window open.
    bool mayClose(const QString &title, const QString &question);

    ReportController *m_parent = nullptr;
    ReportTable1Element m_row;
    std::optional<QuizEntity> m_courseGradeData;
    QList<StudentGradeReport> m_rows;
    QString m_session;
    QString m_totalPoint;
    bool m_hasChange = false;
    bool m_shouldClose = true;
    bool m_closing = false;
    bool m_filling = false;
};
