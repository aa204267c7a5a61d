#pragma once

#include "core/roster/ImportPreviewState.h"
#include "core/roster/RosterImporter.h"
#include "platform/PostedCalls.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <thread>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

// Stores the records of an accepted import preview and shows how it went ("ImportToDatabase"):
// the progress, the state line, and the records not imported with the reason. Once the window
// shows, a worker thread turns the preview's texts into records and hands them back to the GUI
// thread, where every store write of the import happens. The window can be closed once the
// import is over; its result is always 0. The records imported with a typed value the preview
// could not take, or a keypad number typed that another student holds, are listed too, each with
// its file row and what was stored instead, and so are the students the import put on a keypad
// number that another student holds too.
class ImportToDatabaseController : public QDialog
{
    Q_OBJECT
public:
    explicit ImportToDatabaseController(QWidget *parent = nullptr);
    ~ImportToDatabaseController() override;

    // 0 students, 1 teachers.
    void setImportMode(int mode) { m_mode = mode; }
    int importMode() const { return m_mode; }
    void setClassNoToImport(int classNo, const QString &className);
    void setResultDataOfStudents(const QList<QStringList> &records) { m_resultDataOfStudents = records; }
    void setResultDataOfTeachers(const QList<QStringList> &records) { m_resultDataOfTeachers = records; }
    void setMaxStudentNumberAllowed(int limit) { m_importer.setMaxStudentNumberAllowed(limit); }
    // The preview's typed values not stored as typed, by record.
    void setReplacements(const QList<ImportPreviewState::Replacement> &replacements) { m_replacements = replacements; }

    int exec() override;
    void reject() override;
    bool isImportDone() const { return m_done; }
    const RosterImporter &importer() const { return m_importer; }

    QLabel *txtImportState = nullptr;
    QLabel *txtImportResult = nullptr;
    QProgressBar *level = nullptr;
    QTableWidget *tblLostDataInfo = nullptr;
    // Shown only when a record imported holds a value other than the file's.
    QLabel *txtReplacedResult = nullptr;
    QTableWidget *tblReplacedValues = nullptr;
    QPushButton *btnOK = nullptr;

signals:
    void importFinished();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void windowDidLoad();
    void startImport();
    // Progress, the list of records not imported and the full-class alert follow the import.
    void followImporter();
    void importStudents(const QList<StudentEntity> &students);
    void importTeachers(const QList<TeacherEntity> &teachers);
    void finishImport(bool ok);
    void showLostRows();
    // Lists the replacements of the records that were imported, and the students imported onto
    // a keypad number that another student holds too, which the file gave them none of.
    struct Listed
    {
        bool replaced = false;
        bool shared = false;
    };
    Listed showReplacedValues();
    void joinWorker();

    int m_mode = 0;
    int m_classNo = 0;
    QString m_className;
    QList<QStringList> m_resultDataOfStudents;
    QList<QStringList> m_resultDataOfTeachers;
    QList<ImportPreviewState::Replacement> m_replacements;
    RosterImporter m_importer;
    PostedCalls m_fromWorker; // the worker's result, run on the window's thread
    std::thread m_worker;
    bool m_started = false;
    bool m_done = false;
};
