#pragma once

#include "RosterListEditController.h"

class QLineEdit;

// The class and subject editors: a record is a name. Add takes a new name, Modify renames the
// current record; a name already in use is refused with the dialog's own alert.
class NameListEditController : public RosterListEditController
{
    Q_OBJECT
public:
    void doAdd() override;
    void doUpdate() override;

    // The Add tab's name field (the subclass names it) and the Modify tab's new name.
    QLineEdit *textName = nullptr;
    QLineEdit *textNewName = nullptr;

protected:
    // caption labels the name fields ("Class Name:"), recordCaption the record lists ("Class:").
    NameListEditController(const QString &objectName, const QString &title, const QString &addFieldName,
                           const QString &caption, const QString &recordCaption, QWidget *parent);

    // Whether the name is in use; exceptIndex names the record being renamed (-1 when adding).
    virtual bool nameTaken(const QString &name, int exceptIndex) const = 0;
    // "The class name : %1 already exists." and the like.
    virtual QString takenText() const = 0;
    virtual QString addFailedText() const = 0;
    virtual QString renameFailedText() const = 0;
    virtual bool addRecord(const QString &name, QString *errorText) = 0;
    virtual bool renameRecord(int index, const QString &name, QString *errorText) = 0;
    // What follows a record added to the store.
    virtual void recordAdded() = 0;

    void setModifyControlsEnabled(bool enabled) override;
    void refreshModifyTab() override;
    void recordChosenIn(QComboBox *combo) override;
    void controlTextDidChange();
    // After a record was added: the new last record becomes current, the Add field empties.
    void takeLastAsCurrent();
};
