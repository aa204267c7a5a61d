#pragma once

#include "core/reports/StudentIdNameAnswer.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;
class QTableWidget;
class ReportController;

// The course-grade import ("ImportCourseGrade"): a points-only session file shown before it is
// copied into the points-only folder (under a name no other file has) and listed, so that it can
// be ticked for course grades like any other session.
class ImportCourseGradeController : public QDialog
{
    Q_OBJECT
public:
    ImportCourseGradeController(const QString &filePath, ReportController *parent, QWidget *parentWidget = nullptr);
    ~ImportCourseGradeController() override;

    void doImport();
    void doClose();

    const QList<StudentIdNameAnswer> &studentIDNamePointArray() const { return m_rows; }

    QLabel *sessionName = nullptr, *type = nullptr, *className = nullptr, *subjectName = nullptr,
           *teacherName = nullptr, *date = nullptr;
    QTableWidget *tableView = nullptr;
    QPushButton *btnImport = nullptr, *btnClose = nullptr;

private:
    void awakeFromNib();
    void widenOpenerRange();

    QString m_openFilePath;
    ReportController *m_parentController = nullptr;
    QList<StudentIdNameAnswer> m_rows;
    bool m_readable = false;
};
