#pragma once

#include "core/gradebook/GradebookNameRecords.h"

#include <QDialog>
#include <QLatin1String>
#include <QPointF>
#include <QStringList>

class Orvenda_AppDelegate;
class QComboBox;
class QPushButton;
class QTabWidget;

// The family of the class, subject and teacher editors: one window with the tabs Add (0),
// Delete (1) and Modify (2); the Delete and Modify tabs each list the records in a combo box.
// Every change goes to the store at once and is announced with the dialog's change
// notification, whose "index" is the position of the current record (-1 for none), so that the
// class set-up follows. Deleting a record also deletes the gradebook records kept under its name.
class RosterListEditController : public QDialog
{
    Q_OBJECT
public:
    // Where the window's top-left corner goes when it opens (screen coordinates).
    void setPosition(double x, double y);
    int exec() override;
    // Places the window, loads the list and sets up the controls; exec() does it.
    void awakeFromNib();

    virtual void doAdd() = 0;
    virtual void doUpdate() = 0;
    void doDelete();
    void doCancel();
    // Enables the combo boxes (and the Modify tab's fields) when there are records.
    void manageControl();
    void tabViewDidSelect(int tab);
    void comboBoxSelectionDidChange(QComboBox *combo, int index);

    // Position of the current record in the list; -1 when none.
    int currentIndex() const { return m_index; }
    int recordCount() const { return int(m_names.size()); }

    QTabWidget *tabView = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnDelete = nullptr;
    QPushButton *btnUpdate = nullptr;
    QPushButton *btnCancel = nullptr;
    QComboBox *comboDelete = nullptr;
    QComboBox *comboModify = nullptr;

protected:
    RosterListEditController(const QString &objectName, const QString &title, QWidget *parent);
    void closeEvent(QCloseEvent *event) override;

    // Puts the dialog's three pages into the tabs; the pages hold the combo boxes and buttons
    // they show (addRecordRow and the like place them).
    void buildWindow(QWidget *addPage, QWidget *deletePage, QWidget *modifyPage);
    // A page of the tab view: labelled rows, then the page's button at the lower right.
    QWidget *formPage(const QList<std::pair<QString, QWidget *>> &rows, QPushButton *button);

    // The store reads its file again as the window opens: a save refused over another program's
    // change tells the teacher to close the window and open it again to see that change.
    virtual void readStore() {}
    // The record list from the store, in store order: the texts of the combo boxes.
    virtual QStringList loadList() = 0;
    // The record's name as the store and the gradebook know it.
    virtual QString storedName(int index) const = 0;
    virtual bool deleteRecord(int index, QString *errorText) = 0;
    virtual GradebookNameRecords::Owner gradebookOwner() const = 0;
    virtual QString deleteQuestion() const = 0;
    // "The class could not be deleted." and the like.
    virtual QString deleteFailedText() const = 0;
    virtual QLatin1String changeNotification() const = 0;
    virtual void setModifyControlsEnabled(bool enabled) = 0;
    // Shown again for the current record when its flag is set.
    virtual void refreshDeleteTab();
    virtual void refreshModifyTab() = 0;
    // A record was chosen in one of the combo boxes and became the current one.
    virtual void recordChosenIn(QComboBox *combo);

    void reload();
    void setCurrentIndex(int index) { m_index = index; }
    // Selects the current record in a combo box, or empties it when there is none.
    void selectCurrentIn(QComboBox *combo);
    void postChange(const QString &name, int index);
    void alert(const QString &text, const QString &informativeText = {});

    Orvenda_AppDelegate *appDelegate = nullptr;
    bool windowDeleteNeedReload = false;
    bool windowModifyNeedReload = false;
    QPointF pointLeftTop;
    bool m_hasPosition = false;

private:
    class EditHold *m_hold = nullptr;
    int m_index = -1;
    QStringList m_names;
};
