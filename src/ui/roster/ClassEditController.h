#pragma once

#include "NameListEditController.h"

#include "core/store/MyClass.h"

#include <QList>

// The class editor ("ClassEdit"): add, delete and rename classes. Adding a class ends the
// dialog with 1 and announces "NewClassAdded", after which the class set-up asks how the new
// class gets its students.
class ClassEditController : public NameListEditController
{
    Q_OBJECT
public:
    explicit ClassEditController(QWidget *parent = nullptr);

    void setClassIndex(int index) { setCurrentIndex(index); }
    int indexOfClass() const { return currentIndex(); }
    const QList<MyClass> &arrClasses() const { return m_arrClasses; }

    QLineEdit *textClassName = nullptr;

protected:
    QStringList loadList() override;
    QString storedName(int index) const override;
    bool deleteRecord(int index, QString *errorText) override;
    GradebookNameRecords::Owner gradebookOwner() const override { return GradebookNameRecords::Owner::Class; }
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
    QList<MyClass> m_arrClasses;
    int m_countBeforeAdd = 0;
};
