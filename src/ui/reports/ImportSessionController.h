#pragma once

#include "core/store/QuizEntity.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class ReportController;

// The session import ("ImportSession"): a preview of a session file written by another
// installation (its header, every question with points, correct answer and standard, every
// student with points and answers, and per question how each student answered and scored), and
// Import, which copies the file into the session folder under a name of its own unless the same
// session is already stored.
class ImportSessionController : public QDialog
{
    Q_OBJECT
public:
    ImportSessionController(const QString &filePath, ReportController *parent = nullptr);

    bool isLoaded() const { return m_loaded; }
    QString loadError() const { return m_loadError; }
    const QuizEntity &quiz() const { return m_quiz; }
    int actModeNo() const { return m_actModeNo; }
    // The copy the import made.
    QString importedPath() const { return m_importedPath; }

    // False when the session is already stored or the copy failed (the window stays).
    bool doImport();
    void doCancle();

    // Header fields: the same texts in both groups (index 0 and 1).
    QLineEdit *sessionName[2] = {}, *type[2] = {}, *totalQuestions[2] = {}, *className[2] = {},
              *teacherName[2] = {}, *subjectName[2] = {}, *date[2] = {};
    // By student: the students with their points, the questions with the chosen student's
    // answers. By question: the questions, the students with their answer and its points.
    QTableWidget *studentPointTableView = nullptr, *questionTableView = nullptr,
                 *questionPointsStandardTableView = nullptr, *studentTableView = nullptr;
    QPlainTextEdit *questionTitleAndDifficultLevel1 = nullptr, *questionTitleAndDifficultLevel2 = nullptr;
    QPushButton *btnImport = nullptr, *btnCancel = nullptr;

private:
    struct StudentPoint
    {
        QString studentID, studentName;
        int totalPoints = 0;
        // One per question in stored order: the response that belongs to it, null when none.
        QStringList answers;
    };
    void buildInterface();
    void awakeFromNib();
    void reloadQuestionTable();
    void reloadStudentTable();

    QString m_openFilePath;
    ReportController *m_parent = nullptr;
    QuizEntity m_quiz;
    bool m_loaded = false;
    QString m_loadError;
    int m_actModeNo = -1;
    QList<StudentPoint> m_students;
    QString m_importedPath;
};
