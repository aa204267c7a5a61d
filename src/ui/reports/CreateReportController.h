#pragma once

#include "core/reports/ReportTable1Element.h"
#include "core/reports/SelectStudents.h"
#include "core/reports/SingleColumnString.h"
#include "core/store/QuizEntity.h"

#include <QDialog>
#include <QList>
#include <QString>

class QCheckBox;
class QPushButton;
class QTableWidget;

// The report chooser ("CreateReport"): the session, a check list of its students, and the
// reports that suit the session; Preview (or a double click on a report) opens the chosen report
// window over it, and the chooser stays for the next one. Reports whose window is not built yet
// are listed greyed and cannot be chosen.
class CreateReportController : public QDialog
{
    Q_OBJECT
public:
    // The session is the file at filePath (sessions imported from elsewhere may share an ID);
    // without a path, the file carrying actID.
    CreateReportController(int actNo, const QString &activityMode, const QString &actID, const QString &filePath,
                           QWidget *parent = nullptr);

    // False when the session could not be read; loadError() says why.
    bool isLoaded() const { return m_loaded; }
    QString loadError() const { return m_loadError; }

    const QuizEntity &quize() const { return m_quiz; }
    int curActNo() const { return m_curActNo; }
    QString actModeName() const { return m_actModeName; }
    int isGroup() const { return m_isGroup; }
    int deviceType() const { return m_deviceType; }
    const QList<SelectStudents> &tableStudentArray() const { return m_students; }
    const QList<SingleColumnString> &tableReportFormatArray() const { return m_reports; }
    // The English name of the report in row (as ReportChoice offers it); "" for none.
    QString reportNameAt(int row) const { return m_reportNames.value(row); }

    // Actions.
    void doSelectAll();
    void doPreview();
    void doExit();
    void tableDoubleAction();
    // Ticks or unticks the student of row (as a click on its check box does).
    void setStudentSelected(int row, bool selected);

    // Outlets.
    QTableWidget *tableSession = nullptr, *tableStudent = nullptr, *tableReportFormat = nullptr;
    QCheckBox *btnSelectAll = nullptr;
    QPushButton *btnPreview = nullptr, *btnExit = nullptr;

private:
    void buildInterface();
    void fillTables();
    void markAllStudents();
    void showStudentChecks();
    void reportSelectionChanged();

    int m_curActNo = 0;
    QString m_actModeName;
    bool m_loaded = false;
    QString m_loadError;
    QuizEntity m_quiz;
    int m_isGroup = 0;
    int m_deviceType = -1;
    ReportTable1Element m_session;
    QList<SelectStudents> m_students;
    QList<SingleColumnString> m_reports;
    QStringList m_reportNames;
    bool m_fillingChecks = false;
};
