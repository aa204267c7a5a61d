#pragma once

#include "NameListEditController.h"

#include "core/store/Subject.h"

#include <QList>

// The subject editor ("SubjectEdit"): add, delete and rename subjects. Subject names compare
// ignoring letter case.
class SubjectEditController : public NameListEditController
{
    Q_OBJECT
public:
    explicit SubjectEditController(QWidget *parent = nullptr);

    void setSubjectIndex(int index) { setCurrentIndex(index); }
    int indexOfSubject() const { return currentIndex(); }
    const QList<Subject> &arrSubjects() const { return m_arrSubjects; }

    QLineEdit *textSubjectName = nullptr;

protected:
    void readStore() override;
    QStringList loadList() override;
    QString storedName(int index) const override;
    bool deleteRecord(int index, QString *errorText) override;
    GradebookNameRecords::Owner gradebookOwner() const override { return GradebookNameRecords::Owner::Subject; }
    QString deleteQuestion() const override;
    QString deleteFailedText() const override;
    QLatin1String changeNotification() const override;
    bool nameTaken(const QString &name, int exceptIndex) const override;
    QString takenText() const override;
    QString addFailedText() const override;
    QString renameFailedText() const override;
    bool addRecord(const QString &name, QString *errorText) override;
    bool renameRecord(int index, const QString &name, QString *errorText) override;
    void recordAdded() override;

private:
    QList<Subject> m_arrSubjects;
};
